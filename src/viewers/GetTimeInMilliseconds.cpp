#include <kel/viewers/GetTimeInMilliseconds.h>

#include <sys/time.h>

#include <cstdint>

int GetTimeInMilliseconds() {
  return static_cast<int>(static_cast<std::uint32_t>(GetTimeStampInMilliseconds()));
}

unsigned long GetTimeStampInMilliseconds() {
  timeval now{};
  gettimeofday(&now, nullptr);
  const std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                           static_cast<std::uint64_t>(now.tv_usec) / 1000u;
  return static_cast<unsigned long>(static_cast<std::uint32_t>(ms));
}

float GetDurationInSeconds(unsigned long start, unsigned long end) {
  long long d = static_cast<long long>(end) - static_cast<long long>(start);
  if (d < 0) d += 4294967296LL;
  return static_cast<float>(d) / 1000.0f;
}

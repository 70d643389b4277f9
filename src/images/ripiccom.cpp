#include "ripiccom.h"

#include "ripicdbg.h"

#include <cstdio>
#include <cstring>

namespace {

int NotAvailable() {
  std::printf("Mirka_picture : compression code not available  \n");
  return -1;
}

}  // namespace

int ripiccom(int* algorithm, int* blockSize, int* bytesPerSample, int* maxLength, char* source,
             int* length, void* target) {
  const int width = blockSize[0];
  const int lines = blockSize[1];
  *length = 0;
  if (ripicdbg())
    std::printf("ripiccom: algorithm %d block %d x %d bytes per sample %d limit %d\n", *algorithm,
                width, lines, *bytesPerSample, *maxLength);
  if (width <= 0 || lines <= 0) return -1;
  const auto* in = reinterpret_cast<const unsigned char*>(source);
  auto* out = static_cast<unsigned char*>(target);

  if (*algorithm == 0) {
    if (*bytesPerSample != 1 && *bytesPerSample != 2) return NotAvailable();
    const size_t bytes = static_cast<size_t>(*bytesPerSample) * width * lines;
    std::memcpy(out, in, bytes);
    *length = static_cast<int>(bytes);
    return 0;
  }
  if (*algorithm != 7 || *bytesPerSample != 1) return NotAvailable();

  const long long limit = *maxLength;
  long long produced = 0;
  for (int line = 0; line < lines; ++line) {
    const unsigned char* p = in + static_cast<size_t>(line) * width;
    const unsigned char* end = p + width;
    while (p < end) {
      const unsigned char value = *p;
      const unsigned char* run = p + 1;
      while (run < end && *run == value) ++run;
      long long count = run - p;
      p = run;
      // Runs longer than 255 go out as 255-runs and a remainder.
      while (count > 0) {
        const int piece = count > 255 ? 255 : static_cast<int>(count);
        if (produced + 2 >= limit) {
          if (ripicdbg())
            std::printf(
                "Mirka_picture : warning a bloc compressed is larger than not compressed \n");
          *length = static_cast<int>(produced);
          return 1;
        }
        out[produced++] = static_cast<unsigned char>(piece);
        out[produced++] = value;
        count -= piece;
      }
    }
  }
  *length = static_cast<int>(produced);
  if (ripicdbg()) std::printf("ripiccom: %d bytes\n", *length);
  return 0;
}

// Copies and fills of the short runs of the run-length codecs (1 to 128
// bytes), inlined as a few fixed-size moves whose last one may overlap the
// previous: no library call, no string instruction, nothing written or read
// outside the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

inline void CopyShortRun(unsigned char* to, const unsigned char* from, std::size_t n) {
  if (n >= 16) {
    std::size_t i = 0;
    for (; i + 16 < n; i += 16) std::memcpy(to + i, from + i, 16);
    std::memcpy(to + n - 16, from + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(to, from, 8);
    std::memcpy(to + n - 8, from + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + n - 4, from + n - 4, 4);
  } else if (n >= 2) {
    std::memcpy(to, from, 2);
    std::memcpy(to + n - 2, from + n - 2, 2);
  } else if (n == 1) {
    to[0] = from[0];
  }
}

inline void FillShortRun(unsigned char* to, unsigned char value, std::size_t n) {
  const std::uint64_t eight = 0x0101010101010101ull * value;
  if (n >= 16) {
    const std::uint64_t sixteen[2] = {eight, eight};
    std::size_t i = 0;
    for (; i + 16 < n; i += 16) std::memcpy(to + i, sixteen, 16);
    std::memcpy(to + n - 16, sixteen, 16);
  } else if (n >= 8) {
    std::memcpy(to, &eight, 8);
    std::memcpy(to + n - 8, &eight, 8);
  } else if (n >= 4) {
    std::memcpy(to, &eight, 4);
    std::memcpy(to + n - 4, &eight, 4);
  } else if (n >= 2) {
    std::memcpy(to, &eight, 2);
    std::memcpy(to + n - 2, &eight, 2);
  } else if (n == 1) {
    to[0] = value;
  }
}

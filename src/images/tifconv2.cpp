#include "tifconv2.h"

std::uint16_t tifconv2(std::uint16_t value) {
  return static_cast<std::uint16_t>((value >> 8) | (value << 8));
}

// Swaps the two bytes of a 16-bit value: converts a TIFF value between the
// file's byte order and the host's when the two differ.
#pragma once

#include <cstdint>

std::uint16_t tifconv2(std::uint16_t value);

// Reverses the four bytes of a 32-bit value: converts a TIFF value between the
// file's byte order and the host's when the two differ.
#pragma once

#include <cstdint>

std::uint32_t tifconv4(std::uint32_t value);

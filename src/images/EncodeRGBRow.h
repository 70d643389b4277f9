// Encodes one row of an SGI image file with its run-length scheme (runs of 3
// or more repeated bytes, literal runs otherwise, 127 at most each), ending
// with a zero count.
#pragma once

// Worst case of the encoding of a row of `width` bytes.
constexpr long EncodedRGBRowMaxLength(long width) {
  return width + (width + 126) / 127 + 1;
}

// Answers the encoded length, or -1 when targetLength is too small.
long EncodeRGBRow(const unsigned char* source, long width, unsigned char* target,
                  long targetLength);

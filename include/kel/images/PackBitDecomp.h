// PackBits decoding, row by row. Each row is packed on its own: control byte n
// of 0..127 copies the next n + 1 bytes, 129..255 repeats the next byte 257 - n
// times; 128 is refused.
#pragma once

// Status values of PackBitDecomp and PackBitComp.
constexpr long PACKBITS_RUN_PAST_ROW = 14601;  // a run passes the end of its row
constexpr long PACKBITS_SHORT_DATA = 14901;    // source exhausted, or target space too small
constexpr long PACKBITS_BAD_CONTROL = 14916;   // control byte 128

// Decodes up to *rows rows of bytesPerRow bytes from the sourceLength bytes of
// `source` into `target` (bytesPerRow x *rows bytes). On return *rows holds the
// number of rows decoded and *status 0 or one of the values above; answers 0
// on success, 1 otherwise. Never reads past sourceLength bytes.
int PackBitDecomp(const unsigned char* source, long sourceLength, long bytesPerRow, long* rows,
                  unsigned char* target, long* status);

// PackBits encoding, each row packed on its own: literal runs of at most 127
// bytes, repeat runs of 2 to 128 bytes; the output ends with one byte 128.
#pragma once

#include <kel/images/PackBitDecomp.h>

// Encodes `rows` rows of bytesPerRow bytes of `source` into `target`, which
// holds targetLength bytes. *length receives the output length and *status 0,
// or PACKBITS_SHORT_DATA when the remaining space falls below two rows, in
// which case the answer is 1 (0 on success).
int PackBitComp(const unsigned char* source, long bytesPerRow, long rows, unsigned char* target,
                long targetLength, long* length, long* status);

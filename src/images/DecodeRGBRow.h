// Decodes one run-length row of an SGI image file: control byte n, count n &
// 127, 0 ends the row; high bit set: count literal bytes follow; clear: the
// next byte is repeated count times.
#pragma once

// Reads at most sourceLength bytes and writes at most width bytes. Answers the
// number of bytes decoded, or -1 when a run passes the width or the source.
long DecodeRGBRow(const unsigned char* source, long sourceLength, unsigned char* target,
                  long width);

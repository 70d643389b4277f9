// Reader of SGI image files (RGB dumps): 1 byte per channel, at least three
// channels, verbatim or run-length; only the first three channels are used.
#pragma once

// Mode 1 reads and checks the header and sets size[0], size[1] to the width
// and height. Mode 2 also reads the pixels into `pixels` as interleaved R,G,B,
// file row 0 (the bottom row) first; on entry size[0], size[1] hold the size
// the buffer (width x height x 3 bytes) was made for, and a file of another
// size answers 13. Answers 0, or 4 bad arguments, 5 bad header (storage, zero
// size), 6 unsupported (fewer than 3 channels, not 1 byte per channel), 11
// short read, 12 the file cannot be opened, 13 invalid run-length data or an
// image too large.
int ReadRGBFile(const char* path, long mode, long* size, unsigned char* pixels);

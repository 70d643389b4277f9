// Writer of SGI image files (RGB dumps) of three 1-byte channels.
#pragma once

#include <vector>

// size: width and height, each 1..65535; storage 0 verbatim, 1 run-length;
// pixels are interleaved R,G,B with row 0 the bottom row. The whole file is
// built in memory and written at once. Answers 0, 1 the file cannot be
// opened, 2 it could not be written whole, 4 bad arguments, 5 no memory.
int WriteRGBFile(const char* path, long* size, long storage, const unsigned char* pixels);

// The whole file in memory, as WriteRGBFile writes it; same answers except 1
// and 2.
int BuildRGBFile(long* size, long storage, const unsigned char* pixels,
                 std::vector<unsigned char>& file);

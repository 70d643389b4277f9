// Writer of an uncompressed big-endian TIFF of true colour 8-8-8 in one strip.
#pragma once

// size: width and height; type 2 interleaved R,G,B or 1 planar (three planes
// R, G, B); pixels run from the top row. Answers 0, 1 the file cannot be
// created, 2 it cannot be closed, 3 a write failed, 4 a size that is not
// positive or too large for the format, or a type other than 1 or 2.
int tiffw(const char* path, long* size, long* type, char* pixels);

// Reader of the TIFF subset: one image, one strip, true colour 8-8-8 (chunky
// or planar), 8-bit palette, 8-bit grey or bilevel, uncompressed or PackBits,
// orientation 1 or 4, either byte order.
#pragma once

// Layout types answered in *type.
constexpr long TIFF_PLANAR = 1;      // three planes R, G, B, rows from the top
constexpr long TIFF_CHUNKY = 2;      // interleaved R,G,B, rows from the top
constexpr long TIFF_BOTTOM_UP = 40;  // added for orientation 4 (rows from the bottom)

// Mode 1 checks the header, the directory, the colour map and the strip
// layout; it sets size[0], size[1] to the width and height and *type to the
// layout type. Mode 2 does the same and also reads the pixels into `pixels`,
// expanded to 3 bytes per pixel (planes for type 1): on entry size[0], size[1]
// hold the width and height the buffer (width x height x 3 bytes) was made
// for, and a file of another size answers 13. Answers 0 or an error code
// (4 bad arguments, 5 not a TIFF, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 17, 18;
// 2 when the file cannot be closed).
int tiffr(const char* path, long mode, long* size, long* type, char* pixels);

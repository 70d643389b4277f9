// Pixel reader of picture files.
#pragma once

// Reads from the picture file at `path` the window of size[0] x size[1] pixels
// whose top-left pixel is at `origin` (column, line, counted from 1) into
// `pixels`: three planes red, green, blue of size[0] x size[1] bytes each, lines
// from the top, cleared first. One-component files go through their colour
// table; indices past the table give black. The image code must be 1.
// Answers 0; -5 file cannot be opened or image code not 1; -4 no pixel
// description; -2 unknown compression code; -10 origin outside the image; -11
// window larger than the image, or image width or height below 1 or width above
// 262144; -3 a block cannot be decoded; -1 truncated or malformed records.
int ripicrdt(const char* path, int* imageCode, int* origin, int* size, unsigned char* pixels);

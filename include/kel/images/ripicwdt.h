// Writer of picture files.
#pragma once

// Writes `pixels`, three planes (red, green, blue) of size[0] x size[1] bytes
// each, lines from the top, as a picture file at `path`: each component is cut
// into blocks of at most 262144 bytes, each block run-length compressed, or
// stored raw when that would not be shorter. The image code must be 1.
// Answers 0; -5 file cannot be created or image code not 1; -11 width or height
// below 1 or width above 262144 (checked before the file is created); -2 bad
// compression code; -3 block compression failed; -1 write failure.
int ripicwdt(const char* path, int* imageCode, int* size, unsigned char* pixels);

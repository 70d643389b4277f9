// Header reader of picture files.
#pragma once

// Reads the image size of the picture file at `path` into `size` (width, height;
// 0 and 0 when the file has no pixel description) and sets the image code to 1.
// Answers 0; -5 file cannot be opened; -1 truncated or malformed records; -2
// unknown compression code; -11 width or height below 1 or width above 262144.
int ripicrhd(const char* path, int* imageCode, int* size);

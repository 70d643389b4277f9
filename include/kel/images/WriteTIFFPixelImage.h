#pragma once

#include <kel/images/KelPixelImage.h>

// Writes an RGB image as an uncompressed chunky TIFF, top row first. Answers 0;
// 10 coding not 0; 9 not an RGB image; 5 no memory; 1000 + the writer's code.
int WriteTIFFPixelImage(KelPixelImage* image, const char* path, CodingFormat coding);

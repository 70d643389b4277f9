#pragma once

#include <kel/images/KelPixelImage.h>

// Writes an RGB image as a verbatim SGI image file. Answers 0; 10 coding not 0;
// 9 not an RGB image, or wider or higher than 65535; 1 the file cannot be
// opened; 2 it could not be written whole.
int WriteRGBPixelImage(KelPixelImage* image, const char* path, CodingFormat coding);

#pragma once

#include <kel/images/KelPixelImage.h>

// Reads an SGI image file into a new RGB image (file row 0 into stored row 0),
// locked when `readOnly` is 1. On any failure writes "Impossible to open RGB
// Image file." to the standard error stream and answers null.
KelPixelImage* ReadRGBPixelImage(const char* path, ReadOnlyState readOnly);

#pragma once

#include <kel/images/KelPixelImage.h>

// Reads a picture file into a new RGB image (first file line into the last
// stored row), locked when `readOnly` is 1. On failure writes the picture
// routine's code to the standard error stream and answers null.
KelPixelImage* ReadPicturePixelImage(const char* path, ReadOnlyState readOnly);

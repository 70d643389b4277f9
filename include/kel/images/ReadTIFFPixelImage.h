#pragma once

#include <kel/images/KelPixelImage.h>

// Reads a TIFF file into a new RGB image, bottom row first, locked when
// `readOnly` is 1. On failure writes the reader's code and message to the
// standard error stream and answers null.
KelPixelImage* ReadTIFFPixelImage(const char* path, ReadOnlyState readOnly);

#include <kel/images/WriteRGBPixelImage.h>

#include "WriteRGBFile.h"

#include <iostream>

int WriteRGBPixelImage(KelPixelImage* image, const char* path, CodingFormat coding) {
  if (coding != CodingNone) return 10;
  if (!image || image->GetFormat() != PixelImageRGB || !image->GetPixelsToRead()) return 9;
  int width, height;
  image->GetSize(width, height);
  // The format holds 16-bit sizes: a larger image cannot be written whole.
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return 9;
  long size[2] = {width, height};
  const int rc = WriteRGBFile(path, size, 0, image->GetPixelsToRead());
  if (rc == 1) {
    std::cerr << "Error when trying to open " << (path ? path : "") << std::endl;
    return 1;
  }
  if (rc != 0) {
    std::cerr << "Error trying to write " << (path ? path : "") << std::endl;
    return 2;
  }
  return 0;
}

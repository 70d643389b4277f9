#include <kel/images/ReadRGBPixelImage.h>

#include "ReadRGBFile.h"

#include <iostream>
#include <memory>

KelPixelImage* ReadRGBPixelImage(const char* path, ReadOnlyState readOnly) {
  long size[2] = {0, 0};
  std::unique_ptr<KelPixelImage> image;
  if (ReadRGBFile(path, 1, size, nullptr) == 0) {
    image.reset(
        new KelPixelImage(static_cast<int>(size[0]), static_cast<int>(size[1]), PixelImageRGB));
    unsigned char* pixels = image->GetPixelsToModify();
    if (!pixels || ReadRGBFile(path, 2, size, pixels) != 0) image.reset();
  }
  if (!image) {
    std::cerr << "Impossible to open RGB Image file." << std::endl;
    return nullptr;
  }
  if (readOnly == ReadOnly) image->LockAsReadOnly();
  return image.release();
}

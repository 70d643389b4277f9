// Reading and writing 8-bit PNG files as pixel images, for reference pictures.
#pragma once

#include <string>

class KelPixelImage;

class KelPngImage {
 public:
  // An RGB or RGBA image (format 2 or 3), rows bottom first as images store
  // them; null when the file is not an 8-bit PNG.
  static KelPixelImage* Read(const std::string& path);
  // Writes images of format 2 or 3; false on failure.
  static bool Write(const KelPixelImage& image, const std::string& path);
};

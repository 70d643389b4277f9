// Reading and writing 8-bit PNG files as pixel images, for reference pictures.
#pragma once

#include <string>

class KelPixelImage;

namespace keltest {
// Compares a picture with a reference PNG: each channel within a tolerance of
// 24, and at most one pixel in 200 beyond it, since renderers may place an
// edge pixel differently. A mismatch writes <name>.actual.png and
// <name>.diff.png (differing pixels in red over the faded reference) into the
// test's output folder. KEL_UPDATE_REFERENCES=1 rewrites the reference
// instead: look at every picture before committing it.
void ExpectMatchesReference(const KelPixelImage& image, const std::string& reference,
                            const std::string& name);
}  // namespace keltest

class KelPngImage {
 public:
  // An RGB or RGBA image (format 2 or 3), rows bottom first as images store
  // them; null when the file is not an 8-bit PNG.
  static KelPixelImage* Read(const std::string& path);
  // Writes images of format 2 or 3; false on failure.
  static bool Write(const KelPixelImage& image, const std::string& path);
};

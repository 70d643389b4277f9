#include <kel/images/ReadPicturePixelImage.h>

#include <kel/images/ripicrdt.h>
#include <kel/images/ripicrhd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>

namespace {

// Each line of a component takes at least min(width, 2 x ceil(width / 255))
// bytes in the file (raw, or full 255-runs); a header claiming more lines than
// the file can hold would only make us allocate for nothing.
bool FileCanHold(const char* path, int width, int height) {
  std::error_code error;
  const auto bytes = std::filesystem::file_size(path, error);
  if (error) return true;  // let the reader report it
  const long long perLine = std::min<long long>(width, 2LL * ((width + 254) / 255));
  return static_cast<unsigned long long>(perLine) * static_cast<unsigned long long>(height) <=
         bytes;
}

KelPixelImage* Fail(const char* text, int code) {
  std::cerr << text << code << std::endl;
  return nullptr;
}

}  // namespace

KelPixelImage* ReadPicturePixelImage(const char* path, ReadOnlyState readOnly) {
  int imageCode = 1;
  int size[2] = {100, 100};
  int code = ripicrhd(path, &imageCode, size);
  const int width = size[0], height = size[1];
  // A file without pixels, or one larger than an image can hold, is refused
  // before anything is allocated.
  if (code == 0 &&
      (width < 1 || height < 1 || static_cast<long long>(width) * height > INT_MAX / 3))
    code = -11;
  if (code != 0) return Fail("Error: RC when reading Picture Header is = ", code);
  if (!FileCanHold(path, width, height))
    return Fail("Error : RC when reading Picture file is = ", -1);

  const size_t plane = static_cast<size_t>(width) * height;
  std::unique_ptr<unsigned char[]> planes(new (std::nothrow) unsigned char[3 * plane]);
  if (!planes) return Fail("Error : RC when reading Picture file is = ", -1);
  int origin[2] = {1, 1};
  code = ripicrdt(path, &imageCode, origin, size, planes.get());
  if (code != 0) return Fail("Error : RC when reading Picture file is = ", code);

  auto image = std::make_unique<KelPixelImage>(width, height, PixelImageRGB);
  unsigned char* out = image->GetPixelsToModify();
  if (!out) return Fail("Error : RC when reading Picture file is = ", -1);
  const unsigned char* red = planes.get();
  const unsigned char* green = red + plane;
  const unsigned char* blue = green + plane;
  for (int line = 0; line < height; ++line) {
    // The file runs from the top, the image from the bottom.
    unsigned char* row = out + static_cast<size_t>(height - 1 - line) * width * 3;
    const size_t at = static_cast<size_t>(line) * width;
    for (int x = 0; x < width; ++x) {
      row[3 * x] = red[at + x];
      row[3 * x + 1] = green[at + x];
      row[3 * x + 2] = blue[at + x];
    }
  }
  if (readOnly == ReadOnly) image->LockAsReadOnly();
  return image.release();
}

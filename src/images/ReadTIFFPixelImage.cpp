#include <kel/images/ReadTIFFPixelImage.h>

#include <kel/images/tiffr.h>

#include <cstring>
#include <iostream>
#include <memory>
#include <new>

namespace {

const char* const kMessages[20] = {
    nullptr,
    "Impossible to create file",
    "Impossible to close file",
    "Writing error (Disk full ?)",
    "Invalid Input parameters",
    "Not a valid Tiff file",
    "Only True Color with 8-8-8 type is supported",
    "This compression algorithm is not supported",
    "Not a True Color or Indexed Color Image",
    nullptr,
    "More than 1 strip images not supported",
    "Read error: truncated file or invalid Tiff file",
    "Impossible to open file",
    "Invalid Pixels data (Invalid Tiff file)",
    "This orientation is not supported (1 and 4 only)",
    "Invalid Indexed Image (Invalid Tiff file)",
    "Invalid Indexed Image, Color Palette missing",
    "Invalid Indexed Image, only 8 bits (256 colors palette) supported",
    "Error when uncompressing pixels data",
    " ",
};

void Report(int code) {
  std::cerr << "RC when reading TIFF file is = " << code << std::endl;
  if (code > 0 && code < 20 && kMessages[code]) std::cerr << kMessages[code] << std::endl;
}

}  // namespace

KelPixelImage* ReadTIFFPixelImage(const char* path, ReadOnlyState readOnly) {
  long size[2] = {0, 0};
  long type = 0;
  int rc = tiffr(path, 1, size, &type, nullptr);
  if (rc != 0) {
    Report(rc);
    return nullptr;
  }
  const int width = static_cast<int>(size[0]), height = static_cast<int>(size[1]);
  std::unique_ptr<KelPixelImage> image(new KelPixelImage(width, height, PixelImageRGB));
  unsigned char* out = image->GetPixelsToModify();
  const size_t plane = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[3 * plane]);
  if (!out || !buffer) return nullptr;
  rc = tiffr(path, 2, size, &type, reinterpret_cast<char*>(buffer.get()));
  if (rc != 0) {
    Report(rc);
    return nullptr;
  }

  const size_t row = 3 * static_cast<size_t>(width);
  const unsigned char* in = buffer.get();
  switch (type) {
    case TIFF_CHUNKY:
      for (int y = 0; y < height; ++y)
        std::memcpy(out + row * static_cast<size_t>(height - 1 - y),
                    in + row * static_cast<size_t>(y), row);
      break;
    case TIFF_CHUNKY + TIFF_BOTTOM_UP:
      std::memcpy(out, in, 3 * plane);
      break;
    case TIFF_PLANAR:
    case TIFF_PLANAR + TIFF_BOTTOM_UP:
      for (int y = 0; y < height; ++y) {
        const int stored = type == TIFF_PLANAR ? height - 1 - y : y;
        unsigned char* o = out + row * static_cast<size_t>(stored);
        const size_t first = static_cast<size_t>(y) * static_cast<size_t>(width);
        for (size_t x = 0; x < static_cast<size_t>(width); ++x) {
          o[3 * x] = in[first + x];
          o[3 * x + 1] = in[plane + first + x];
          o[3 * x + 2] = in[2 * plane + first + x];
        }
      }
      break;
    default:
      std::cerr << "TIFF Image type not supported = " << type << std::endl;
      return nullptr;
  }
  if (readOnly == ReadOnly) image->LockAsReadOnly();
  return image.release();
}

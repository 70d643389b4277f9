#include "KelPngImage.h"

#include <kel/images/KelPixelImage.h>

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>

KelPixelImage* KelPngImage::Read(const std::string& path) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return nullptr;
  const bool alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  png.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  const int w = static_cast<int>(png.width), h = static_cast<int>(png.height);
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384) {
    png_image_free(&png);
    return nullptr;
  }
  auto image = std::make_unique<KelPixelImage>(w, h, alpha ? PixelImageRGBA : PixelImageRGB);
  const int stride = w * (alpha ? 4 : 3);
  // A negative stride stores the file's top row last: bottom row first.
  if (!png_image_finish_read(&png, nullptr, image->GetPixelsToModify(), -stride, nullptr))
    return nullptr;
  return image.release();
}

bool KelPngImage::Write(const KelPixelImage& image, const std::string& path) {
  const PixelImageFormat f = image.GetFormat();
  if (f != PixelImageRGB && f != PixelImageRGBA) return false;
  int w = 0, h = 0;
  image.GetSize(w, h);
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(w);
  png.height = static_cast<png_uint_32>(h);
  png.format = f == PixelImageRGBA ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  const int stride = w * (f == PixelImageRGBA ? 4 : 3);
  return png_image_write_to_file(&png, path.c_str(), 0, image.GetPixelsToRead(), -stride,
                                 nullptr) != 0;
}

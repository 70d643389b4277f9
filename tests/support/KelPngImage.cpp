#include "KelPngImage.h"

#include <kel/images/KelPixelImage.h>

#include <png.h>

#include <gtest/gtest.h>

#include "KelTestEnv.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

void keltest::ExpectMatchesReference(const KelPixelImage& image, const std::string& reference,
                                     const std::string& name) {
  const char* update = std::getenv("KEL_UPDATE_REFERENCES");
  if (update && std::string(update) == "1") {
    EXPECT_TRUE(KelPngImage::Write(image, reference)) << reference;
    return;
  }
  std::unique_ptr<KelPixelImage> expected(KelPngImage::Read(reference));
  ASSERT_NE(expected, nullptr) << "no reference " << reference
                               << " (KEL_UPDATE_REFERENCES=1 makes it)";
  int w = 0, h = 0, ew = 0, eh = 0;
  image.GetSize(w, h);
  expected->GetSize(ew, eh);
  ASSERT_TRUE(w == ew && h == eh && image.GetFormat() == PixelImageRGB &&
              expected->GetFormat() == PixelImageRGB)
      << reference;
  constexpr int kTolerance = 24;
  KelPixelImage diff(w, h, PixelImageRGB);
  unsigned char* d = diff.GetPixelsToModify();
  const unsigned char *a = image.GetPixelsToRead(), *e = expected->GetPixelsToRead();
  int differing = 0;
  for (int i = 0; i < 3 * w * h; i += 3) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a[i + c] - e[i + c]));
    differing += worst > kTolerance;
    const auto faded = static_cast<unsigned char>((e[i] + e[i + 1] + e[i + 2]) / 9);
    d[i] = worst > kTolerance ? 255 : faded;
    d[i + 1] = d[i + 2] = worst > kTolerance ? 0 : faded;
  }
  if (differing > w * h / 200) {
    KelPngImage::Write(image, OutputPath(name + ".actual.png"));
    KelPngImage::Write(diff, OutputPath(name + ".diff.png"));
    ADD_FAILURE() << name << ": " << differing << " pixels differ from the reference; see "
                  << OutputPath(name + ".diff.png");
  }
}

#include <kel/images/WriteTIFFPixelImage.h>

#include <kel/images/tiffr.h>
#include <kel/images/tiffw.h>

#include <cstring>
#include <memory>
#include <new>

int WriteTIFFPixelImage(KelPixelImage* image, const char* path, CodingFormat coding) {
  if (coding != CodingNone) return 10;
  if (!image || image->GetFormat() != PixelImageRGB) return 9;
  int width, height;
  image->GetSize(width, height);
  const unsigned char* in = image->GetPixelsToRead();
  const size_t row = 3 * static_cast<size_t>(width > 0 ? width : 0);
  const size_t bytes = row * static_cast<size_t>(height > 0 ? height : 0);
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[bytes > 0 ? bytes : 1]);
  if (!buffer) return 5;
  // The file runs top-down: the last stored row first.
  if (in)
    for (int y = 0; y < height; ++y)
      std::memcpy(buffer.get() + row * static_cast<size_t>(y),
                  in + row * static_cast<size_t>(height - 1 - y), row);
  long size[2] = {width, height};
  long type = TIFF_CHUNKY;
  const int rc = tiffw(path, size, &type, buffer.get());
  return rc == 0 ? 0 : 1000 + rc;
}

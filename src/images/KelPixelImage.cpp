#include <kel/images/KelPixelImage.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

KEL_IMPLEMENT_META(KelPixelImage, KelExtendable)

namespace {

constexpr float kDefaultPixelSize = 0.278f;

// Source index of each result index for a 0.5-centred map, kept inside the source.
std::vector<int> BuildMap(int sourceLength, int resultLength) {
  std::vector<int> map(static_cast<size_t>(resultLength));
  const float ratio = static_cast<float>(sourceLength) / static_cast<float>(resultLength);
  for (int i = 0; i < resultLength; ++i) {
    const float centre = static_cast<float>(static_cast<double>(i) + 0.5);
    int s = static_cast<int>(centre * ratio);
    map[static_cast<size_t>(i)] = std::min(std::max(s, 0), sourceLength - 1);
  }
  return map;
}

// Truncates factor x length without overflowing the int conversion.
int ScaledLength(float factor, int length) {
  const float v = factor * static_cast<float>(length);
  if (!(v >= 1.0f)) return 0;  // also NaN
  if (v >= 2147483520.0f) return INT_MAX;
  return static_cast<int>(v);
}

}  // namespace

int KelPixelImage::BytesPerPixel(const PixelImageFormat format) {
  switch (format) {
    case PixelImageOneByte:
      return 1;
    case PixelImageTwoBytes:
      return 2;
    case PixelImageRGB:
      return 3;
    case PixelImageRGBA:
      return 4;
  }
  return 0;
}

void KelPixelImage::SetUp(int width, int height, PixelImageFormat format) {
  _format = format;
  const int64_t bytes =
      static_cast<int64_t>(width) * static_cast<int64_t>(height) * BytesPerPixel(format);
  if (width <= 0 || height <= 0 || bytes <= 0 || bytes > INT_MAX) {
    _width = _height = _size = 0;
    return;
  }
  _width = width;
  _height = height;
  _size = static_cast<int>(bytes);
}

KelPixelImage::KelPixelImage(const int width, const int height, const PixelImageFormat format,
                             unsigned char* pixels)
    : _pixels(pixels), _external(1) {
  SetUp(width, height, format);
}

KelPixelImage::KelPixelImage(const int width, const int height, const PixelImageFormat format) {
  SetUp(width, height, format);
  if (_size > 0) {
    _pixels = new (std::nothrow) unsigned char[static_cast<size_t>(_size)];
    if (!_pixels) _width = _height = _size = 0;
  }
}

KelPixelImage::KelPixelImage(const KelPixelImage& other) : KelExtendable(other) {
  CopyFrom(other);
}

KelPixelImage& KelPixelImage::operator=(const KelPixelImage& other) {
  if (this == &other) return *this;
  ReleaseBuffer();
  // A cached copy of the old pixels would be stale.
  _secondaryImage.reset();
  CopyFrom(other);
  return *this;
}

KelPixelImage::~KelPixelImage() {
  ReleaseBuffer();
}

void KelPixelImage::ReleaseBuffer() {
  if (!_external) delete[] _pixels;
  _pixels = nullptr;
  _external = 0;
}

void KelPixelImage::CopyFrom(const KelPixelImage& other) {
  _width = other._width;
  _height = other._height;
  _size = other._size;
  _format = other._format;
  _xPixelSize = other._xPixelSize;
  _yPixelSize = other._yPixelSize;
  _modifiable = other._modifiable;
  if (!other._modifiable && other._external) {
    _pixels = other._pixels;
    _external = 1;
    return;
  }
  _external = 0;
  _pixels = nullptr;
  if (_size > 0 && other._pixels) {
    _pixels = new (std::nothrow) unsigned char[static_cast<size_t>(_size)];
    if (_pixels) std::memcpy(_pixels, other._pixels, static_cast<size_t>(_size));
  }
  if (!_pixels) _width = _height = _size = 0;
}

void KelPixelImage::GetSize(int& width, int& height) const {
  width = _width;
  height = _height;
}

PixelImageFormat KelPixelImage::GetFormat() const {
  return _format;
}

const unsigned char* KelPixelImage::GetPixelsToRead() const {
  return _pixels;
}

unsigned char* KelPixelImage::GetPixelsToModify() {
  if (!_modifiable) return nullptr;
  _secondaryImage.reset();
  return _pixels;
}

const unsigned char* KelPixelImage::GetSecondaryPixelsToRead(const SecondaryPixelImageFormat format,
                                                             const LineProgression progression) {
  if (_format != PixelImageRGB && _format != PixelImageRGBA) return nullptr;
  if (_size <= 0 || !_pixels) return nullptr;
  if (progression == LineProgressionStored &&
      ((format == SecondaryRGB && _format == PixelImageRGB) ||
       (format == SecondaryRGBA && _format == PixelImageRGBA)))
    return _pixels;
  if (_secondaryImage && _secondaryFormat == format && _secondaryLineProgression == progression)
    return _secondaryImage->_pixels;

  _secondaryImage.reset();
  std::unique_ptr<KelPixelImage> copy(Duplicate());
  if (!copy || copy->_size <= 0) return nullptr;
  if (progression == LineProgressionInverted) copy->InvertLineProgression();
  copy->ChangeFormat(format == SecondaryRGB ? PixelImageRGB : PixelImageRGBA);
  if (format == SecondaryABGR || format == SecondaryARGB) {
    unsigned char* p = copy->_pixels;
    for (int i = 0; i < copy->_size; i += 4, p += 4) {
      const unsigned char r = p[0], g = p[1], b = p[2], a = p[3];
      if (format == SecondaryABGR) {
        p[0] = a, p[1] = b, p[2] = g, p[3] = r;
      } else {
        p[0] = a, p[1] = r, p[2] = g, p[3] = b;
      }
    }
  }
  _secondaryImage = std::move(copy);
  _secondaryFormat = format;
  _secondaryLineProgression = progression;
  return _secondaryImage->_pixels;
}

float KelPixelImage::GetXPixelSize() const {
  return _xPixelSize;
}
float KelPixelImage::GetYPixelSize() const {
  return _yPixelSize;
}
void KelPixelImage::SetXPixelSize(float size) {
  _xPixelSize = size;
}
void KelPixelImage::SetYPixelSize(float size) {
  _yPixelSize = size;
}

void KelPixelImage::LockAsReadOnly() {
  _modifiable = 0;
}

KelPixelImage* KelPixelImage::Duplicate() const {
  KelPixelImage* copy = new KelPixelImage(_width, _height, _format);
  if (copy->_pixels && _pixels) std::memcpy(copy->_pixels, _pixels, static_cast<size_t>(_size));
  copy->_xPixelSize = _xPixelSize;
  copy->_yPixelSize = _yPixelSize;
  return copy;
}

int KelPixelImage::ChangeFormat(const PixelImageFormat format) {
  if (!_modifiable) return 10;
  if (format == _format) return 0;
  const bool toRGBA = _format == PixelImageRGB && format == PixelImageRGBA;
  const bool toRGB = _format == PixelImageRGBA && format == PixelImageRGB;
  if (!toRGBA && !toRGB) return 20;
  _secondaryImage.reset();
  if (_size <= 0 || !_pixels) {
    _format = format;
    return 0;
  }
  const int64_t pixelCount = static_cast<int64_t>(_width) * _height;
  const int64_t newSize = pixelCount * (toRGBA ? 4 : 3);
  unsigned char* buffer =
      newSize > INT_MAX ? nullptr : new (std::nothrow) unsigned char[static_cast<size_t>(newSize)];
  if (!buffer) return 20;
  const unsigned char* s = _pixels;
  unsigned char* d = buffer;
  for (int64_t i = 0; i < pixelCount; ++i) {
    d[0] = s[0], d[1] = s[1], d[2] = s[2];
    if (toRGBA) {
      d[3] = 255;
      s += 3, d += 4;
    } else {
      s += 4, d += 3;
    }
  }
  ReleaseBuffer();
  _pixels = buffer;
  _format = format;
  _size = static_cast<int>(newSize);
  return 0;
}

int KelPixelImage::InvertLineProgression() {
  if (!_modifiable) return 10;
  if (_size <= 0 || !_pixels || _height <= 0) return 0;
  const size_t row = static_cast<size_t>(_size / _height);
  unsigned char* buffer = new (std::nothrow) unsigned char[static_cast<size_t>(_size)];
  if (!buffer) return 0;
  for (int r = 0; r < _height; ++r)
    std::memcpy(buffer + row * static_cast<size_t>(_height - 1 - r), _pixels + row * r, row);
  ReleaseBuffer();
  _pixels = buffer;
  _secondaryImage.reset();
  return 0;
}

int KelPixelImage::Modify(const int width, const int height, const PixelImageFormat format,
                          unsigned char* pixels) {
  if (!_modifiable) return 10;
  ReleaseBuffer();
  _secondaryImage.reset();
  SetUp(width, height, format);
  _pixels = pixels;
  _external = 1;
  _modifiable = 1;
  _xPixelSize = _yPixelSize = kDefaultPixelSize;
  return 0;
}

KelPixelImage* KelPixelImage::CreateSubImage(const int x1, const int y1, const int x2,
                                             const int y2) const {
  if (_size <= 0 || !_pixels) return nullptr;
  if (x1 < 0 || x1 >= x2 || x2 > _width || y1 < 0 || y1 >= y2 || y2 > _height) return nullptr;
  KelPixelImage* sub = new KelPixelImage(x2 - x1, y2 - y1, _format);
  if (!sub->_pixels) {
    delete sub;
    return nullptr;
  }
  const size_t bpp = static_cast<size_t>(BytesPerPixel(_format));
  const size_t subRow = bpp * static_cast<size_t>(x2 - x1);
  const size_t row = bpp * static_cast<size_t>(_width);
  for (int y = y1; y < y2; ++y)
    std::memcpy(sub->_pixels + subRow * static_cast<size_t>(y - y1),
                _pixels + row * static_cast<size_t>(y) + bpp * static_cast<size_t>(x1), subRow);
  sub->_xPixelSize = _xPixelSize;
  sub->_yPixelSize = _yPixelSize;
  return sub;
}

KelPixelImage* KelPixelImage::CreateZoomedImage(const int newWidth, const int newHeight,
                                                int quality) const {
  if (quality == 2) return AveragedZoom(newWidth, newHeight);
  return SampledZoom(newWidth, newHeight);
}

KelPixelImage* KelPixelImage::CreateZoomedImage(const float factor, int quality) const {
  return CreateZoomedImage(ScaledLength(factor, _width), ScaledLength(factor, _height), quality);
}

KelPixelImage* KelPixelImage::SampledZoom(int newWidth, int newHeight) const {
  KelPixelImage* zoom = new KelPixelImage(newWidth, newHeight, _format);
  zoom->_xPixelSize = _xPixelSize;
  zoom->_yPixelSize = _yPixelSize;
  if (!zoom->_pixels || !_pixels || _size <= 0) {
    // Nothing to sample from, or nothing to sample into: an empty image.
    zoom->ReleaseBuffer();
    zoom->_width = zoom->_height = zoom->_size = 0;
    return zoom;
  }
  if (newWidth == _width && newHeight == _height) {
    std::memcpy(zoom->_pixels, _pixels, static_cast<size_t>(_size));
    return zoom;
  }
  const std::vector<int> columns = BuildMap(_width, newWidth);
  const std::vector<int> rows = BuildMap(_height, newHeight);
  const size_t bpp = static_cast<size_t>(BytesPerPixel(_format));
  const size_t sourceRow = bpp * static_cast<size_t>(_width);
  const size_t resultRow = bpp * static_cast<size_t>(newWidth);
  for (int r = 0; r < newHeight; ++r) {
    unsigned char* out = zoom->_pixels + resultRow * static_cast<size_t>(r);
    if (r > 0 && rows[static_cast<size_t>(r)] == rows[static_cast<size_t>(r - 1)]) {
      std::memcpy(out, out - resultRow, resultRow);
      continue;
    }
    const unsigned char* in =
        _pixels + sourceRow * static_cast<size_t>(rows[static_cast<size_t>(r)]);
    for (int c = 0; c < newWidth; ++c)
      std::memcpy(out + bpp * static_cast<size_t>(c),
                  in + bpp * static_cast<size_t>(columns[static_cast<size_t>(c)]), bpp);
  }
  return zoom;
}

// Box filter for reductions: rows are averaged first (integer division), then
// the columns of that averaged row.
KelPixelImage* KelPixelImage::AveragedZoom(int newWidth, int newHeight) const {
  if (newWidth <= 0 || newHeight <= 0 || _size <= 0 || !_pixels)
    return SampledZoom(newWidth, newHeight);
  const float rx = static_cast<float>(newWidth) / static_cast<float>(_width);
  const float ry = static_cast<float>(newHeight) / static_cast<float>(_height);
  if (std::max(rx, ry) >= 1.0f) return SampledZoom(newWidth, newHeight);

  KelPixelImage* zoom = new KelPixelImage(newWidth, newHeight, _format);
  zoom->_xPixelSize = _xPixelSize;
  zoom->_yPixelSize = _yPixelSize;
  if (!zoom->_pixels) return zoom;
  const std::vector<int> columns = BuildMap(_width, newWidth);
  const std::vector<int> rows = BuildMap(_height, newHeight);
  const size_t bpp = static_cast<size_t>(BytesPerPixel(_format));
  const size_t sourceRow = bpp * static_cast<size_t>(_width);
  std::vector<uint64_t> accumulator(sourceRow, 0);
  std::vector<unsigned char> averaged(sourceRow);
  std::vector<uint64_t> sums(bpp);
  uint64_t rowCount = 0;
  int r = 0;
  for (int y = 0; y < _height && r < newHeight; ++y) {
    const unsigned char* in = _pixels + sourceRow * static_cast<size_t>(y);
    for (size_t i = 0; i < sourceRow; ++i) accumulator[i] += in[i];
    ++rowCount;
    if (y != rows[static_cast<size_t>(r)]) continue;
    for (size_t i = 0; i < sourceRow; ++i)
      averaged[i] = static_cast<unsigned char>(accumulator[i] / rowCount);
    unsigned char* out =
        zoom->_pixels + bpp * static_cast<size_t>(newWidth) * static_cast<size_t>(r);
    std::fill(sums.begin(), sums.end(), 0);
    uint64_t pixelCount = 0;
    int c = 0;
    for (int x = 0; x < _width && c < newWidth; ++x) {
      for (size_t k = 0; k < bpp; ++k) sums[k] += averaged[bpp * static_cast<size_t>(x) + k];
      ++pixelCount;
      if (x != columns[static_cast<size_t>(c)]) continue;
      for (size_t k = 0; k < bpp; ++k)
        out[bpp * static_cast<size_t>(c) + k] = static_cast<unsigned char>(sums[k] / pixelCount);
      std::fill(sums.begin(), sums.end(), 0);
      pixelCount = 0;
      ++c;
    }
    std::fill(accumulator.begin(), accumulator.end(), 0);
    rowCount = 0;
    ++r;
  }
  return zoom;
}

KelPixelImage* KelPixelImage::CreateRotatedImage(const int angle) const {
  if (angle != 90 && angle != 180 && angle != 270) return nullptr;
  const int w = angle == 180 ? _width : _height;
  const int h = angle == 180 ? _height : _width;
  KelPixelImage* rotated = new KelPixelImage(w, h, _format);
  if (!rotated->_pixels || !_pixels || _size <= 0) {
    rotated->ReleaseBuffer();
    rotated->_width = rotated->_height = rotated->_size = 0;
    return rotated;
  }
  const size_t bpp = static_cast<size_t>(BytesPerPixel(_format));
  unsigned char* out = rotated->_pixels;
  for (int r = 0; r < h; ++r) {
    for (int c = 0; c < w; ++c, out += bpp) {
      int sc, sr;
      if (angle == 90) {
        sc = r, sr = _height - 1 - c;
      } else if (angle == 180) {
        sc = _width - 1 - c, sr = _height - 1 - r;
      } else {
        sc = _width - 1 - r, sr = c;
      }
      std::memcpy(out,
                  _pixels + bpp * (static_cast<size_t>(sr) * static_cast<size_t>(_width) +
                                   static_cast<size_t>(sc)),
                  bpp);
    }
  }
  return rotated;
}

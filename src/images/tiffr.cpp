#include <kel/images/tiffr.h>

#include <kel/images/PackBitDecomp.h>

#include "tifconv2.h"
#include "tifconv4.h"
#include "tifflec.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

enum Tag : std::uint16_t {
  kImageWidth = 256,
  kImageLength = 257,
  kBitsPerSample = 258,
  kCompression = 259,
  kPhotometric = 262,
  kStripOffsets = 273,
  kOrientation = 274,
  kSamplesPerPixel = 277,
  kRowsPerStrip = 278,
  kStripByteCounts = 279,
  kPlanarConfiguration = 284,
  kColorMap = 320,
  kTileWidth = 322,
  kTileOffsets = 324,
};

constexpr long kPackBits = 32773;

struct Entry {
  bool present = false;
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  unsigned char value[4] = {0, 0, 0, 0};
};

bool HostIsBigEndian() {
  const std::uint16_t one = 1;
  unsigned char first;
  std::memcpy(&first, &one, 1);
  return first == 0;
}

// Values are decoded in the file's byte order, whatever the host's.
class Decoder {
 public:
  explicit Decoder(bool fileBigEndian) : _swap(fileBigEndian != HostIsBigEndian()) {}
  std::uint16_t U16(const unsigned char* p) const {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return _swap ? tifconv2(v) : v;
  }
  std::uint32_t U32(const unsigned char* p) const {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return _swap ? tifconv4(v) : v;
  }

 private:
  bool _swap;
};

int TypeSize(std::uint16_t type) {
  switch (type) {
    case 1:  // BYTE
      return 1;
    case 3:  // SHORT
      return 2;
    case 4:  // LONG
      return 4;
  }
  return 0;
}

// Reads `n` integer values of an entry, inline when they fit in its four
// bytes, else at the offset it holds. Answers 0, 5 for an unusable type, 11
// on a short read.
int ReadValues(FILE* f, const Decoder& d, const Entry& e, std::uint32_t n, std::uint32_t* out) {
  const int size = TypeSize(e.type);
  if (size == 0) return 5;
  const unsigned long bytes = static_cast<unsigned long>(size) * n;
  unsigned char inlineValue[4];
  std::vector<unsigned char> stored;
  const unsigned char* p = e.value;
  if (bytes > 4) {
    stored.resize(bytes);
    if (tifflec(f, d.U32(e.value), bytes, reinterpret_cast<char*>(stored.data())) != 0) return 11;
    p = stored.data();
  } else {
    std::memcpy(inlineValue, e.value, 4);
    p = inlineValue;
  }
  for (std::uint32_t i = 0; i < n; ++i, p += size)
    out[i] = size == 1 ? *p : size == 2 ? d.U16(p) : d.U32(p);
  return 0;
}

int Scalar(FILE* f, const Decoder& d, const Entry& e, std::uint32_t* out) {
  if (e.count < 1) return 5;
  return ReadValues(f, d, e, 1, out);
}

struct Layout {
  std::uint32_t width = 0, height = 0;
  std::uint32_t compression = 1, photometric = 0, orientation = 1;
  std::uint32_t samples = 1, bits = 1;
  bool planar = false, palette = false, grey = false, bilevel = false;
  std::uint32_t offsets[3] = {0, 0, 0};
  std::uint32_t counts[3] = {0, 0, 0};
  unsigned long readBytes = 0;  // bytes of the single chunky strip to read
  unsigned long rowBytes = 0;   // bytes per decoded row of that strip
  std::vector<std::uint16_t> colorMap;
};

class FileCloser {
 public:
  explicit FileCloser(FILE* f) : _f(f) {}
  ~FileCloser() {
    if (_f) std::fclose(_f);
  }
  int Close() {
    FILE* f = _f;
    _f = nullptr;
    return std::fclose(f) == 0 ? 0 : 2;
  }

 private:
  FILE* _f;
};

unsigned long FileLength(FILE* f) {
  if (std::fseek(f, 0, SEEK_END) != 0) return 0;
  const long n = std::ftell(f);
  return n < 0 ? 0 : static_cast<unsigned long>(n);
}

bool Within(unsigned long offset, unsigned long bytes, unsigned long fileLength) {
  return offset <= fileLength && bytes <= fileLength - offset;
}

// The directory entries this reader uses.
struct Directory {
  Entry width, height, bits, compression, photometric, offsets, orientation, samples, rows, counts,
      planar, colorMap;
  bool tiled = false;

  Entry* Find(std::uint16_t tag) {
    switch (tag) {
      case kImageWidth:
        return &width;
      case kImageLength:
        return &height;
      case kBitsPerSample:
        return &bits;
      case kCompression:
        return &compression;
      case kPhotometric:
        return &photometric;
      case kStripOffsets:
        return &offsets;
      case kOrientation:
        return &orientation;
      case kSamplesPerPixel:
        return &samples;
      case kRowsPerStrip:
        return &rows;
      case kStripByteCounts:
        return &counts;
      case kPlanarConfiguration:
        return &planar;
      case kColorMap:
        return &colorMap;
      default:
        return nullptr;
    }
  }
};

// Header and first directory: the file's byte order and the entries used.
int ReadDirectory(FILE* f, bool& bigEndian, Directory& dir) {
  unsigned char header[8];
  if (std::fread(header, 1, 8, f) != 8) return 11;
  if (header[0] == 'M' && header[1] == 'M')
    bigEndian = true;
  else if (header[0] == 'I' && header[1] == 'I')
    bigEndian = false;
  else
    return 5;
  const Decoder d(bigEndian);
  if (d.U16(header + 2) != 42) return 5;

  unsigned char countBytes[2];
  if (tifflec(f, d.U32(header + 4), 2, reinterpret_cast<char*>(countBytes)) != 0) return 11;
  const std::uint16_t entryCount = d.U16(countBytes);
  for (std::uint16_t i = 0; i < entryCount; ++i) {
    unsigned char raw[12];
    if (std::fread(raw, 1, 12, f) != 12) return 11;
    const std::uint16_t tag = d.U16(raw);
    if (tag >= kTileWidth && tag <= kTileOffsets + 1) dir.tiled = true;
    Entry* e = dir.Find(tag);
    if (!e) continue;
    e->present = true;
    e->type = d.U16(raw + 2);
    e->count = d.U32(raw + 4);
    std::memcpy(e->value, raw + 8, 4);
  }
  return 0;
}

// Samples per pixel, bits per sample and the photometric interpretation give
// the kind of image (true colour, palette with its colour map, grey, bilevel).
int ReadSampleFormat(FILE* f, const Decoder& d, const Directory& dir, std::uint32_t planarConfig,
                     Layout& L) {
  int rc;
  // BitsPerSample defaults to 1 when absent.
  const std::uint32_t bitsCount = dir.bits.present ? dir.bits.count : 1;
  std::uint32_t bitValues[3] = {1, 1, 1};
  if (dir.bits.present && (bitsCount == 1 || bitsCount == 3) &&
      (rc = ReadValues(f, d, dir.bits, bitsCount, bitValues)))
    return rc;

  switch (L.photometric) {
    case 2:  // RGB
      if (bitsCount == 3 && L.samples != 3) return 11;
      if (L.samples != 3) return 8;
      if (bitsCount == 1) bitValues[1] = bitValues[2] = bitValues[0];
      if (bitsCount != 1 && bitsCount != 3) return 6;
      if (bitValues[0] != 8 || bitValues[1] != 8 || bitValues[2] != 8) return 6;
      L.bits = 8;
      L.planar = planarConfig == 2;
      return 0;
    case 3: {  // palette
      if (bitsCount != 1) return 15;
      if (bitValues[0] != 8) return 17;
      if (L.samples != 1) return 8;
      if (!dir.colorMap.present) return 16;
      if (dir.colorMap.count != 768) return 15;
      std::uint32_t values[768];
      if ((rc = ReadValues(f, d, dir.colorMap, 768, values))) return rc;
      L.colorMap.assign(values, values + 768);
      L.bits = 8;
      L.palette = true;
      return 0;
    }
    case 0:  // grey or bilevel, white is zero
    case 1:  // black is zero
      if (L.samples != 1) return 8;
      if (bitsCount != 1 || (bitValues[0] != 8 && bitValues[0] != 1)) return 6;
      L.bits = bitValues[0];
      L.grey = L.bits == 8;
      L.bilevel = L.bits == 1;
      return 0;
    default:
      return 8;
  }
}

// One strip (three for planar images) lying wholly inside the file, of the
// size the image needs.
int ReadStrips(FILE* f, const Decoder& d, const Directory& dir, Layout& L) {
  int rc;
  // Tiles are several pieces too.
  if (dir.tiled) return 10;
  // One strip: RowsPerStrip (default: all rows) must cover the image.
  std::uint32_t rowsPerStrip = UINT32_MAX;
  if (dir.rows.present && (rc = Scalar(f, d, dir.rows, &rowsPerStrip))) return rc;
  if (rowsPerStrip < L.height) return 10;

  const std::uint32_t strips = L.planar ? 3 : 1;
  if (!dir.offsets.present || !dir.counts.present) return 5;
  if (dir.offsets.count > strips || dir.counts.count > strips) return 10;
  if (dir.offsets.count < strips || dir.counts.count < strips) return 13;
  if (L.planar && L.compression != 1) return 7;
  if ((rc = ReadValues(f, d, dir.offsets, strips, L.offsets)) ||
      (rc = ReadValues(f, d, dir.counts, strips, L.counts)))
    return rc;

  const unsigned long pixelCount = static_cast<unsigned long>(L.width) * L.height;
  const unsigned long fileLength = FileLength(f);
  if (L.planar) {
    for (int i = 0; i < 3; ++i) {
      if (L.counts[i] != pixelCount) return 13;
      if (!Within(L.offsets[i], pixelCount, fileLength)) return 11;
    }
    return 0;
  }
  L.rowBytes = L.palette || L.grey ? L.width
               : L.bilevel         ? (static_cast<unsigned long>(L.width) + 7) / 8
                                   : static_cast<unsigned long>(L.width) * 3;
  const unsigned long decoded = L.rowBytes * L.height;
  if (L.compression == 1) {
    // Bilevel rows may be followed by padding; read only what the image needs.
    if (L.bilevel ? L.counts[0] < decoded : L.counts[0] != decoded) return 13;
    L.readBytes = decoded;
  } else {
    // Two PackBits bytes decode to 128 at most.
    if (L.counts[0] == 0) return 13;
    if (decoded / 64 > L.counts[0]) return 18;
    L.readBytes = L.counts[0];
  }
  if (!Within(L.offsets[0], L.readBytes, fileLength)) return 11;
  return 0;
}

// Header, directory, colour map and strip layout.
int ReadLayout(FILE* f, Layout& L) {
  bool bigEndian = false;
  Directory dir;
  int rc = ReadDirectory(f, bigEndian, dir);
  if (rc != 0) return rc;
  const Decoder d(bigEndian);

  if (!dir.width.present || !dir.height.present) return 5;
  if ((rc = Scalar(f, d, dir.width, &L.width)) || (rc = Scalar(f, d, dir.height, &L.height)))
    return rc;
  if (L.width == 0 || L.height == 0) return 5;
  // The image is handed over as width x height x 3 bytes counted in an int.
  if (static_cast<std::uint64_t>(L.width) * L.height * 3 > INT_MAX) return 13;

  if (dir.compression.present && (rc = Scalar(f, d, dir.compression, &L.compression))) return rc;
  if (L.compression != 1 && L.compression != kPackBits) return 7;
  if (dir.orientation.present && (rc = Scalar(f, d, dir.orientation, &L.orientation))) return rc;
  if (L.orientation != 1 && L.orientation != 4) return 14;
  if (dir.samples.present && (rc = Scalar(f, d, dir.samples, &L.samples))) return rc;
  if (!dir.photometric.present) return 8;
  if ((rc = Scalar(f, d, dir.photometric, &L.photometric))) return rc;
  std::uint32_t planarConfig = 1;
  if (dir.planar.present && (rc = Scalar(f, d, dir.planar, &planarConfig))) return rc;

  if ((rc = ReadSampleFormat(f, d, dir, planarConfig, L))) return rc;
  return ReadStrips(f, d, dir, L);
}

// Widens the samples at the start of `pixels` to 3 bytes per pixel, from the
// end backwards so that no sample is overwritten before it is read.
void Expand(const Layout& L, unsigned char* pixels) {
  const unsigned long w = L.width, h = L.height;
  for (unsigned long y = h; y-- > 0;) {
    for (unsigned long x = w; x-- > 0;) {
      const unsigned long p = y * w + x;
      unsigned char* out = pixels + 3 * p;
      if (L.palette) {
        const unsigned index = pixels[p];
        for (int c = 0; c < 3; ++c)
          out[c] = static_cast<unsigned char>(static_cast<double>(L.colorMap[c * 256 + index]) *
                                              255.0 / 65535.0);
      } else if (L.grey) {
        const unsigned char v = pixels[p];
        out[0] = out[1] = out[2] = L.photometric == 0 ? static_cast<unsigned char>(255 - v) : v;
      } else {
        const bool bit = (pixels[y * L.rowBytes + x / 8] >> (7 - x % 8)) & 1;
        const unsigned char v = (bit == (L.photometric == 1)) ? 255 : 0;
        out[0] = out[1] = out[2] = v;
      }
    }
  }
}

}  // namespace

int tiffr(const char* path, long mode, long* size, long* type, char* pixels) {
  if (mode != 1 && mode != 2) return 4;
  if (!path || !size || !type || (mode == 2 && !pixels)) return 4;
  FILE* f = std::fopen(path, "rb");
  if (!f) return 12;
  FileCloser closer(f);

  Layout L;
  int rc = ReadLayout(f, L);
  if (rc != 0) return rc;

  long layoutType =
      (L.planar ? TIFF_PLANAR : TIFF_CHUNKY) + (L.orientation == 4 ? TIFF_BOTTOM_UP : 0);
  if (mode == 2) {
    // The buffer was sized from a first read: the file must not have changed.
    if (size[0] != static_cast<long>(L.width) || size[1] != static_cast<long>(L.height)) return 13;
    unsigned char* out = reinterpret_cast<unsigned char*>(pixels);
    const unsigned long plane = static_cast<unsigned long>(L.width) * L.height;
    if (L.planar) {
      for (int i = 0; i < 3; ++i)
        if (tifflec(f, L.offsets[i], plane, pixels + i * plane) != 0) return 11;
    } else if (L.compression == 1) {
      if (tifflec(f, L.offsets[0], L.readBytes, pixels) != 0) return 11;
    } else {
      std::vector<unsigned char> packed(L.readBytes);
      if (tifflec(f, L.offsets[0], L.readBytes, reinterpret_cast<char*>(packed.data())) != 0)
        return 11;
      long rows = static_cast<long>(L.height);
      long status = 0;
      PackBitDecomp(packed.data(), static_cast<long>(packed.size()), static_cast<long>(L.rowBytes),
                    &rows, out, &status);
      if (status != 0 || rows != static_cast<long>(L.height)) return 18;
    }
    if (!L.planar && (L.palette || L.grey || L.bilevel)) Expand(L, out);
  }
  if ((rc = closer.Close()) != 0) return rc;
  size[0] = static_cast<long>(L.width);
  size[1] = static_cast<long>(L.height);
  *type = layoutType;
  return 0;
}

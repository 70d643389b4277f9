#include "ReadRGBFile.h"

#include "DecodeRGBRow.h"
#include "tifflec.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// SGI image files are big-endian whatever the host.
std::uint32_t Big16(const unsigned char* p) {
  return (static_cast<std::uint32_t>(p[0]) << 8) | p[1];
}
std::uint32_t Big32(const unsigned char* p) {
  return (Big16(p) << 16) | Big16(p + 2);
}

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

struct Header {
  unsigned storage = 0;
  unsigned long width = 0, height = 0, channels = 0;
};

unsigned long FileLength(FILE* f) {
  if (std::fseek(f, 0, SEEK_END) != 0) return 0;
  const long n = std::ftell(f);
  return n < 0 ? 0 : static_cast<unsigned long>(n);
}

int ReadHeader(FILE* f, Header& h) {
  unsigned char raw[12];
  if (std::fread(raw, 1, 12, f) != 12) return 11;
  h.storage = raw[2];
  h.width = Big16(raw + 6);
  h.height = Big16(raw + 8);
  h.channels = Big16(raw + 10);
  if (h.storage > 1 || h.width == 0 || h.height == 0) return 5;
  if (raw[3] != 1 || h.channels < 3) return 6;
  if (static_cast<std::uint64_t>(h.width) * h.height * 3 > INT_MAX) return 13;
  // The data the first three channels need must be in the file before any
  // buffer is sized from the header.
  const unsigned long length = FileLength(f);
  const std::uint64_t needed = h.storage == 0
                                   ? 512 + 3ull * h.width * h.height
                                   : 512 + 4ull * h.height * h.channels + 12ull * h.height;
  if (needed > length) return 11;
  return 0;
}

}  // namespace

int ReadRGBFile(const char* path, long mode, long* size, unsigned char* pixels) {
  if (!path || !size || (mode != 1 && mode != 2) || (mode == 2 && !pixels)) return 4;
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path, "rb"));
  if (!file) return 12;
  FILE* f = file.get();
  Header h;
  int rc = ReadHeader(f, h);
  if (rc != 0) return rc;
  if (mode == 1) {
    size[0] = static_cast<long>(h.width);
    size[1] = static_cast<long>(h.height);
    return 0;
  }
  if (size[0] != static_cast<long>(h.width) || size[1] != static_cast<long>(h.height)) return 13;

  const unsigned long w = h.width, rows = h.height;
  std::vector<unsigned char> row(w);
  std::vector<std::uint32_t> starts, lengths;
  std::vector<unsigned char> packed;
  if (h.storage == 1) {
    // Only the entries of the first three channels, r + c x height, are used.
    const unsigned long n = 3 * rows;
    std::vector<unsigned char> table(4 * n);
    starts.resize(n);
    lengths.resize(n);
    if (tifflec(f, 512, 4 * n, reinterpret_cast<char*>(table.data())) != 0) return 11;
    for (unsigned long i = 0; i < n; ++i) starts[i] = Big32(&table[4 * i]);
    if (tifflec(f, 512 + 4 * rows * h.channels, 4 * n, reinterpret_cast<char*>(table.data())) != 0)
      return 11;
    for (unsigned long i = 0; i < n; ++i) lengths[i] = Big32(&table[4 * i]);
    // Any encoder's row fits: at worst two bytes a pixel (runs of one) and the end.
    packed.resize(2 * w + 2);
  }
  for (unsigned long r = 0; r < rows; ++r) {
    for (unsigned long c = 0; c < 3; ++c) {
      const unsigned long index = r + c * rows;
      if (h.storage == 0) {
        if (tifflec(f, 512 + index * w, w, reinterpret_cast<char*>(row.data())) != 0) return 11;
      } else {
        // Bytes past what a row can use are never read.
        const unsigned long length = lengths[index] < packed.size()
                                         ? lengths[index]
                                         : static_cast<unsigned long>(packed.size());
        if (tifflec(f, starts[index], length, reinterpret_cast<char*>(packed.data())) != 0)
          return 11;
        if (DecodeRGBRow(packed.data(), static_cast<long>(length), row.data(),
                         static_cast<long>(w)) != static_cast<long>(w))
          return 13;
      }
      unsigned char* out = pixels + 3 * r * w + c;
      for (unsigned long x = 0; x < w; ++x) out[3 * x] = row[x];
    }
  }
  return 0;
}

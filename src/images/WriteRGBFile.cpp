#include "WriteRGBFile.h"

#include "EncodeRGBRow.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

void Put16(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v >> 8);
  p[1] = static_cast<unsigned char>(v);
}

void Put32(unsigned char* p, std::uint32_t v) {
  Put16(p, v >> 16);
  Put16(p + 2, v & 0xFFFF);
}

}  // namespace

int BuildRGBFile(long* size, long storage, const unsigned char* pixels,
                 std::vector<unsigned char>& file) {
  if (!size || !pixels || (storage != 0 && storage != 1)) return 4;
  const long width = size[0], height = size[1];
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return 4;
  const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);

  file.clear();
  try {
    file.assign(storage == 0 ? 512 + 3 * w * h : 512 + 24 * h, 0);
  } catch (const std::bad_alloc&) {
    return 5;
  }
  unsigned char* header = file.data();
  Put16(header, 474);
  header[2] = static_cast<unsigned char>(storage);
  header[3] = 1;
  // Dimension 3: several channels. With 2 readers take the file for grey.
  Put16(header + 4, 3);
  Put16(header + 6, static_cast<std::uint32_t>(w));
  Put16(header + 8, static_cast<std::uint32_t>(h));
  Put16(header + 10, 3);
  Put32(header + 12, 0);
  Put32(header + 16, 255);
  std::memcpy(header + 24, "ZR", 2);

  std::vector<unsigned char> row(w);
  std::vector<unsigned char> packed(static_cast<size_t>(EncodedRGBRowMaxLength(width)));
  for (size_t c = 0; c < 3; ++c) {
    for (size_t r = 0; r < h; ++r) {
      const unsigned char* in = pixels + 3 * r * w + c;
      for (size_t x = 0; x < w; ++x) row[x] = in[3 * x];
      const size_t index = r + c * h;
      if (storage == 0) {
        std::memcpy(&file[512 + index * w], row.data(), w);
        continue;
      }
      const long n =
          EncodeRGBRow(row.data(), width, packed.data(), static_cast<long>(packed.size()));
      // Offsets are 32-bit in the format.
      if (n < 0 || file.size() > UINT32_MAX - static_cast<size_t>(n)) return 5;
      Put32(&file[512 + 4 * index], static_cast<std::uint32_t>(file.size()));
      Put32(&file[512 + 12 * h + 4 * index], static_cast<std::uint32_t>(n));
      try {
        file.insert(file.end(), packed.begin(), packed.begin() + n);
      } catch (const std::bad_alloc&) {
        return 5;
      }
    }
  }

  return 0;
}

int WriteRGBFile(const char* path, long* size, long storage, const unsigned char* pixels) {
  if (!path) return 4;
  std::vector<unsigned char> file;
  const int built = BuildRGBFile(size, storage, pixels, file);
  if (built != 0) return built;
  FILE* f = std::fopen(path, "wb");
  if (!f) return 1;
  const bool written = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  const bool closed = std::fclose(f) == 0;
  return written && closed ? 0 : 2;
}

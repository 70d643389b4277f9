#include <kel/images/tiffw.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// The writer's files are big-endian whatever the host.
void Put16(std::vector<unsigned char>& b, size_t at, std::uint32_t v) {
  b[at] = static_cast<unsigned char>(v >> 8);
  b[at + 1] = static_cast<unsigned char>(v);
}

void Put32(std::vector<unsigned char>& b, size_t at, std::uint32_t v) {
  Put16(b, at, v >> 16);
  Put16(b, at + 2, v & 0xFFFF);
}

void PutEntry(std::vector<unsigned char>& b, size_t at, std::uint16_t tag, std::uint16_t type,
              std::uint32_t count, std::uint32_t value) {
  Put16(b, at, tag);
  Put16(b, at + 2, type);
  Put32(b, at + 4, count);
  if (type == 3 && count == 1) {
    // A single SHORT sits in the first two bytes of the value field.
    Put16(b, at + 8, value);
    Put16(b, at + 10, 0);
  } else {
    Put32(b, at + 8, value);
  }
}

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;

}  // namespace

int tiffw(const char* path, long* size, long* type, char* pixels) {
  if (!path || !size || !type || !pixels) return 4;
  const long width = size[0], height = size[1];
  if (width <= 0 || height <= 0 || (*type != 1 && *type != 2)) return 4;
  const bool planar = *type == 1;
  const std::uint64_t plane =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  // Every offset and count of the file is a 32-bit LONG.
  if (plane > (UINT32_MAX - 180) / 3) return 4;
  const auto w = static_cast<std::uint32_t>(width);
  const auto h = static_cast<std::uint32_t>(height);
  const auto p = static_cast<std::uint32_t>(plane);

  std::vector<unsigned char> header(planar ? 180 : 156, 0);
  header[0] = header[1] = 'M';
  Put16(header, 2, 42);
  Put32(header, 4, 10);
  Put16(header, 10, 11);
  PutEntry(header, 12, 254, kLong, 1, 0);
  PutEntry(header, 24, 256, kLong, 1, w);
  PutEntry(header, 36, 257, kLong, 1, h);
  PutEntry(header, 48, 258, kShort, 3, 148);
  PutEntry(header, 60, 259, kShort, 1, 1);
  PutEntry(header, 72, 262, kShort, 1, 2);
  PutEntry(header, 84, 273, kLong, planar ? 3 : 1, 156);
  PutEntry(header, 96, 277, kShort, 1, 3);
  PutEntry(header, 108, 278, kLong, 1, h);
  PutEntry(header, 120, 279, kLong, planar ? 3 : 1, planar ? 168 : 3 * p);
  PutEntry(header, 132, 284, kShort, 1, planar ? 2 : 1);
  Put32(header, 144, 0);
  Put16(header, 148, 8);
  Put16(header, 150, 8);
  Put16(header, 152, 8);
  if (planar) {
    Put32(header, 156, 180);
    Put32(header, 160, 180 + p);
    Put32(header, 164, 180 + 2 * p);
    Put32(header, 168, p);
    Put32(header, 172, p);
    Put32(header, 176, p);
  }

  FILE* f = std::fopen(path, "wb");
  if (!f) return 1;
  int rc = 0;
  if (std::fwrite(header.data(), 1, header.size(), f) != header.size()) rc = 3;
  std::uint64_t left = 3 * plane;
  const char* from = pixels;
  while (rc == 0 && left > 0) {
    const size_t piece = left < 512 ? static_cast<size_t>(left) : 512;
    if (std::fwrite(from, 1, piece, f) != piece) rc = 3;
    from += piece;
    left -= piece;
  }
  if (std::fclose(f) != 0 && rc == 0) rc = 2;
  return rc;
}

#include "KelMarshalBuffer.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace kelmarsh {

namespace {

std::uint32_t Crc(const unsigned char* data, std::size_t size, uLong crc = crc32(0L, Z_NULL, 0)) {
  // crc32 takes an unsigned int length.
  while (size > 0) {
    const uInt n = size > (1u << 30) ? (1u << 30) : static_cast<uInt>(size);
    crc = crc32(crc, data, n);
    data += n;
    size -= n;
  }
  return static_cast<std::uint32_t>(crc);
}

int Refuse(const char* operation, const std::string& path, const char* reason) {
  std::cerr << operation << ": " << path << ": " << reason << std::endl;
  return 1;
}

}  // namespace

int WriteFile(const std::string& path, const KelMarshal& payload, const char header[8]) {
  KelMarshal file;
  file.WriteBytes(kMagic, sizeof kMagic);
  file.WriteUnsignedInt(kVersion);
  char text[8];
  std::memcpy(text, header, 8);
  text[7] = '\0';
  file.WriteBytes(text, 8);
  file.WriteUnsignedLong(payload.GetSize());
  // The checksum covers what follows the magic: version, header text, length
  // and payload.
  const std::uint32_t head = Crc(file.GetData() + 8, file.GetSize() - 8);
  file.WriteUnsignedInt(Crc(payload.GetData(), payload.GetSize(), head));
  file.WriteBytes(payload.GetData(), payload.GetSize());
  if (file.GetError()) return Refuse("FlushMarshalling", path, "cannot build the file");

  const std::string temporary = path + ".tmp";
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return Refuse("FlushMarshalling", path, std::strerror(errno));
  const bool written = std::fwrite(file.GetData(), 1, file.GetSize(), f) == file.GetSize();
  const int saved = errno;
  if (std::fclose(f) != 0 || !written) {
    std::remove(temporary.c_str());
    return Refuse("FlushMarshalling", path, std::strerror(written ? errno : saved));
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int why = errno;
    std::remove(temporary.c_str());
    return Refuse("FlushMarshalling", path, std::strerror(why));
  }
  return 0;
}

int CheckBytes(const unsigned char* data, std::size_t size, const char* name, KelMarshal& out) {
  const std::string path = name ? name : "";
  if (size < kHeaderSize) return Refuse("OpenMarshalBuffer", path, "truncated header");
  if (std::memcmp(data, kMagic, sizeof kMagic) != 0)
    return Refuse("OpenMarshalBuffer", path, "not a saved Rep file");
  KelMarshal header(data + 8, kHeaderSize - 8);
  unsigned int version = 0, crc = 0;
  unsigned long length = 0;
  char text[8];
  header.ReadUnsignedInt(version);
  header.ReadBytes(text, 8);
  header.ReadUnsignedLong(length);
  header.ReadUnsignedInt(crc);
  if (version == 0 || version > kVersion)
    return Refuse("OpenMarshalBuffer", path, "written by a newer version");
  if (text[7] != '\0') return Refuse("OpenMarshalBuffer", path, "damaged header");
  if (length != size - kHeaderSize) return Refuse("OpenMarshalBuffer", path, "truncated or padded");
  if (Crc(data + kHeaderSize, length, Crc(data + 8, kHeaderSize - 12)) != crc)
    return Refuse("OpenMarshalBuffer", path, "damaged (checksum)");
  // A memory stream reads back what was written to it, from the start.
  out.Close();
  out.WriteBytes(data + kHeaderSize, length);
  return 0;
}

int ReadFile(const std::string& path, KelMarshal& out) {
  KelMarshal file;
  if (file.Open(path.c_str(), "rb") != 0)
    return Refuse("OpenMarshalBuffer", path, std::strerror(errno));
  return CheckBytes(file.GetData(), file.GetSize(), path.c_str(), out);
}

}  // namespace kelmarsh

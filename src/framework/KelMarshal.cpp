#include <kel/framework/KelMarshal.h>

#include <cerrno>
#include <cstring>

KelMarshal::KelMarshal(ByteOrder order) : _order(order) {}

KelMarshal::KelMarshal(const void* data, std::size_t size, ByteOrder order) : _order(order) {
  if (data && size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    _bytes.assign(bytes, bytes + size);
  }
}

KelMarshal::~KelMarshal() {
  Close();
}

int KelMarshal::Open(const char* path, const char* mode) {
  Close();
  const bool reading = mode && std::strcmp(mode, "rb") == 0;
  const bool writing = mode && std::strcmp(mode, "wb") == 0;
  if (!path || (!reading && !writing)) return Fail(FileError);
  std::FILE* file = std::fopen(path, mode);
  if (!file) return Fail(FileError);
  if (writing) {
    _file = file;
    return 0;
  }
  // Read to the end rather than trust a size: the file may not be a regular one.
  unsigned char chunk[65536];
  std::size_t n;
  while (_bytes.size() <= MaxFileSize && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    _bytes.insert(_bytes.end(), chunk, chunk + n);
  const bool tooLong = _bytes.size() > MaxFileSize;
  const bool failed = tooLong || std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    if (tooLong) errno = EFBIG;
    _bytes.clear();
    _bytes.shrink_to_fit();
    return Fail(FileError);
  }
  return 0;
}

int KelMarshal::Flush() {
  if (!_file) return _error == FileError;
  if (_error) return 1;
  if (!_bytes.empty() && std::fwrite(_bytes.data(), 1, _bytes.size(), _file) != _bytes.size())
    return Fail(FileError);
  _bytes.clear();
  _position = 0;
  if (std::fflush(_file) != 0) return Fail(FileError);
  return 0;
}

int KelMarshal::Close() {
  int failed = 0;
  if (_file) {
    failed = Flush();
    if (std::fclose(_file) != 0) failed = 1;
    _file = nullptr;
  }
  _bytes.clear();
  _bytes.shrink_to_fit();
  _position = 0;
  _error = NoError;
  return failed;
}

int KelMarshal::Fail(Error error) {
  if (_error == NoError) _error = error;
  return 1;
}

int KelMarshal::Put(std::uint64_t value, int width) {
  if (_error) return 1;
  unsigned char bytes[8];
  for (int i = 0; i < width; ++i) {
    const int shift = 8 * (_order == BigEndian ? width - 1 - i : i);
    bytes[i] = static_cast<unsigned char>(value >> shift);
  }
  _bytes.insert(_bytes.end(), bytes, bytes + width);
  return 0;
}

int KelMarshal::Take(std::size_t size, const unsigned char*& bytes) {
  bytes = nullptr;
  if (_error) return 1;
  if (_file) return Fail(FileError);
  if (size > GetRemaining()) return Fail(PastEnd);
  bytes = _bytes.data() + _position;
  _position += size;
  return 0;
}

int KelMarshal::Get(std::uint64_t& value, int width) {
  value = 0;
  const unsigned char* bytes;
  if (Take(static_cast<std::size_t>(width), bytes)) return 1;
  for (int i = 0; i < width; ++i) {
    const int shift = 8 * (_order == BigEndian ? width - 1 - i : i);
    value |= static_cast<std::uint64_t>(bytes[i]) << shift;
  }
  return 0;
}

int KelMarshal::WriteBytes(const void* data, std::size_t size) {
  if (_error) return 1;
  if (size && !data) return Fail(Malformed);
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  if (size) _bytes.insert(_bytes.end(), bytes, bytes + size);
  return 0;
}

int KelMarshal::WriteBlock(const void* data, std::size_t size) {
  if (size > UINT32_MAX) return Fail(Malformed);
  return Put(size, 4) || WriteBytes(data, size);
}

int KelMarshal::WriteInt(int value) {
  return Put(static_cast<std::uint32_t>(value), 4);
}

int KelMarshal::WriteUnsignedInt(unsigned int value) {
  return Put(value, 4);
}

int KelMarshal::WriteUnsignedLong(unsigned long value) {
  return Put(value, 8);
}

int KelMarshal::WriteFloat(float value) {
  std::uint32_t bits;
  static_assert(sizeof bits == sizeof value, "float must be IEEE 754 single");
  std::memcpy(&bits, &value, sizeof bits);
  return Put(bits, 4);
}

int KelMarshal::WriteDouble(double value) {
  std::uint64_t bits;
  static_assert(sizeof bits == sizeof value, "double must be IEEE 754 double");
  std::memcpy(&bits, &value, sizeof bits);
  return Put(bits, 8);
}

int KelMarshal::WriteString(const char* text) {
  if (!text) text = "";
  return WriteBlock(text, std::strlen(text) + 1);
}

int KelMarshal::ReadBytes(void* data, std::size_t size) {
  if (size && !data) return Fail(Malformed);
  const unsigned char* bytes;
  if (Take(size, bytes)) {
    if (size) std::memset(data, 0, size);
    return 1;
  }
  if (size) std::memcpy(data, bytes, size);
  return 0;
}

int KelMarshal::Skip(std::size_t size) {
  const unsigned char* bytes;
  return Take(size, bytes);
}

int KelMarshal::ReadBlock(std::vector<unsigned char>& data) {
  data.clear();
  std::uint64_t size;
  if (Get(size, 4)) return 1;
  const unsigned char* bytes;
  if (Take(static_cast<std::size_t>(size), bytes)) return 1;
  if (size) data.assign(bytes, bytes + size);
  return 0;
}

int KelMarshal::ReadInt(int& value) {
  std::uint64_t bits;
  const int failed = Get(bits, 4);
  value = static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
  return failed;
}

int KelMarshal::ReadUnsignedInt(unsigned int& value) {
  std::uint64_t bits;
  const int failed = Get(bits, 4);
  value = static_cast<unsigned int>(bits);
  return failed;
}

int KelMarshal::ReadUnsignedLong(unsigned long& value) {
  std::uint64_t bits;
  value = 0;
  if (Get(bits, 8)) return 1;
  // Only where unsigned long is narrower than the stream's 8 bytes.
  if (static_cast<std::uint64_t>(static_cast<unsigned long>(bits)) != bits) return Fail(Malformed);
  value = static_cast<unsigned long>(bits);
  return 0;
}

int KelMarshal::ReadFloat(float& value) {
  std::uint64_t bits;
  const int failed = Get(bits, 4);
  const std::uint32_t word = static_cast<std::uint32_t>(bits);
  std::memcpy(&value, &word, sizeof value);
  return failed;
}

int KelMarshal::ReadDouble(double& value) {
  std::uint64_t bits;
  const int failed = Get(bits, 8);
  std::memcpy(&value, &bits, sizeof value);
  return failed;
}

int KelMarshal::ReadString(std::string& text) {
  text.clear();
  std::uint64_t size;
  if (Get(size, 4)) return 1;
  // The length counts the final zero, so an empty block is no string.
  if (size == 0) return Fail(Malformed);
  if (size > GetRemaining()) return Fail(PastEnd);
  const char* chars = reinterpret_cast<const char*>(_bytes.data() + _position);
  const std::size_t length = static_cast<std::size_t>(size) - 1;
  if (chars[length] != '\0' || std::memchr(chars, '\0', length)) return Fail(Malformed);
  _position += static_cast<std::size_t>(size);
  text.assign(chars, length);
  return 0;
}

// A typed byte stream: what the record and replay service writes a session
// with, and what the marshalling library writes Rep graphs with.
//
// Values have fixed widths whatever the platform: int and unsigned int 4 bytes
// (two's complement), unsigned long 8 bytes, float and double their IEEE 754
// single and double bit patterns (4 and 8 bytes), all in the stream's byte
// order. A block is its length (unsigned int) then its bytes; a string is a
// block holding its characters and the final zero.
//
// The stream lives in memory. Open(path, "rb") reads a whole file into it;
// Open(path, "wb") makes a write-only stream whose bytes go to the file at
// Flush and Close.
//
// What is read is outside data: every read is checked against what remains
// before anything is allocated or copied. A read that fails leaves its output
// zero or empty and puts the stream in an error state that stays (every later
// read or write fails too), so a caller may read a whole record and test
// GetError() once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class KelMarshal {
 public:
  enum ByteOrder { BigEndian = 0, LittleEndian = 1 };
  // The first failure of the stream.
  enum Error {
    NoError = 0,
    PastEnd = 1,    // a read wanted more than remains
    Malformed = 2,  // a string without its final zero or with a zero inside, a block too long
    FileError = 3,  // a file could not be opened, read or written, or a write-only stream was read
  };

  static const std::size_t MaxFileSize = std::size_t(1) << 32;

  // An empty stream; what is written can be read back from the start.
  explicit KelMarshal(ByteOrder order = BigEndian);
  // A stream holding a copy of `size` bytes, read from the start.
  KelMarshal(const void* data, std::size_t size, ByteOrder order = BigEndian);
  ~KelMarshal();
  KelMarshal(const KelMarshal&) = delete;
  KelMarshal& operator=(const KelMarshal&) = delete;

  // Mode "rb" or "wb". Replaces what the stream held and clears its error.
  // Answers 0, or 1 with the FileError state (errno tells why). A file read
  // stops at MaxFileSize: a longer one (or an endless device) is refused.
  int Open(const char* path, const char* mode);
  // Writes what was written since the last flush to the file. Answers 0, or 1
  // with the FileError state. Nothing to do for a memory stream.
  int Flush();
  // Flushes and closes any file, then empties the stream and clears its error.
  // Answers 1 when the flush failed.
  int Close();

  ByteOrder GetByteOrder() const { return _order; }
  void SetByteOrder(ByteOrder order) { _order = order; }
  int GetError() const { return _error; }

  // Writes answer 0, or 1 when the stream is in error.
  int WriteBytes(const void* data, std::size_t size);  // raw, no length
  int WriteBlock(const void* data, std::size_t size);  // length, then the bytes
  int WriteInt(int value);
  int WriteUnsignedInt(unsigned int value);
  int WriteUnsignedLong(unsigned long value);
  int WriteFloat(float value);
  int WriteDouble(double value);
  int WriteString(const char* text);  // a null text is written as ""

  // Reads answer 0, or 1 when they fail or the stream is in error.
  int ReadBytes(void* data, std::size_t size);
  int ReadBlock(std::vector<unsigned char>& data);
  int ReadInt(int& value);
  int ReadUnsignedInt(unsigned int& value);
  int ReadUnsignedLong(unsigned long& value);
  int ReadFloat(float& value);
  int ReadDouble(double& value);
  int ReadString(std::string& text);
  // Passes over `size` bytes.
  int Skip(std::size_t size);

  // The bytes held (for a write-only file stream: those not yet flushed), the
  // read position among them, and how many remain to be read.
  const unsigned char* GetData() const { return _bytes.data(); }
  std::size_t GetSize() const { return _bytes.size(); }
  std::size_t GetPosition() const { return _position; }
  std::size_t GetRemaining() const { return _bytes.size() - _position; }

 private:
  int Fail(Error error);
  int Put(std::uint64_t value, int width);
  int Get(std::uint64_t& value, int width);
  // Points `bytes` at the next `size` bytes and passes over them; answers 1
  // (and sets the error) when they are not there.
  int Take(std::size_t size, const unsigned char*& bytes);

  std::vector<unsigned char> _bytes;
  std::size_t _position = 0;
  ByteOrder _order;
  Error _error = NoError;
  std::FILE* _file = nullptr;
};

// The marshalling (what a save writes into) and the marshal buffer (a file
// being written, or a file read whole and checked), as the entry points of
// libGR7MARSH.so hand them out. The file layout is in docs/marshalling.md.
#pragma once

#include <kel/framework/KelMarshal.h>

#include <cstdint>
#include <string>

// What a save writes: the payload of a file, before its header.
struct KelMarshalling {
  KelMarshal payload;
};

struct KelMarshalBuffer {
  std::string path;
  bool writing = false;
  // Reading: the checked payload; writing: unused.
  KelMarshal payload;
};

namespace kelmarsh {

constexpr char kMagic[8] = {'K', 'E', 'L', 'M', 'A', 'R', 'S', 'H'};
constexpr std::uint32_t kVersion = 1;
// magic, version, the 8-byte header text, payload length, CRC-32 of the payload.
constexpr std::size_t kHeaderSize = 8 + 4 + 8 + 8 + 4;

// Writes `payload` under a file header to `path`, through a temporary file
// renamed over it, so that a failed save leaves the old file as it was.
// Answers 0, or 1 with a message naming the file and the reason.
int WriteFile(const std::string& path, const KelMarshal& payload, const char header[8]);
// Reads and checks `path`; answers 0 with the payload in `out`, or 1 with a
// message naming the file and the reason.
int ReadFile(const std::string& path, KelMarshal& out);
// The same checks on bytes in memory (`name` for the messages).
int CheckBytes(const unsigned char* data, std::size_t size, const char* name, KelMarshal& out);

}  // namespace kelmarsh

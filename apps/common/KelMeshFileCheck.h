// What a mesh file's header announces, checked before a reader allocates for
// it: the element counts of PLY and OFF headers and the triangle count of a
// binary STL against the bytes the file holds and against the limits. A file
// that claims 10^9 vertices in a few bytes is refused at once instead of
// costing gigabytes.
#pragma once

#include "KelMeshLimits.h"

#include <string>

class KelMeshFileCheck {
 public:
  // Reads at most HEADER_BYTES of the file. True when the file may be read;
  // false with a message in `error` (not naming the file). Files of other
  // formats pass.
  static bool CheckHeader(const std::string& path, const KelMeshLimits& limits, std::string& error);

  static constexpr size_t HEADER_BYTES = 65536;

  // The same on a header already read: `head` is the file's beginning,
  // `fileSize` its whole size, `extension` in lower case without the dot.
  static bool CheckHeader(const std::string& head, unsigned long long fileSize,
                          const std::string& extension, const KelMeshLimits& limits,
                          std::string& error);
};

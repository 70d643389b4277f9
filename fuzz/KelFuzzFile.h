// The readers under fuzzing take file names: each input is written to one
// in-memory file per process and read back by its name.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Writes the input to the process's in-memory file and answers its name, or
// an empty string when it cannot be written.
inline std::string KelFuzzFile(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("kel_fuzz_input", 0);
  if (fd < 0) return std::string();
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return std::string();
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  return path;
}

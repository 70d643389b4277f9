// Feeds arbitrary bytes to the TIFF reader through an in-memory file.
#include <kel/images/ReadTIFFPixelImage.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>

namespace {

std::string MemoryFile() {
  static int fd = -1;
  if (fd < 0) fd = memfd_create("kel_fuzz_tiff", 0);
  return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The reader reports every refusal; keep the fuzzer's output readable.
  std::cerr.setstate(std::ios::badbit);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = MemoryFile();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  KelPixelImage* image = ReadTIFFPixelImage(path.c_str(), ReadWrite);
  delete image;
  return 0;
}

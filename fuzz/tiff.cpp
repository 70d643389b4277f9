// Feeds arbitrary bytes to the TIFF reader through an in-memory file.
#include <kel/images/ReadTIFFPixelImage.h>

#include "KelFuzzFile.h"

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The reader reports every refusal; keep the fuzzer's output readable.
  std::cerr.setstate(std::ios::badbit);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = KelFuzzFile(data, size);
  if (path.empty()) return 0;
  KelPixelImage* image = ReadTIFFPixelImage(path.c_str(), ReadWrite);
  delete image;
  return 0;
}

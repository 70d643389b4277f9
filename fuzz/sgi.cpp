// Feeds arbitrary bytes to the SGI image file reader through an in-memory
// file, and to the run-length row decoder directly.
#include <kel/images/ReadRGBPixelImage.h>

#include "DecodeRGBRow.h"
#include "EncodeRGBRow.h"
#include "KelFuzzFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::cerr.setstate(std::ios::badbit);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = KelFuzzFile(data, size);
  if (path.empty()) return 0;
  delete ReadRGBPixelImage(path.c_str(), ReadWrite);

  // A row decoded from the bytes must encode and decode back to itself.
  if (size < 1) return 0;
  const long width = 1 + data[0];
  std::vector<unsigned char> row(static_cast<size_t>(width));
  const long n = DecodeRGBRow(data + 1, static_cast<long>(size - 1), row.data(), width);
  if (n < 0) return 0;
  std::vector<unsigned char> packed(static_cast<size_t>(EncodedRGBRowMaxLength(n)));
  const long length = EncodeRGBRow(row.data(), n, packed.data(), static_cast<long>(packed.size()));
  std::vector<unsigned char> back(static_cast<size_t>(n) + 1);
  if (length < 0 || DecodeRGBRow(packed.data(), length, back.data(), n) != n ||
      std::memcmp(back.data(), row.data(), static_cast<size_t>(n)) != 0)
    std::abort();
  return 0;
}

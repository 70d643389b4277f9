// Picture files: the header and pixel readers, ReadPicturePixelImage, and the
// block decoder alone on raw bytes.
#include <kel/images/ReadPicturePixelImage.h>
#include <kel/images/ripicrdt.h>
#include <kel/images/ripicrhd.h>

#include "KelFuzzFile.h"
#include "ripicunc.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void ReadFile(const std::string& path) {
  int code = 0, size[2] = {};
  if (ripicrhd(path.c_str(), &code, size) == 0 && size[0] > 0 && size[1] > 0 &&
      1LL * size[0] * size[1] <= (1 << 22)) {
    std::vector<unsigned char> planes(3 * static_cast<size_t>(size[0]) * size[1]);
    int origin[2] = {1, 1};
    ripicrdt(path.c_str(), &code, origin, size, planes.data());
    // A window in the middle, reaching the last line.
    origin[0] = (size[0] + 1) / 2;
    origin[1] = (size[1] + 1) / 2;
    int window[2] = {size[0] - origin[0] + 1, size[1] - origin[1] + 1};
    ripicrdt(path.c_str(), &code, origin, window, planes.data());
  }
  delete ReadPicturePixelImage(path.c_str(), ReadOnly);
}

// The first six bytes choose algorithm, sample size, width and window; the rest
// is the block.
void DecodeBlock(const uint8_t* data, size_t size) {
  if (size < 6) return;
  int algorithm = data[0] % 10;
  int sample = 1 + data[1] % 2;
  int width = 1 + data[2] * 4;
  const int c1 = 1 + data[3] % width;
  const int c2 = c1 + (data[4] * 7) % (width - c1 + 1);
  const int l1 = 1 + data[5] % 8;
  const int l2 = l1 + data[5] / 32;
  int window[4] = {c1, c2, l1, l2};
  int length = static_cast<int>(size - 6);
  std::vector<char> block(data + 6, data + size);
  std::vector<unsigned char> out(static_cast<size_t>(c2 - c1 + 1) * (l2 - l1 + 1) * sample);
  ripicunc(&algorithm, &width, window, &sample, block.data(), &length, out.data());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The routines print their messages on the standard output.
  if (!std::freopen("/dev/null", "w", stdout)) return 0;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = KelFuzzFile(data, size);
  if (!path.empty()) ReadFile(path);
  DecodeBlock(data, size);
  return 0;
}

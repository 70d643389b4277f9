#include <kel/images/ripicrdt.h>

#include <kel/images/ripiccod.h>
#include <kel/images/ripicdbg.h>
#include <kel/images/ripicpre.h>
#include <kel/images/ripicrec.h>
#include <kel/images/ripicunc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

int ReadFailure() {
  std::printf(" Mirka_picture : error in reading internal blocs \n ");
  return -1;
}

int SizeFailure() {
  std::printf("Mirka_picture : imcompatible pixel size  argument \n");
  return -11;
}

// Colour table of a one-component image, full for its sample size so that any
// index in the file lands in it; colours the file does not give stay black.
int ReadColourTable(FILE* file, int colours, int bits, std::vector<unsigned char>& rgb) {
  const int full = bits == 16 ? 65536 : 256;
  rgb.assign(static_cast<size_t>(full) * 3, 0);
  int length = 0;
  if (colours < 0 || ripic_read_item_length(file, &length) != 0) return -1;
  if (length > 4LL * colours) std::printf(" Mirka_picture : incoherence in color table \n");
  const int stored = std::min({colours, full, length / 4});
  std::vector<unsigned char> table(static_cast<size_t>(stored) * 4);
  if (ripic_read_item_body(file, table.data(), length, stored * 4) != 0) return -1;
  // Red in the lowest byte of each big-endian entry, then green, then blue.
  for (int i = 0; i < stored; ++i) {
    rgb[3 * i] = table[4 * i + 3];
    rgb[3 * i + 1] = table[4 * i + 2];
    rgb[3 * i + 2] = table[4 * i + 1];
  }
  return 0;
}

}  // namespace

int ripicrdt(const char* path, int* imageCode, int* origin, int* size, unsigned char* pixels) {
  const bool trace = ripicdbg();
  if (trace) std::printf("***********ripicrdt ******************* \n");
  std::unique_ptr<FILE, FileCloser> file(path ? std::fopen(path, "rb") : nullptr);
  if (!file) {
    std::printf(" Mirka_picture : unable to open file   \n ");
    return -5;
  }
  if (!imageCode || *imageCode != 1) {
    std::printf("Mirka_picture : image code not supported  \n");
    return -5;
  }
  int descriptions = 0;
  if (ripicpre(file.get(), &descriptions) != 0) return ReadFailure();

  bool found = false;
  for (long long d = 0; d < descriptions && !found; ++d) {
    unsigned char description[12];
    if (ripic_read_fixed_item(file.get(), description, 12) != 0) return ReadFailure();
    found = ripic_get16(description) == 0 && ripic_get16(description + 2) == 1;
    if (!found && ripic_skip_items(file.get(), ripic_get32(description + 4)) != 0)
      return ReadFailure();
  }
  if (!found) {
    std::printf(" Mirka_picture : no pixel descritpion found   \n ");
    return -4;
  }

  unsigned char raw[36];
  if (ripic_read_fixed_item(file.get(), raw, 36) != 0) return ReadFailure();
  int header[9];
  for (int i = 0; i < 9; ++i) header[i] = ripic_get32(raw + 4 * i);
  const int width = header[0], height = header[1], blocks = header[4], colours = header[8];
  int organisation[4] = {}, compressed = 0, algorithm = 0, status = 0;
  if (ripiccod(0, &header[3], organisation, &compressed, &algorithm, &status) != 0) {
    std::printf(" Mirka_picture : error in decoding compression informations \n ");
    return -2;
  }
  if (trace)
    std::printf("ripicrdt: width %d height %d code %d blocks %d largest %d colours %d\n", width,
                height, header[3], blocks, header[5], colours);
  if (width < 1 || width > kRipicMaxWidth || height < 1) return SizeFailure();

  // Origin counted from 1: column 0 or line 0 would index the line before the image.
  if (!origin || origin[0] < 1 || origin[0] > width || origin[1] < 1 || origin[1] > height) {
    std::printf("Mirka_picture : imcompatible pixel origin  argument \n");
    return -10;
  }
  if (!size || !pixels) return SizeFailure();
  const int column = origin[0], line = origin[1];
  const int wanted = size[0], wantedLines = size[1];
  if (wanted < 1 || wantedLines < 1 || wanted > width - column + 1 ||
      wantedLines > height - line + 1)
    return SizeFailure();

  const int components = organisation[0];
  const int sample = organisation[1] == 16 ? 2 : 1;
  std::vector<unsigned char> rgb;
  if (components == 1) {
    if (ReadColourTable(file.get(), colours, organisation[1], rgb) != 0) return ReadFailure();
  } else if (colours != 0 && ripic_skip_items(file.get(), 2) != 0) {
    return ReadFailure();
  }

  const int lines = std::min(kRipicMaxWidth / width, height);
  if (blocks != (height - 1) / lines + 1) return ReadFailure();
  const int first = (line - 1) / lines + 1;
  const int last = (line + wantedLines - 2) / lines + 1;
  const size_t plane = static_cast<size_t>(wanted) * wantedLines;
  std::memset(pixels, 0, 3 * plane);

  // No block may be longer than a raw one, whatever the header claims.
  const int largest = std::min(header[5], sample * width * lines);
  if (largest < 1) return ReadFailure();
  std::vector<char> block(static_cast<size_t>(largest));
  std::vector<unsigned char> indices;
  if (components == 1) indices.resize(static_cast<size_t>(wanted) * lines * sample);

  for (int component = 0; component < components; ++component) {
    if (ripic_skip_items(file.get(), first - 1) != 0) return ReadFailure();
    for (int k = first; k <= last; ++k) {
      int length = 0;
      if (ripic_read_item_length(file.get(), &length) != 0 || length > largest ||
          ripic_read_item_body(file.get(), block.data(), length, length) != 0)
        return ReadFailure();
      const int top = (k - 1) * lines;  // lines above the block
      const int n = std::min(lines, height - top);
      // A block not shorter than its raw size was stored raw; a raw block
      // holds all its lines, even those outside the window.
      const long long rawSize = 1LL * sample * width * n;
      int blockAlgorithm = algorithm;
      if (algorithm >= 6 && length >= rawSize) blockAlgorithm = 0;
      const bool shortRaw = blockAlgorithm == 0 && length < rawSize;
      const int from = std::max(line, top + 1);
      const int to = std::min(line + wantedLines - 1, top + n);
      int window[4] = {column, column + wanted - 1, from - top, to - top};
      int w = width, bytes = sample;
      unsigned char* target =
          components == 3 ? pixels + component * plane + static_cast<size_t>(from - line) * wanted
                          : indices.data();
      if (trace)
        std::printf("ripicrdt: component %d block %d lines %d-%d %d bytes algorithm %d\n",
                    component + 1, k, from, to, length, blockAlgorithm);
      if (shortRaw ||
          ripicunc(&blockAlgorithm, &w, window, &bytes, block.data(), &length, target) != 0) {
        std::printf(" Mirka_picture : uncompressed bloc failed  \n ");
        return -3;
      }
      if (components == 1) {
        const size_t count = static_cast<size_t>(wanted) * (to - from + 1);
        const size_t at = static_cast<size_t>(from - line) * wanted;
        for (size_t i = 0; i < count; ++i) {
          const int index = sample == 2 ? ripic_get16(&indices[2 * i]) : indices[i];
          for (int c = 0; c < 3; ++c) pixels[c * plane + at + i] = rgb[3 * index + c];
        }
      }
    }
    if (ripic_skip_items(file.get(), static_cast<long long>(blocks) - last) != 0)
      return ReadFailure();
  }
  if (trace) std::printf("ripicrdt: done\n");
  return 0;
}

#include <kel/images/ripicrdt.h>

#include "PictureRecords.h"
#include "ReadPicturePreamble.h"
#include "ripiccod.h"
#include "ripicdbg.h"
#include "ripicunc.h"

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

// The fields of the pixel description used here, and what follows from them.
struct PixelLayout {
  int width = 0, height = 0, blocks = 0, claimedLargest = 0, colours = 0;
  int components = 0, bits = 0, sample = 1, algorithm = 0;
  int lines = 0;  // image lines per block
};

// The window asked for, counted from 1.
struct Window {
  int column = 0, line = 0, width = 0, height = 0;
  size_t plane = 0;  // bytes of one output plane
};

// Passes over the descriptions before the first pixel description.
int FindPixelDescription(FILE* file, int descriptions) {
  for (long long d = 0; d < descriptions; ++d) {
    unsigned char description[12];
    if (ripic_read_fixed_item(file, description, 12) != 0) return ReadFailure();
    if (ripic_get16(description) == 0 && ripic_get16(description + 2) == 1) return 0;
    if (ripic_skip_items(file, ripic_get32(description + 4)) != 0) return ReadFailure();
  }
  std::printf(" Mirka_picture : no pixel descritpion found   \n ");
  return -4;
}

int ReadPixelLayout(FILE* file, bool trace, PixelLayout& p) {
  unsigned char raw[36];
  if (ripic_read_fixed_item(file, raw, 36) != 0) return ReadFailure();
  int header[9];
  for (int i = 0; i < 9; ++i) header[i] = ripic_get32(raw + 4 * i);
  p.width = header[0], p.height = header[1], p.blocks = header[4];
  p.claimedLargest = header[5], p.colours = header[8];
  int organisation[4] = {}, compressed = 0, status = 0;
  if (ripiccod(0, &header[3], organisation, &compressed, &p.algorithm, &status) != 0) {
    std::printf(" Mirka_picture : error in decoding compression informations \n ");
    return -2;
  }
  if (trace)
    std::printf("ripicrdt: width %d height %d code %d blocks %d largest %d colours %d\n", p.width,
                p.height, header[3], p.blocks, p.claimedLargest, p.colours);
  if (p.width < 1 || p.width > kRipicMaxWidth || p.height < 1) return SizeFailure();
  p.components = organisation[0];
  p.bits = organisation[1];
  p.sample = organisation[1] == 16 ? 2 : 1;
  p.lines = std::min(kRipicMaxWidth / p.width, p.height);
  return 0;
}

int CheckWindow(const PixelLayout& p, const int* origin, const int* size,
                const unsigned char* pixels, Window& w) {
  // Origin counted from 1: column 0 or line 0 would index the line before the image.
  if (!origin || origin[0] < 1 || origin[0] > p.width || origin[1] < 1 || origin[1] > p.height) {
    std::printf("Mirka_picture : imcompatible pixel origin  argument \n");
    return -10;
  }
  if (!size || !pixels) return SizeFailure();
  w.column = origin[0], w.line = origin[1];
  w.width = size[0], w.height = size[1];
  if (w.width < 1 || w.height < 1 || w.width > p.width - w.column + 1 ||
      w.height > p.height - w.line + 1)
    return SizeFailure();
  w.plane = static_cast<size_t>(w.width) * w.height;
  return 0;
}

// Decodes the blocks that hold the window's lines, component after
// component, into the three planes or, for one component, through the colour
// table.
class BlockReader {
 public:
  BlockReader(FILE* file, bool trace, const PixelLayout& p, const Window& w,
              const std::vector<unsigned char>& rgb, unsigned char* pixels)
      : _file(file), _trace(trace), _p(p), _w(w), _rgb(rgb), _pixels(pixels) {}

  int Read() {
    const int first = (_w.line - 1) / _p.lines + 1;
    const int last = (_w.line + _w.height - 2) / _p.lines + 1;
    // No block may be longer than a raw one, whatever the header claims.
    _largest = std::min(_p.claimedLargest, _p.sample * _p.width * _p.lines);
    if (_largest < 1) return ReadFailure();
    _block.resize(static_cast<size_t>(_largest));
    if (_p.components == 1) _indices.resize(static_cast<size_t>(_w.width) * _p.lines * _p.sample);

    for (int component = 0; component < _p.components; ++component) {
      if (ripic_skip_items(_file, first - 1) != 0) return ReadFailure();
      for (int k = first; k <= last; ++k)
        if (const int rc = ReadBlock(component, k)) return rc;
      if (ripic_skip_items(_file, static_cast<long long>(_p.blocks) - last) != 0)
        return ReadFailure();
    }
    return 0;
  }

 private:
  // Block k (from 1) of one component: its lines inside the window.
  int ReadBlock(int component, int k) {
    int length = 0;
    if (ripic_read_item_length(_file, &length) != 0 || length > _largest ||
        ripic_read_item_body(_file, _block.data(), length, length) != 0)
      return ReadFailure();
    const int top = (k - 1) * _p.lines;  // lines above the block
    const int n = std::min(_p.lines, _p.height - top);
    // A block not shorter than its raw size was stored raw; a raw block
    // holds all its lines, even those outside the window.
    const long long rawSize = 1LL * _p.sample * _p.width * n;
    int blockAlgorithm = _p.algorithm;
    if (_p.algorithm >= 6 && length >= rawSize) blockAlgorithm = 0;
    const bool shortRaw = blockAlgorithm == 0 && length < rawSize;
    const int from = std::max(_w.line, top + 1);
    const int to = std::min(_w.line + _w.height - 1, top + n);
    int window[4] = {_w.column, _w.column + _w.width - 1, from - top, to - top};
    int w = _p.width, bytes = _p.sample;
    const size_t at = static_cast<size_t>(from - _w.line) * _w.width;
    unsigned char* target =
        _p.components == 3 ? _pixels + component * _w.plane + at : _indices.data();
    if (_trace)
      std::printf("ripicrdt: component %d block %d lines %d-%d %d bytes algorithm %d\n",
                  component + 1, k, from, to, length, blockAlgorithm);
    if (shortRaw ||
        ripicunc(&blockAlgorithm, &w, window, &bytes, _block.data(), &length, target) != 0) {
      std::printf(" Mirka_picture : uncompressed bloc failed  \n ");
      return -3;
    }
    if (_p.components == 1) {
      const size_t count = static_cast<size_t>(_w.width) * (to - from + 1);
      for (size_t i = 0; i < count; ++i) {
        const int index = _p.sample == 2 ? ripic_get16(&_indices[2 * i]) : _indices[i];
        for (int c = 0; c < 3; ++c) _pixels[c * _w.plane + at + i] = _rgb[3 * index + c];
      }
    }
    return 0;
  }

  FILE* _file;
  bool _trace;
  const PixelLayout& _p;
  const Window& _w;
  const std::vector<unsigned char>& _rgb;
  unsigned char* _pixels;
  int _largest = 0;
  std::vector<char> _block;
  std::vector<unsigned char> _indices;
};

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
  if (ReadPicturePreamble(file.get(), &descriptions) != 0) return ReadFailure();
  int rc;
  PixelLayout p;
  Window w;
  if ((rc = FindPixelDescription(file.get(), descriptions)) ||
      (rc = ReadPixelLayout(file.get(), trace, p)) ||
      (rc = CheckWindow(p, origin, size, pixels, w)))
    return rc;

  std::vector<unsigned char> rgb;
  if (p.components == 1) {
    if (ReadColourTable(file.get(), p.colours, p.bits, rgb) != 0) return ReadFailure();
  } else if (p.colours != 0 && ripic_skip_items(file.get(), 2) != 0) {
    return ReadFailure();
  }
  if (p.blocks != (p.height - 1) / p.lines + 1) return ReadFailure();
  std::memset(pixels, 0, 3 * w.plane);

  if ((rc = BlockReader(file.get(), trace, p, w, rgb, pixels).Read())) return rc;
  if (trace) std::printf("ripicrdt: done\n");
  return 0;
}

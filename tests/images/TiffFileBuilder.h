// Builds small TIFF files by hand, in either byte order, for the reader tests;
// and the pixel helpers the image tests share.
#pragma once

#include <kel/images/KelPixelImage.h>

#include "KelTestEnv.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace keltest {

inline std::vector<unsigned char> ImagePixels(const KelPixelImage& image) {
  int w, h;
  image.GetSize(w, h);
  const unsigned char* p = image.GetPixelsToRead();
  return p ? std::vector<unsigned char>(p, p + 3 * static_cast<size_t>(w) * h)
           : std::vector<unsigned char>();
}

class TiffFileBuilder {
 public:
  enum Type : std::uint16_t { BYTE = 1, SHORT = 3, LONG = 4 };

  explicit TiffFileBuilder(bool bigEndian) : _big(bigEndian) {}

  TiffFileBuilder& Set(std::uint16_t tag, Type type, std::vector<std::uint32_t> values) {
    Remove(tag);
    _entries.push_back({tag, type, std::move(values)});
    return *this;
  }
  TiffFileBuilder& Remove(std::uint16_t tag) {
    _entries.erase(std::remove_if(_entries.begin(), _entries.end(),
                                  [tag](const Entry& e) { return e.tag == tag; }),
                   _entries.end());
    return *this;
  }
  // Strips go after the directory; StripOffsets and StripByteCounts (LONG) are
  // filled in.
  TiffFileBuilder& Strips(std::vector<std::vector<unsigned char>> strips) {
    _strips = std::move(strips);
    return *this;
  }
  // A plain image: width, height, photometric, samples, bits, one strip.
  TiffFileBuilder& Image(std::uint32_t width, std::uint32_t height, std::uint32_t photometric,
                         std::uint32_t samples, std::uint32_t bits) {
    Set(256, LONG, {width});
    Set(257, SHORT, {height});
    Set(258, SHORT, std::vector<std::uint32_t>(samples, bits));
    Set(259, SHORT, {1});
    Set(262, SHORT, {photometric});
    Set(277, SHORT, {samples});
    Set(278, LONG, {height});
    return *this;
  }

  std::vector<unsigned char> Build() const {
    std::vector<Entry> entries = _entries;
    if (!_strips.empty()) {
      std::vector<std::uint32_t> zero(_strips.size(), 0), counts;
      for (const auto& s : _strips) counts.push_back(static_cast<std::uint32_t>(s.size()));
      entries.push_back({273, LONG, zero});
      entries.push_back({279, LONG, counts});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    std::vector<unsigned char> out(8);
    out[0] = out[1] = _big ? 'M' : 'I';
    Put(out, 2, 42, 2);
    Put(out, 4, 8, 4);
    const size_t dir = 8;
    out.resize(dir + 2 + 12 * entries.size() + 4, 0);
    Put(out, dir, static_cast<std::uint32_t>(entries.size()), 2);
    size_t stripOffsetsAt = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
      const Entry& e = entries[i];
      const size_t at = dir + 2 + 12 * i;
      const size_t size = e.type == BYTE ? 1 : e.type == SHORT ? 2 : 4;
      Put(out, at, e.tag, 2);
      Put(out, at + 2, e.type, 2);
      Put(out, at + 4, static_cast<std::uint32_t>(e.values.size()), 4);
      size_t where = at + 8;
      if (size * e.values.size() > 4) {
        where = out.size();
        Put(out, at + 8, static_cast<std::uint32_t>(where), 4);
        out.resize(out.size() + size * e.values.size(), 0);
      }
      if (e.tag == 273) stripOffsetsAt = where;
      for (size_t k = 0; k < e.values.size(); ++k) Put(out, where + size * k, e.values[k], size);
    }
    for (size_t k = 0; k < _strips.size(); ++k) {
      Put(out, stripOffsetsAt + 4 * k, static_cast<std::uint32_t>(out.size()), 4);
      out.insert(out.end(), _strips[k].begin(), _strips[k].end());
    }
    return out;
  }

  bool Write(const std::string& path) const { return WriteBytes(path, Build()); }

 private:
  struct Entry {
    std::uint16_t tag;
    Type type;
    std::vector<std::uint32_t> values;
  };

  void Put(std::vector<unsigned char>& b, size_t at, std::uint32_t v, size_t size) const {
    for (size_t i = 0; i < size; ++i) {
      const size_t shift = 8 * (_big ? size - 1 - i : i);
      b[at + i] = static_cast<unsigned char>(v >> shift);
    }
  }

  bool _big;
  std::vector<Entry> _entries;
  std::vector<std::vector<unsigned char>> _strips;
};

}  // namespace keltest

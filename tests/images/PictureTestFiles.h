// Picture files for the tests, built and taken apart here byte by byte from the
// record layout, without the library's routines: a builder for hand-made and
// hostile files, and an independent decoder used as the oracle for the writer.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "TiffFileBuilder.h"

namespace pictest {

using Bytes = std::vector<unsigned char>;

inline void Put32(Bytes& b, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<unsigned char>(v >> shift));
}
inline std::int32_t Get32(const Bytes& b, size_t at) {
  return static_cast<std::int32_t>(std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
                                   std::uint32_t{b[at + 2]} << 8 | b[at + 3]);
}
inline Bytes Text(const std::string& s, size_t length = 0) {
  Bytes b(s.begin(), s.end());
  b.resize(std::max(length, b.size()), 0);
  return b;
}
inline Bytes Ints(std::initializer_list<std::int32_t> values) {
  Bytes b;
  for (std::int32_t v : values) Put32(b, static_cast<std::uint32_t>(v));
  return b;
}

struct FileBuilder {
  Bytes bytes;

  // The three header records.
  void Header(const std::string& stu = "STU     1 X    1") {
    bytes.insert(bytes.end(), 80, ' ');
    const Bytes name = Text(stu + "PIXEL   ", 80);
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.insert(bytes.end(), 80, ' ');
  }
  // An item: a length record, then the body padded to whole records.
  void Item(const Bytes& body) {
    Put32(bytes, static_cast<std::uint32_t>(body.size()));
    bytes.insert(bytes.end(), 76, 0);
    bytes.insert(bytes.end(), body.begin(), body.end());
    bytes.insert(bytes.end(), (80 - body.size() % 80) % 80, 0);
  }
  // Header, date, product, description count and creation items.
  void Preamble(std::int32_t descriptions, size_t countLength = 4) {
    Header();
    Item(Text("WEDNESDAY SEPTEMBER 30, 2020"));
    Item(Text("MIRKA SOLUTIONS V4  RELEASE 1.5 FR 4.1.5", 80));
    Bytes count = Ints({descriptions});
    count.resize(countLength, 0);
    Item(count);
    Item(Text("CREATION : MIRKA - RENDENRING APPICATION"));
  }
  void Description(int high, int low, std::int32_t items, std::int32_t largest) {
    Item(Ints({high << 16 | low, items, largest}));
  }
  void End() {
    Item(Bytes(32, 255));
    Item(Bytes(32, 255));
  }
  std::string Save(const std::string& name) const {
    const std::string path = keltest::OutputPath(name);
    keltest::WriteBytes(path, bytes);
    return path;
  }
};

// What the oracle found in a file written for a three-component image.
struct Picture {
  std::string header;  // the 240 bytes of the three header records
  Bytes date, product, creation, description, pixelHeader;
  std::int32_t descriptionCount = 0;
  std::vector<bool> rawBlocks;  // stored uncompressed, in file order
  Bytes planes;                 // red, green, blue planes, lines from the top
  std::vector<Bytes> endItems;
};

// Decodes `file` strictly (zero padding, exact runs, compressed blocks shorter
// than raw ones); answers an empty string or what is wrong.
inline std::string Decode(const Bytes& file, Picture& p) {
  if (file.size() % 80 != 0 || file.size() < 240) return "not whole records";
  size_t at = 240;
  auto item = [&](Bytes& body) -> std::string {
    if (at + 80 > file.size()) return "missing length record";
    const std::int32_t length = Get32(file, at);
    if (std::any_of(file.begin() + long(at) + 4, file.begin() + long(at) + 80,
                    [](int b) { return b; }))
      return "length record not zero padded";
    at += 80;
    const size_t padded = (static_cast<size_t>(length) + 79) / 80 * 80;
    if (length <= 0 || at + padded > file.size()) return "bad item length";
    body.assign(file.begin() + long(at), file.begin() + long(at) + length);
    if (std::any_of(file.begin() + long(at) + length, file.begin() + long(at + padded),
                    [](int b) { return b; }))
      return "data record not zero padded";
    at += padded;
    return "";
  };
  p.header.assign(file.begin(), file.begin() + 240);
  Bytes count;
  for (auto* body : {&p.date, &p.product, &count, &p.creation, &p.description, &p.pixelHeader})
    if (const std::string why = item(*body); !why.empty()) return why;
  if (count.size() != 4 || p.description.size() != 12 || p.pixelHeader.size() != 36)
    return "wrong fixed item length";
  p.descriptionCount = Get32(count, 0);
  const int width = Get32(p.pixelHeader, 0), height = Get32(p.pixelHeader, 4);
  if (width < 1 || height < 1) return "bad size";
  const int lines = std::min(262144 / width, height);
  const size_t plane = static_cast<size_t>(width) * height;
  p.planes.assign(3 * plane, 0);
  for (int c = 0; c < 3; ++c)
    for (int k = 0; k * lines < height; ++k) {
      Bytes body;
      if (const std::string why = item(body); !why.empty()) return why;
      const size_t raw = static_cast<size_t>(width) * std::min(lines, height - k * lines);
      unsigned char* out = &p.planes[c * plane + static_cast<size_t>(k) * lines * width];
      p.rawBlocks.push_back(body.size() == raw);
      if (body.size() == raw) {
        std::copy(body.begin(), body.end(), out);
        continue;
      }
      if (body.size() > raw) return "block longer than raw";
      size_t pos = 0;
      for (size_t x = 0; x < raw; x += body[pos - 2]) {
        if (pos + 2 > body.size()) return "runs end early";
        const size_t run = body[pos];
        if (run == 0 || x % width + run > size_t(width)) return "run out of its line";
        std::fill(out + x, out + x + run, body[pos + 1]);
        pos += 2;
      }
      if (pos != body.size()) return "bytes after the last run";
    }
  for (int i = 0; i < 2; ++i) {
    p.endItems.emplace_back();
    if (const std::string why = item(p.endItems.back()); !why.empty()) return why;
  }
  return at == file.size() ? "" : "bytes after the end items";
}

}  // namespace pictest

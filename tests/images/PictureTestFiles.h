// Picture files for the tests, built and taken apart here byte by byte from the
// record layout, without the library's routines: a builder for hand-made and
// hostile files, and an independent decoder used as the oracle for the writer.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/KelTestEnv.h"

namespace pictest {

using Bytes = std::vector<unsigned char>;

inline void Put32(Bytes& b, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<unsigned char>(v >> shift));
}
inline std::int32_t Get32(const Bytes& b, size_t at) {
  return static_cast<std::int32_t>(std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
                                   std::uint32_t{b[at + 2]} << 8 | b[at + 3]);
}
inline Bytes Text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

struct FileBuilder {
  Bytes bytes;

  void Header(const std::string& stu = "STU     1 X    1") {
    bytes.insert(bytes.end(), 80, ' ');
    bytes.insert(bytes.end(), stu.begin(), stu.end());
    const std::string pixel = "PIXEL   ";
    bytes.insert(bytes.end(), pixel.begin(), pixel.end());
    bytes.insert(bytes.end(), 56, 0);
    bytes.insert(bytes.end(), 80, ' ');
  }
  // An item whose length record may lie about the body.
  void ItemClaiming(std::int32_t length, const Bytes& body) {
    Put32(bytes, static_cast<std::uint32_t>(length));
    bytes.insert(bytes.end(), 76, 0);
    bytes.insert(bytes.end(), body.begin(), body.end());
    bytes.insert(bytes.end(), (80 - body.size() % 80) % 80, 0);
  }
  void Item(const Bytes& body) { ItemClaiming(static_cast<std::int32_t>(body.size()), body); }
  void Int(std::int32_t v) {
    Bytes b;
    Put32(b, static_cast<std::uint32_t>(v));
    Item(b);
  }
  void Preamble(std::int32_t descriptions, const std::string& stu = "STU     1 X    1") {
    Header(stu);
    Item(Text("WEDNESDAY SEPTEMBER 30, 2020"));
    Bytes product = Text("MIRKA SOLUTIONS V4  RELEASE 1.5 FR 4.1.5");
    product.resize(80, 0);
    Item(product);
    Int(descriptions);
    Item(Text("CREATION : MIRKA - RENDENRING APPICATION"));
  }
  void Description(int high, int low, std::int32_t items, std::int32_t largest) {
    Bytes b = {static_cast<unsigned char>(high >> 8), static_cast<unsigned char>(high),
               static_cast<unsigned char>(low >> 8), static_cast<unsigned char>(low)};
    Put32(b, static_cast<std::uint32_t>(items));
    Put32(b, static_cast<std::uint32_t>(largest));
    Item(b);
  }
  void PixelHeader(std::int32_t width, std::int32_t height, std::int32_t code, std::int32_t blocks,
                   std::int32_t largest, std::int32_t colours) {
    Bytes b;
    for (std::int32_t v : {width, height, 1, code, blocks, largest, 0, 4, colours})
      Put32(b, static_cast<std::uint32_t>(v));
    Item(b);
  }
  void End() {
    Item(Bytes(32, 255));
    Item(Bytes(32, 255));
  }
  std::string Save(const std::string& name) const {
    const std::string path = keltest::OutputPath(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
  }
};

inline Bytes Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the oracle found in a file written for a three-component image.
struct Picture {
  std::string header;  // the 240 bytes of the three header records
  Bytes date, product, creation;
  std::int32_t descriptionCount = 0;
  int kindHigh = -1, kindLow = -1;
  std::int32_t items = 0, largestItem = 0;
  std::int32_t pixelHeader[9] = {};
  std::vector<Bytes> blocks;    // block items in file order
  std::vector<bool> rawBlocks;  // stored uncompressed
  Bytes planes;                 // red, green, blue planes, lines from the top
  std::vector<Bytes> endItems;
};

// Decodes `file` strictly (zero padding, exact runs, compressed blocks shorter
// than raw ones); answers an empty string or what is wrong.
inline std::string Decode(const Bytes& file, Picture& p) {
  if (file.size() % 80 != 0) return "not a whole number of records";
  size_t at = 0;
  auto item = [&](Bytes& body) -> std::string {
    if (at + 80 > file.size()) return "missing length record";
    const std::int32_t length = Get32(file, at);
    for (size_t i = 4; i < 80; ++i)
      if (file[at + i] != 0) return "length record not zero padded";
    at += 80;
    if (length <= 0) return "non-positive item length";
    const size_t padded = (static_cast<size_t>(length) + 79) / 80 * 80;
    if (at + padded > file.size()) return "item body past the end";
    body.assign(file.begin() + static_cast<long>(at),
                file.begin() + static_cast<long>(at) + length);
    for (size_t i = at + static_cast<size_t>(length); i < at + padded; ++i)
      if (file[i] != 0) return "data record not zero padded";
    at += padded;
    return "";
  };
  if (file.size() < 240) return "no header records";
  p.header.assign(file.begin(), file.begin() + 240);
  at = 240;
  Bytes count, description, pixel;
  for (auto* body : {&p.date, &p.product, &count, &p.creation, &description, &pixel}) {
    const std::string why = item(*body);
    if (!why.empty()) return why;
  }
  if (count.size() != 4 || description.size() != 12 || pixel.size() != 36)
    return "wrong fixed item length";
  p.descriptionCount = Get32(count, 0);
  p.kindHigh = description[0] << 8 | description[1];
  p.kindLow = description[2] << 8 | description[3];
  p.items = Get32(description, 4);
  p.largestItem = Get32(description, 8);
  for (int i = 0; i < 9; ++i) p.pixelHeader[i] = Get32(pixel, 4 * static_cast<size_t>(i));

  const int width = p.pixelHeader[0], height = p.pixelHeader[1];
  if (width < 1 || height < 1) return "bad size";
  const int lines = std::min(262144 / width, height);
  const int blocks = (height + lines - 1) / lines;
  const size_t plane = static_cast<size_t>(width) * height;
  p.planes.assign(3 * plane, 0);
  for (int c = 0; c < 3; ++c) {
    for (int k = 0; k < blocks; ++k) {
      Bytes body;
      const std::string why = item(body);
      if (!why.empty()) return why;
      const int n = std::min(lines, height - k * lines);
      const size_t raw = static_cast<size_t>(width) * n;
      unsigned char* out = &p.planes[c * plane + static_cast<size_t>(k) * lines * width];
      p.blocks.push_back(body);
      p.rawBlocks.push_back(body.size() == raw);
      if (body.size() == raw) {
        std::copy(body.begin(), body.end(), out);
        continue;
      }
      if (body.size() > raw) return "block longer than raw";
      size_t pos = 0;
      for (int line = 0; line < n; ++line) {
        int x = 0;
        while (x < width) {
          if (pos + 2 > body.size()) return "runs end early";
          const int run = body[pos];
          if (run == 0 || x + run > width) return "run out of its line";
          std::fill(out + static_cast<size_t>(line) * width + x,
                    out + static_cast<size_t>(line) * width + x + run, body[pos + 1]);
          x += run;
          pos += 2;
        }
      }
      if (pos != body.size()) return "bytes after the last run";
    }
  }
  for (int i = 0; i < 2; ++i) {
    Bytes body;
    const std::string why = item(body);
    if (!why.empty()) return why;
    p.endItems.push_back(body);
  }
  if (at != file.size()) return "bytes after the end items";
  return "";
}

// Every picture test runs with HOME in an empty directory of its own, so that
// the developer's marker file never switches tracing on.
class PictureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* home = std::getenv("HOME");
    savedHome() = home ? home : "";
    std::string dir = keltest::OutputPath("picture-home-XXXXXX");
    if (mkdtemp(dir.data())) setenv("HOME", dir.c_str(), 1);
  }
  static void TearDownTestSuite() {
    if (savedHome().empty())
      unsetenv("HOME");
    else
      setenv("HOME", savedHome().c_str(), 1);
  }
  static std::string& savedHome() {
    static std::string home;
    return home;
  }
};

}  // namespace pictest

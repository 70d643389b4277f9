#include <kel/images/ripicrdt.h>
#include <kel/images/ripicrhd.h>
#include <kel/images/ripicwdt.h>

#include <random>
#include <string>

#include "PictureTestFiles.h"

namespace {

using pictest::Bytes;
using PictureWriterTest = pictest::PictureTest;

// Three planes of width x height: a photograph-like mix of smooth areas, runs
// and noise, so that blocks come out both compressed and raw.
Bytes MixedPlanes(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  Bytes planes(3 * static_cast<size_t>(width) * height);
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const size_t at = (static_cast<size_t>(c) * height + y) * width + x;
        if ((y / 7 + c) % 3 == 0)
          planes[at] = static_cast<unsigned char>(random());
        else
          planes[at] = static_cast<unsigned char>((x / 300 + y / 5 + c * 40) & 0xFF);
      }
  return planes;
}

std::string Write(const std::string& name, int width, int height, Bytes& planes, int* answer) {
  const std::string path = keltest::OutputPath(name);
  int code = 1, size[2] = {width, height};
  *answer = ripicwdt(path.c_str(), &code, size, planes.data());
  return path;
}

TEST_F(PictureWriterTest, OracleAgreesOnLayoutAndPixels) {
  struct Case {
    int width, height, linesPerBlock, blocks;
  };
  // 1024 wide: 256 lines per block; 700: 374; one full-width line per block;
  // 1 x 1, whose one-byte blocks are stored raw (description 0, 1, 4, 36).
  int rawBlocks = 0, packedBlocks = 0;
  for (const Case& c : {Case{1024, 600, 256, 3}, Case{700, 800, 374, 3}, Case{262144, 2, 1, 2},
                        Case{5, 7, 7, 1}, Case{300, 1, 1, 1}, Case{1, 1, 1, 1}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    Bytes planes = MixedPlanes(c.width, c.height, static_cast<unsigned>(c.width + c.height));
    int answer = 0;
    const std::string path = Write("picture-oracle.pic", c.width, c.height, planes, &answer);
    ASSERT_EQ(answer, 0);
    pictest::Picture p;
    ASSERT_EQ(pictest::Decode(pictest::Load(path), p), "");
    char stu[32];
    std::snprintf(stu, sizeof stu, "STU %5d X%5d", c.width, c.height);
    EXPECT_EQ(p.header, std::string(80, ' ') + std::string(stu).substr(0, 16) + "PIXEL   " +
                            std::string(56, '\0') + std::string(80, ' '));
    EXPECT_EQ(p.date.size(), 28u);
    Bytes product = pictest::Text("MIRKA SOLUTIONS V4  RELEASE 1.5 FR 4.1.5");
    product.resize(80, 0);
    EXPECT_EQ(p.product, product);
    EXPECT_EQ(p.creation, pictest::Text("CREATION : MIRKA - RENDENRING APPICATION"));
    const int raw = c.width * c.linesPerBlock;
    EXPECT_EQ((std::vector<int>{p.descriptionCount, p.kindHigh, p.kindLow, p.items, p.largestItem}),
              (std::vector<int>{1, 0, 1, 3 * c.blocks + 1, std::max(raw, 36)}));
    const std::vector<int> header(p.pixelHeader, p.pixelHeader + 9);
    EXPECT_EQ(header, (std::vector<int>{c.width, c.height, 1, 10407, c.blocks, raw, 0, 4, 0}));
    EXPECT_EQ(p.blocks.size(), 3u * c.blocks);
    EXPECT_EQ(p.planes, planes);
    for (const Bytes& end : p.endItems) EXPECT_EQ(end, Bytes(32, 255));
    for (bool raw : p.rawBlocks) ++(raw ? rawBlocks : packedBlocks);
  }
  EXPECT_GT(rawBlocks, 0);
  EXPECT_GT(packedBlocks, 0);
}

TEST_F(PictureWriterTest, ReadersReturnWholeImageAndWindows) {
  const int width = 1024, height = 600;
  Bytes planes = MixedPlanes(width, height, 3);
  int answer = 0;
  const std::string path = Write("picture-windows.pic", width, height, planes, &answer);
  ASSERT_EQ(answer, 0);

  int code = 0, size[2] = {-1, -1};
  ASSERT_EQ(ripicrhd(path.c_str(), &code, size), 0);
  EXPECT_EQ((std::vector<int>{code, size[0], size[1]}), (std::vector<int>{1, width, height}));

  struct Window {
    int column, line, width, height;
  };
  // Whole image; across both block boundaries (lines 256/257 and 512/513); the
  // last pixel; a single line inside the second block.
  for (const Window& w : {Window{1, 1, width, height}, Window{1000, 250, 25, 300},
                          Window{width, height, 1, 1}, Window{3, 300, 700, 1}}) {
    SCOPED_TRACE(std::to_string(w.column) + "," + std::to_string(w.line));
    Bytes out(3 * static_cast<size_t>(w.width) * w.height, 0xEE);
    int origin[2] = {w.column, w.line}, wanted[2] = {w.width, w.height};
    ASSERT_EQ(ripicrdt(path.c_str(), &code, origin, wanted, out.data()), 0);
    Bytes expected;
    for (int c = 0; c < 3; ++c)
      for (int y = w.line - 1; y < w.line - 1 + w.height; ++y) {
        const auto row = planes.begin() + static_cast<long>((c * height + y) * width);
        expected.insert(expected.end(), row + w.column - 1, row + w.column - 1 + w.width);
      }
    EXPECT_EQ(out, expected);
  }
}

TEST_F(PictureWriterTest, RefusalsLeaveFilesAlone) {
  const std::string path = keltest::OutputPath("picture-refused.pic");
  {
    std::ofstream keep(path);
    keep << "precious";
  }
  Bytes planes(3 * 4, 1);
  int code = 2, size[2] = {2, 2};
  EXPECT_EQ(ripicwdt(path.c_str(), &code, size, planes.data()), -5);
  code = 1;
  for (auto bad : {std::pair<int, int>{0, 2}, {2, 0}, {-3, 2}, {262145, 1}}) {
    size[0] = bad.first;
    size[1] = bad.second;
    EXPECT_EQ(ripicwdt(path.c_str(), &code, size, planes.data()), -11);
  }
  EXPECT_EQ(pictest::Load(path), pictest::Text("precious"));

  size[0] = size[1] = 2;
  EXPECT_EQ(ripicwdt(keltest::OutputPath("no-such-dir/x.pic").c_str(), &code, size, planes.data()),
            -5);
  // A device that is always full: the failure shows at a write or at the close.
  EXPECT_EQ(ripicwdt("/dev/full", &code, size, planes.data()), -1);
}

}  // namespace

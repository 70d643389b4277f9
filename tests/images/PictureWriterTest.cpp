// The picture writer against the independent decoder of PictureTestFiles.h,
// read back through the readers, and the date texts it uses.
#include <kel/images/ripicrdt.h>
#include <kel/images/ripicrhd.h>
#include <kel/images/ripicwdt.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>

#include "PictureTestFiles.h"
#include "ripicdat.h"

namespace {

using pictest::Bytes;

// Three planes of width x height: a photograph-like mix of smooth areas, runs
// and noise, so that blocks come out both compressed and raw.
Bytes MixedPlanes(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  Bytes planes(3 * static_cast<size_t>(width) * height);
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        planes[(static_cast<size_t>(c) * height + y) * width + x] = static_cast<unsigned char>(
            (y / 7 + c) % 3 == 0 ? random() : (x / 300 + y / 5 + c * 40) & 0xFF);
  return planes;
}

int Write(const std::string& path, int width, int height, Bytes& planes, int code = 1) {
  int size[2] = {width, height};
  return ripicwdt(path.c_str(), &code, size, planes.data());
}

TEST(PictureWriter, OracleAgreesOnLayoutAndPixels) {
  // 1024 wide: 256 lines per block; 700: 374; one full-width line per block;
  // 1 x 1, whose one-byte blocks are stored raw.
  int rawBlocks = 0, packedBlocks = 0;
  for (auto [width, height, lines, blocks] : {std::array{1024, 600, 256, 3},
                                              {700, 800, 374, 3},
                                              {262144, 2, 1, 2},
                                              {5, 7, 7, 1},
                                              {300, 1, 1, 1},
                                              {1, 1, 1, 1}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    Bytes planes = MixedPlanes(width, height, static_cast<unsigned>(width + height));
    const std::string path = keltest::OutputPath("picture-oracle.pic");
    ASSERT_EQ(Write(path, width, height, planes), 0);
    pictest::Picture p;
    ASSERT_EQ(pictest::Decode(keltest::ReadBytes(path), p), "");
    char stu[32];
    std::snprintf(stu, sizeof stu, "STU %5d X%5d", width, height);
    EXPECT_EQ(p.header, std::string(80, ' ') + std::string(stu).substr(0, 16) + "PIXEL   " +
                            std::string(56, '\0') + std::string(80, ' '));
    EXPECT_EQ(p.date.size(), 28u);
    EXPECT_EQ(p.descriptionCount, 1);
    EXPECT_EQ(p.description, pictest::Ints({1, 3 * blocks + 1, std::max(width * lines, 36)}));
    EXPECT_EQ(p.pixelHeader,
              pictest::Ints({width, height, 1, 10407, blocks, width * lines, 0, 4, 0}));
    EXPECT_EQ(p.planes, planes);
    for (const Bytes& end : p.endItems) EXPECT_EQ(end, Bytes(32, 255));
    for (bool raw : p.rawBlocks) ++(raw ? rawBlocks : packedBlocks);
  }
  EXPECT_GT(rawBlocks, 0);
  EXPECT_GT(packedBlocks, 0);
}

TEST(PictureWriter, ReadersReturnWholeImageAndWindows) {
  const int width = 1024, height = 600;
  Bytes planes = MixedPlanes(width, height, 3);
  const std::string path = keltest::OutputPath("picture-windows.pic");
  ASSERT_EQ(Write(path, width, height, planes), 0);
  int code = 0, size[2] = {-1, -1};
  ASSERT_EQ(ripicrhd(path.c_str(), &code, size), 0);
  EXPECT_EQ((std::vector<int>{code, size[0], size[1]}), (std::vector<int>{1, width, height}));
  // Whole image; across both block boundaries (lines 256/257 and 512/513); the
  // last pixel; a single line inside the second block.
  for (auto [column, line, w, h] : {std::array{1, 1, width, height},
                                    {1000, 250, 25, 300},
                                    {width, height, 1, 1},
                                    {3, 300, 700, 1}}) {
    Bytes out(3 * static_cast<size_t>(w) * h, 0xEE), expected;
    int origin[2] = {column, line}, wanted[2] = {w, h};
    ASSERT_EQ(ripicrdt(path.c_str(), &code, origin, wanted, out.data()), 0);
    for (int c = 0; c < 3; ++c)
      for (int y = line - 1; y < line - 1 + h; ++y) {
        const auto row = planes.begin() + static_cast<long>((c * height + y) * width);
        expected.insert(expected.end(), row + column - 1, row + column - 1 + w);
      }
    EXPECT_EQ(out, expected) << column << "," << line;
  }
}

TEST(PictureWriter, RefusalsLeaveFilesAlone) {
  const std::string path = keltest::OutputPath("picture-refused.pic");
  keltest::WriteBytes(path, pictest::Text("precious"));
  Bytes planes(3 * 4, 1);
  EXPECT_EQ(Write(path, 2, 2, planes, 2), -5);
  for (auto [w, h] : {std::pair{0, 2}, {2, 0}, {-3, 2}, {262145, 1}})
    EXPECT_EQ(Write(path, w, h, planes), -11);
  EXPECT_EQ(keltest::ReadBytes(path), pictest::Text("precious"));
  EXPECT_EQ(Write(keltest::OutputPath("no-such-dir/x.pic"), 2, 2, planes), -5);
  // A device that is always full: the failure shows at a write or at the close.
  EXPECT_EQ(Write("/dev/full", 2, 2, planes), -1);
}

// The writer's date item, format 4: the other formats are never written.
TEST(PictureBlocks, DateTexts) {
  std::tm t{};
  t.tm_year = 2020 - 1900, t.tm_mon = 8, t.tm_mday = 30, t.tm_wday = 3, t.tm_yday = 273;
  t.tm_hour = 14, t.tm_min = 5, t.tm_sec = 9;
  auto text = [&] {
    char date[40], time[12];
    std::memset(date, '#', sizeof date);
    std::memset(time, '#', sizeof time);
    int f = 14;
    if (ripicdat(date, time, &f, &t) != 0) return std::string("failed");
    EXPECT_EQ(std::string(time, 9), "14.05.09#");
    return std::string(date, 29);
  };
  EXPECT_EQ(text(), "WEDNESDAY SEPTEMBER 30, 2020#");
  t.tm_wday = 1, t.tm_mon = 2, t.tm_mday = 2;
  EXPECT_EQ(text(), "MONDAY  MARCH 2, 2020       #");
}

}  // namespace

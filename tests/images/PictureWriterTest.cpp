// The picture writer against the independent decoder of PictureTestFiles.h,
// read back through the readers, and the block codec and date texts it uses.
#include <kel/images/ripicrdt.h>
#include <kel/images/ripicrhd.h>
#include <kel/images/ripicwdt.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>

#include "PictureTestFiles.h"
#include "ripiccod.h"
#include "ripiccom.h"
#include "ripicdat.h"
#include "ripicunc.h"

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
    EXPECT_EQ(p.product, pictest::Text("MIRKA SOLUTIONS V4  RELEASE 1.5 FR 4.1.5", 80));
    EXPECT_EQ(p.creation, pictest::Text("CREATION : MIRKA - RENDENRING APPICATION"));
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

// Compresses `source` as a block of width x lines with algorithm 7.
Bytes Compress(const Bytes& source, int width, int lines, int limit) {
  int algorithm = 7, size[2] = {width, lines}, sample = 1, length = -1;
  Bytes out(source.size() * 2 + 2, 0xEE);
  const int answer = ripiccom(&algorithm, size, &sample, &limit,
                              reinterpret_cast<char*>(const_cast<unsigned char*>(source.data())),
                              &length, out.data());
  out.resize(answer == 0 ? static_cast<size_t>(length) : 0);
  return answer == 1 ? Bytes{0xFF} : out;  // 0xFF: gave up
}
int Uncompress(int algorithm, int width, std::vector<int> window, int sample, Bytes block,
               Bytes& out) {
  int length = static_cast<int>(block.size());
  out.assign(static_cast<size_t>(window[1] - window[0] + 1) * (window[3] - window[2] + 1) * sample,
             0xEE);
  return ripicunc(&algorithm, &width, window.data(), &sample, reinterpret_cast<char*>(block.data()),
                  &length, out.data());
}

TEST(PictureBlocks, RunLengthCompression) {
  // Runs never cross a line end; the pairs must be shorter than the limit.
  EXPECT_EQ(Compress(Bytes(300, 9), 300, 1, 300), (Bytes{255, 9, 45, 9}));
  EXPECT_EQ(Compress(Bytes(8, 65), 4, 2, 8), (Bytes{4, 65, 4, 65}));
  EXPECT_EQ(Compress({1, 1, 1, 2, 3, 3}, 6, 1, 6), (Bytes{0xFF}));
  EXPECT_EQ(Compress({1, 1, 1, 2, 3, 3}, 6, 1, 7), (Bytes{3, 1, 1, 2, 2, 3}));
  EXPECT_EQ(Compress({1, 2, 1, 2}, 4, 1, 4), (Bytes{0xFF}));
  // Samples of two bytes, and algorithms other than 7, are refused.
  int algorithm = 7, size[2] = {2, 1}, sample = 2, limit = 100, length = 0;
  char source[4] = {};
  unsigned char target[8];
  EXPECT_EQ(ripiccom(&algorithm, size, &sample, &limit, source, &length, target), -1);
  algorithm = 3, sample = 1;
  EXPECT_EQ(ripiccom(&algorithm, size, &sample, &limit, source, &length, target), -1);

  // Width 5, lines "aabbb" and "cdddd": windows of runs, raw bytes and 16-bit runs.
  Bytes out;
  ASSERT_EQ(Uncompress(7, 5, {2, 4, 1, 2}, 1, {2, 'a', 3, 'b', 1, 'c', 4, 'd'}, out), 0);
  EXPECT_EQ(std::string(out.begin(), out.end()), "abbddd");
  ASSERT_EQ(
      Uncompress(0, 5, {4, 5, 2, 2}, 1, {'a', 'a', 'b', 'b', 'b', 'c', 'd', 'd', 'd', 'd'}, out),
      0);
  EXPECT_EQ(std::string(out.begin(), out.end()), "dd");
  ASSERT_EQ(Uncompress(8, 3, {2, 3, 1, 1}, 2, {1, 0x01, 0x02, 2, 0xAB, 0xCD}, out), 0);
  EXPECT_EQ(out, (Bytes{0xAB, 0xCD, 0xAB, 0xCD}));
  // Malformed blocks (-3), algorithms it does not decode and bad windows (-1).
  const std::tuple<int, int, std::vector<int>, int, Bytes, int> refused[] = {
      {7, 4, {1, 4, 1, 1}, 1, {0, 1, 4, 1}, -3},            // zero count
      {7, 4, {1, 4, 1, 2}, 1, {2, 1, 3, 1, 3, 1}, -3},      // run over the line end
      {7, 4, {1, 4, 1, 2}, 1, {4, 1, 2, 1}, -3},            // line 2 missing
      {7, 4, {1, 4, 1, 1}, 1, {4}, -3},                     // half a pair
      {7, 4, {1, 4, 2, 2}, 1, {4, 1, 255, 1, 255, 1}, -3},  // skipped line too long
      {8, 3, {1, 3, 1, 1}, 2, {2, 0, 1, 1, 0}, -3},         // half a triple
      {0, 4, {1, 4, 1, 2}, 1, Bytes(7, 1), -3},             // raw block too short
      {9, 4, {1, 4, 1, 1}, 1, Bytes(4, 1), -1},
      {7, 2, {1, 2, 1, 1}, 2, Bytes(6, 1), -1},  // 7 needs bytes
      {8, 2, {1, 2, 1, 1}, 1, Bytes(6, 1), -1},  // 8 needs words
      {0, 4, {0, 4, 1, 1}, 1, Bytes(4, 1), -1},
      {0, 4, {3, 2, 1, 1}, 1, Bytes(8, 1), -1}};
  for (const auto& [algorithm, width, window, sample, block, code] : refused)
    EXPECT_EQ(Uncompress(algorithm, width, window, sample, block, out), code)
        << algorithm << " " << int(block.size());
}

TEST(PictureBlocks, CompressionCodeAndDateTexts) {
  // Code to organisation {components, bits, bits, bits}, compressed, algorithm.
  auto decode = [](int code) {
    int org[4] = {}, compressed = -1, algorithm = -1, status = -9;
    const int answer = ripiccod(0, &code, org, &compressed, &algorithm, &status);
    return std::vector<int>{answer, org[0], org[1], org[2], org[3], compressed, algorithm};
  };
  EXPECT_EQ(decode(10407), (std::vector<int>{0, 3, 8, 8, 8, 1, 7}));
  EXPECT_EQ(decode(20508), (std::vector<int>{0, 1, 16, 0, 0, 1, 8}));
  EXPECT_EQ(decode(2), (std::vector<int>{0, 1, 16, 0, 0, 1, 2})) << "old code";
  for (int bad : {10507, 30407, 10307, 10, -5}) EXPECT_EQ(decode(bad)[0], -2) << bad;
  int code = 0, algorithm = 7, status = 0, compressed = 0, org[4] = {1, 8, 0, 0};
  ASSERT_EQ(ripiccod(1, &code, org, &compressed, &algorithm, &status), 0);
  EXPECT_EQ(code, 20400);

  std::tm t{};
  t.tm_year = 2020 - 1900, t.tm_mon = 8, t.tm_mday = 30, t.tm_wday = 3, t.tm_yday = 273;
  t.tm_hour = 14, t.tm_min = 5, t.tm_sec = 9;
  auto text = [&](int format) {
    char date[40], time[12];
    std::memset(date, '#', sizeof date);
    std::memset(time, '#', sizeof time);
    int f = 10 + format;
    if (ripicdat(date, time, &f, &t) != 0) return std::string("failed");
    EXPECT_EQ(std::string(time, 9), "14.05.09#");
    return std::string(date, 29);
  };
  EXPECT_EQ(text(0), "2020.274#####################");  // 30 September of a leap year
  EXPECT_EQ(text(1), "30 SEPTEMBRE 2020   #########");
  EXPECT_EQ(text(2), "SEPTEMBER 30, 2020  #########");
  EXPECT_EQ(text(3), "MERCREDI 30 SEPTEMBRE 2020  #");
  EXPECT_EQ(text(4), "WEDNESDAY SEPTEMBER 30, 2020#");
  t.tm_wday = 1, t.tm_mon = 2, t.tm_mday = 2;
  EXPECT_EQ(text(4), "MONDAY  MARCH 2, 2020       #");
  EXPECT_EQ(text(5), "failed");
  t.tm_mon = 12;
  EXPECT_EQ(text(1), "failed");
}

}  // namespace

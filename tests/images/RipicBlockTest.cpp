#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "PictureRecords.h"
#include "PictureTestFiles.h"
#include "ripiccod.h"
#include "ripiccom.h"
#include "ripicdat.h"
#include "ripicunc.h"

namespace {

using pictest::Bytes;
using RipicBlockTest = pictest::PictureTest;

// Compresses `source` as a block of width x lines with algorithm 7.
int Compress(const Bytes& source, int width, int lines, int limit, Bytes& out) {
  int algorithm = 7, size[2] = {width, lines}, sample = 1, length = -1;
  out.assign(source.size() * 2 + 2, 0xEE);
  const int answer = ripiccom(&algorithm, size, &sample, &limit,
                              reinterpret_cast<char*>(const_cast<unsigned char*>(source.data())),
                              &length, out.data());
  out.resize(answer == 0 ? static_cast<size_t>(length) : 0);
  return answer;
}

int Uncompress(int algorithm, int width, std::vector<int> window, int sample, Bytes block,
               Bytes& out) {
  int length = static_cast<int>(block.size());
  out.assign(static_cast<size_t>(window[1] - window[0] + 1) * (window[3] - window[2] + 1) * sample,
             0xEE);
  return ripicunc(&algorithm, &width, window.data(), &sample, reinterpret_cast<char*>(block.data()),
                  &length, out.data());
}

TEST_F(RipicBlockTest, RunLengthCompression) {
  struct Case {
    Bytes source;
    int width, lines, limit;
    Bytes expected;  // empty: gives up, the pairs being no shorter than the limit
  };
  for (const Case& c :
       std::vector<Case>{{Bytes(300, 9), 300, 1, 300, {255, 9, 45, 9}},
                         {Bytes(510, 4), 510, 1, 510, {255, 4, 255, 4}},
                         {Bytes(8, 65), 4, 2, 8, {4, 65, 4, 65}},  // runs never cross a line end
                         {{1, 1, 1, 2, 3, 3}, 6, 1, 6, {}},
                         {{1, 1, 1, 2, 3, 3}, 6, 1, 7, {3, 1, 1, 2, 2, 3}},
                         {{7}, 1, 1, 1, {}},
                         {{1, 2, 1, 2}, 4, 1, 4, {}},
                         {{1, 1, 2, 2, 2}, 5, 1, 5, {2, 1, 3, 2}}}) {
    Bytes out;
    EXPECT_EQ(Compress(c.source, c.width, c.lines, c.limit, out), c.expected.empty() ? 1 : 0);
    EXPECT_EQ(out, c.expected) << c.width << " x " << c.lines << " limit " << c.limit;
  }

  // Samples of two bytes, and algorithms other than 7, are refused.
  int algorithm = 7, size[2] = {2, 1}, sample = 2, limit = 100, length = 0;
  char source[4] = {};
  unsigned char target[8];
  EXPECT_EQ(ripiccom(&algorithm, size, &sample, &limit, source, &length, target), -1);
  algorithm = 3;
  sample = 1;
  EXPECT_EQ(ripiccom(&algorithm, size, &sample, &limit, source, &length, target), -1);
}

TEST_F(RipicBlockTest, UncompressExtractsTheWindow) {
  // Width 5, lines "aabbb" and "cdddd".
  const Bytes runs = {2, 'a', 3, 'b', 1, 'c', 4, 'd'};
  Bytes out;
  ASSERT_EQ(Uncompress(7, 5, {2, 4, 1, 2}, 1, runs, out), 0);
  EXPECT_EQ(std::string(out.begin(), out.end()), "abbddd");
  ASSERT_EQ(Uncompress(7, 5, {1, 1, 2, 2}, 1, runs, out), 0);
  EXPECT_EQ(std::string(out.begin(), out.end()), "c");

  const Bytes raw = {'a', 'a', 'b', 'b', 'b', 'c', 'd', 'd', 'd', 'd'};
  ASSERT_EQ(Uncompress(0, 5, {4, 5, 2, 2}, 1, raw, out), 0);
  EXPECT_EQ(std::string(out.begin(), out.end()), "dd");

  // 16-bit runs: (count, high, low).
  ASSERT_EQ(Uncompress(8, 3, {2, 3, 1, 1}, 2, {1, 0x01, 0x02, 2, 0xAB, 0xCD}, out), 0);
  EXPECT_EQ(out, (Bytes{0xAB, 0xCD, 0xAB, 0xCD}));
  ASSERT_EQ(Uncompress(0, 2, {2, 2, 2, 2}, 2, {0, 1, 0, 2, 0, 3, 0, 4}, out), 0);
  EXPECT_EQ(out, (Bytes{0, 4}));
}

TEST_F(RipicBlockTest, UncompressRefusesMalformedBlocks) {
  Bytes out;
  EXPECT_EQ(Uncompress(7, 4, {1, 4, 1, 1}, 1, {0, 1, 4, 1}, out), -3) << "zero count";
  EXPECT_EQ(Uncompress(7, 4, {1, 4, 1, 2}, 1, {2, 1, 3, 1, 3, 1}, out), -3) << "run over line end";
  EXPECT_EQ(Uncompress(7, 4, {1, 4, 1, 2}, 1, {4, 1, 2, 1}, out), -3) << "line 2 missing";
  EXPECT_EQ(Uncompress(7, 4, {1, 4, 1, 1}, 1, {4}, out), -3) << "half a pair";
  EXPECT_EQ(Uncompress(7, 4, {1, 4, 2, 2}, 1, {4, 1, 255, 1, 255, 1}, out), -3)
      << "skipped line runs too long";
  EXPECT_EQ(Uncompress(8, 3, {1, 3, 1, 1}, 2, {2, 0, 1, 1, 0}, out), -3) << "half a triple";
  EXPECT_EQ(Uncompress(0, 4, {1, 4, 1, 2}, 1, Bytes(7, 1), out), -3) << "raw block too short";
  // Algorithms it does not decode, and bad windows.
  for (int algorithm : {1, 2, 3, 9, -1})
    EXPECT_EQ(Uncompress(algorithm, 4, {1, 4, 1, 1}, 1, Bytes(4, 1), out), -1);
  EXPECT_EQ(Uncompress(7, 2, {1, 2, 1, 1}, 2, Bytes(6, 1), out), -1) << "7 needs bytes";
  EXPECT_EQ(Uncompress(8, 2, {1, 2, 1, 1}, 1, Bytes(6, 1), out), -1) << "8 needs words";
  EXPECT_EQ(Uncompress(0, 4, {0, 4, 1, 1}, 1, Bytes(4, 1), out), -1);
  EXPECT_EQ(Uncompress(0, 4, {1, 5, 1, 1}, 1, Bytes(8, 1), out), -1);
  EXPECT_EQ(Uncompress(0, 4, {3, 2, 1, 1}, 1, Bytes(8, 1), out), -1);
}

TEST_F(RipicBlockTest, CompressionCode) {
  // Code to organisation {components, bits, bits, bits}, compressed, algorithm.
  auto decode = [](int code) {
    int org[4] = {}, compressed = -1, algorithm = -1, status = -9;
    const int answer = ripiccod(0, &code, org, &compressed, &algorithm, &status);
    EXPECT_EQ(status, answer);
    return std::vector<int>{answer, org[0], org[1], org[2], org[3], compressed, algorithm};
  };
  EXPECT_EQ(decode(10407), (std::vector<int>{0, 3, 8, 8, 8, 1, 7}));
  EXPECT_EQ(decode(20508), (std::vector<int>{0, 1, 16, 0, 0, 1, 8}));
  EXPECT_EQ(decode(20400), (std::vector<int>{0, 1, 8, 0, 0, 0, 0}));
  EXPECT_EQ(decode(2), (std::vector<int>{0, 1, 16, 0, 0, 1, 2})) << "old code";
  for (int bad : {10507, 30407, 10307, 10, -5}) EXPECT_EQ(decode(bad)[0], -2) << bad;

  auto encode = [](std::vector<int> org, int compressed) {
    int code = 0, algorithm = 7, status = 0;
    const int answer = ripiccod(1, &code, org.data(), &compressed, &algorithm, &status);
    return answer == 0 ? code : answer;
  };
  EXPECT_EQ(encode({3, 8, 8, 8}, 1), 10407);
  EXPECT_EQ(encode({1, 8, 0, 0}, 0), 20400);
  EXPECT_EQ(encode({1, 16, 0, 0}, 1), -3);
}

TEST_F(RipicBlockTest, DateTexts) {
  std::tm t{};
  t.tm_year = 2020 - 1900;
  t.tm_mon = 8;
  t.tm_mday = 30;
  t.tm_wday = 3;
  t.tm_yday = 273;  // 30 September of a leap year is day 274
  t.tm_hour = 14;
  t.tm_min = 5;
  t.tm_sec = 9;
  auto text = [&](int format) {
    char date[40], time[12];
    std::memset(date, '#', sizeof date);
    std::memset(time, '#', sizeof time);
    int f = 10 + format;
    if (ripicdat(date, time, &f, &t) != 0) return std::string("failed");
    EXPECT_EQ(std::string(time, 9), "14.05.09#");
    return std::string(date, 29);
  };
  EXPECT_EQ(text(0), "2020.274#####################");
  EXPECT_EQ(text(1), "30 SEPTEMBRE 2020   #########");
  EXPECT_EQ(text(2), "SEPTEMBER 30, 2020  #########");
  EXPECT_EQ(text(3), "MERCREDI 30 SEPTEMBRE 2020  #");
  EXPECT_EQ(text(4), "WEDNESDAY SEPTEMBER 30, 2020#");
  t.tm_wday = 1;
  t.tm_mon = 2;
  t.tm_mday = 2;
  EXPECT_EQ(text(4), "MONDAY  MARCH 2, 2020       #");
  EXPECT_EQ(text(5), "failed");
  t.tm_mon = 12;
  EXPECT_EQ(text(1), "failed");

  char date[28], time[8];
  int now = 4;
  ASSERT_EQ(ripicdat(date, time, &now), 0);
  EXPECT_EQ(time[2], '.');
  EXPECT_EQ(time[5], '.');
}

TEST_F(RipicBlockTest, RecordLayer) {
  const std::string path = keltest::OutputPath("ripic-records.bin");
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(file);
  Bytes body(81);
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<unsigned char>(i + 1);
  int length = 81, status = -1;
  EXPECT_EQ(write_file_padded_record(file, body.data(), &length, &status), 0);
  length = 0;
  EXPECT_EQ(write_file_padded_record(file, body.data(), &length, &status), 1);
  EXPECT_EQ(status, 1);
  length = -3;
  EXPECT_EQ(write_file_padded_record(file, body.data(), &length, &status), 0);
  EXPECT_EQ(ripic_write_item(file, "xyz", 3), 0);
  std::fclose(file);

  Bytes expected(body);
  expected.resize(160, 0);
  expected.insert(expected.end(), {0, 0, 0, 3});
  expected.resize(240, 0);
  expected.insert(expected.end(), {'x', 'y', 'z'});
  expected.resize(320, 0);
  EXPECT_EQ(pictest::Load(path), expected);

  file = std::fopen(path.c_str(), "rb");
  ASSERT_TRUE(file);
  length = -160;  // skip the first item body
  EXPECT_EQ(read_file_padded_record(file, nullptr, &length, &status), 0);
  int value = 0;
  EXPECT_EQ(lit_record_lenght(file, &value), 0);
  EXPECT_EQ(value, 3);
  char xy[2];
  length = 2;
  EXPECT_EQ(read_file_padded_record(file, xy, &length, &status), 0);
  EXPECT_EQ(std::string(xy, 2), "xy");
  EXPECT_EQ(lit_record_lenght(file, &value), -1) << "end of file";
  std::fclose(file);
}

}  // namespace

// SGI files built by hand: what the tools cannot make (shared rows, hostile
// files) and the reader's and writer's refusals. Files of the real tools are
// read in RgbFileInteropTest.
#include <kel/images/ReadRGBPixelImage.h>
#include <kel/images/WriteRGBPixelImage.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "DecodeRGBRow.h"
#include "EncodeRGBRow.h"
#include "KelTestEnv.h"
#include "ReadRGBFile.h"
#include "TiffFileBuilder.h"

namespace {

using V = std::vector<unsigned char>;

void Put32(V& b, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}
// A run-length file of width 4 and height 1 whose channel rows are given.
V RleFile(const std::vector<V>& rows) {
  V file(512 + 8 * rows.size(), 0);
  const unsigned char header[12] = {1, 218, 1, 1, 0, 2, 0, 4, 0, 1, 0, (unsigned char)rows.size()};
  std::copy(header, header + 12, file.begin());
  for (size_t i = 0; i < rows.size(); ++i) {
    Put32(file, 512 + 4 * i, static_cast<std::uint32_t>(file.size()));
    Put32(file, 512 + 4 * rows.size() + 4 * i, static_cast<std::uint32_t>(rows[i].size()));
    file.insert(file.end(), rows[i].begin(), rows[i].end());
  }
  return file;
}
std::unique_ptr<KelPixelImage> Read(const V& bytes, const std::string& name) {
  EXPECT_TRUE(keltest::WriteBytes(keltest::OutputPath(name), bytes));
  return std::unique_ptr<KelPixelImage>(
      ReadRGBPixelImage(keltest::OutputPath(name).c_str(), ReadWrite));
}

// The row scheme byte by byte: the oracle of the word-at-a-time codec.
V PlainEncode(const V& s) {
  const long width = static_cast<long>(s.size());
  V out;
  long in = 0;
  while (in < width) {
    long run = 1;
    while (in + run < width && run < 127 && s[in + run] == s[in]) ++run;
    if (run >= 3) {
      out.insert(out.end(), {static_cast<unsigned char>(run), s[in]});
      in += run;
      continue;
    }
    long end = in + 1;
    while (end < width && end - in < 127 &&
           !(end + 2 < width && s[end] == s[end + 1] && s[end] == s[end + 2]))
      ++end;
    out.push_back(static_cast<unsigned char>(0x80 | (end - in)));
    out.insert(out.end(), s.begin() + in, s.begin() + end);
    in = end;
  }
  out.push_back(0);
  return out;
}

TEST(RgbFile, RowCodecAgreesWithThePlainByteLoops) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 3000; ++trial) {
    // Runs of every length around the word size and the 127 limit.
    V row;
    const size_t width = 1 + random() % 700;
    while (row.size() < width) {
      // Noise (long literals), short runs, long runs.
      const int kind = trial % 3 ? static_cast<int>(random() % 3) : 0;
      const size_t run = 1 + random() % (kind == 0 ? 2 : kind == 1 ? 12 : 300);
      const unsigned char value = static_cast<unsigned char>(random() % (kind ? 3 : 256));
      row.insert(row.end(), std::min(run, width - row.size()), value);
    }
    const V expected = PlainEncode(row);
    V packed(static_cast<size_t>(EncodedRGBRowMaxLength(static_cast<long>(width))), 0xEE);
    const long n = EncodeRGBRow(row.data(), static_cast<long>(width), packed.data(),
                                static_cast<long>(packed.size()));
    ASSERT_EQ(V(packed.begin(), packed.begin() + std::max(n, 0L)), expected) << trial;
    // Decoding writes the row and nothing past it, even when cut short.
    const long cut = static_cast<long>(random() % (expected.size() + 1));
    V back(width + 16, 0xEE);
    const long decoded = DecodeRGBRow(packed.data(), cut, back.data(), static_cast<long>(width));
    if (cut == n) {
      ASSERT_EQ(V(back.begin(), back.begin() + decoded), row) << trial;
    }
    ASSERT_EQ(V(back.begin() + static_cast<long>(width), back.end()), V(16, 0xEE)) << trial;
  }
}

TEST(RgbFile, RowCodecRefusalsAndSharedRows) {
  // {1, 1, 1, 1, 2, 3} packed: a run past a width of 5, a literal past the
  // source, a repeat without its byte, an output too small.
  V packed(EncodedRGBRowMaxLength(6)), back(6);
  const V row = {1, 1, 1, 1, 2, 3};
  const long n = EncodeRGBRow(row.data(), 6, packed.data(), static_cast<long>(packed.size()));
  EXPECT_EQ(DecodeRGBRow(packed.data(), n, back.data(), 5), -1);
  EXPECT_EQ(DecodeRGBRow(packed.data(), 3, back.data(), 6), -1);
  EXPECT_EQ(DecodeRGBRow(packed.data(), 1, back.data(), 6), -1);
  EXPECT_EQ(EncodeRGBRow(row.data(), 6, packed.data(), 3), -1);
  // Four channels (the fourth ignored); the blue row shares the red one.
  V hand = RleFile({{4, 9, 0}, {0x84, 1, 2, 3, 4, 0}, {0}, {4, 77, 0}});
  Put32(hand, 512 + 8, 512 + 32);
  Put32(hand, 512 + 16 + 8, 3);
  auto image = Read(hand, "hand.rgb");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(keltest::ImagePixels(*image), (V{9, 1, 9, 9, 2, 9, 9, 3, 9, 9, 4, 9}));
}

TEST(RgbFile, RefusedAndMalformedFiles) {
  const V good = RleFile({{4, 9, 0}, {4, 8, 0}, {4, 7, 0}});
  ASSERT_NE(Read(good, "good.rgb"), nullptr);
  auto changed = [&good](size_t at, unsigned char byte, size_t cut = 0) {
    V bytes = good;
    bytes[at] = byte;
    bytes.resize(bytes.size() - cut);
    return bytes;
  };
  V verbatim = good;
  verbatim[2] = 0, verbatim[9] = 4;  // 4 x 4 verbatim, one byte short of three planes
  verbatim.resize(512 + 47);
  V huge = good;
  huge[6] = huge[7] = huge[8] = huge[9] = 0xEA;  // 60000 x 60000
  const std::vector<std::pair<std::string, V>> cases = {
      {"grey", RleFile({{4, 9, 0}, {4, 8, 0}})},
      {"storage", changed(2, 2)},
      {"zero", changed(7, 0)},
      {"overrun", RleFile({{4, 9, 0}, {5, 8, 0}, {4, 7, 0}})},
      {"literal", RleFile({{4, 9, 0}, {0x84, 8, 0}, {4, 7, 0}})},
      {"short", RleFile({{4, 9, 0}, {3, 8, 0}, {4, 7, 0}})},
      {"far", changed(516, 0x7F)},
      {"cut", changed(0, 1, 2)},
      {"verbatim", verbatim},
      {"huge", huge},
      {"tiny", V(100, 0)}};
  for (const auto& [name, bytes] : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(Read(bytes, name + ".rgb"), nullptr) << name;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Impossible to open RGB Image file.\n")
        << name;
  }
  long size[2] = {0, 0};
  EXPECT_EQ(ReadRGBFile(keltest::OutputPath("grey.rgb").c_str(), 1, size, nullptr), 6);
  EXPECT_EQ(ReadRGBFile(keltest::OutputPath("huge.rgb").c_str(), 1, size, nullptr), 13);
  // The second read finds another size than the first.
  long wrong[2] = {2, 1};
  V buffer(6);
  EXPECT_EQ(ReadRGBFile(keltest::OutputPath("good.rgb").c_str(), 2, wrong, buffer.data()), 13);

  KelPixelImage image(2, 2, PixelImageRGB), rgba(2, 2, PixelImageRGBA),
      wide(65536, 1, PixelImageRGB);
  EXPECT_EQ(WriteRGBPixelImage(&image, keltest::OutputPath("x.rgb").c_str(),
                               static_cast<CodingFormat>(1)),
            10);
  EXPECT_EQ(WriteRGBPixelImage(&rgba, keltest::OutputPath("x.rgb").c_str(), CodingNone), 9);
  EXPECT_EQ(WriteRGBPixelImage(&wide, keltest::OutputPath("x.rgb").c_str(), CodingNone), 9)
      << "16-bit sizes";
  testing::internal::CaptureStderr();
  EXPECT_EQ(WriteRGBPixelImage(&image, "/nonexistent/dir/x.rgb", CodingNone), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error when trying to open /nonexistent/dir/x.rgb\n");
}

}  // namespace

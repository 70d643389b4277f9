#include <kel/images/ReadRGBPixelImage.h>
#include <kel/images/WriteRGBPixelImage.h>

#include <gtest/gtest.h>

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
#include "WriteRGBFile.h"

namespace {

using V = std::vector<unsigned char>;
constexpr auto Pixels = keltest::ImagePixels;

std::string Out(const std::string& name) {
  return keltest::OutputPath("sgi_" + name);
}

void Put16(V& b, size_t at, unsigned v) {
  b[at] = static_cast<unsigned char>(v >> 8);
  b[at + 1] = static_cast<unsigned char>(v);
}
void Put32(V& b, size_t at, std::uint32_t v) {
  Put16(b, at, v >> 16);
  Put16(b, at + 2, v & 0xFFFF);
}

V Header(unsigned storage, unsigned bpc, unsigned w, unsigned h, unsigned z) {
  V b(512, 0);
  Put16(b, 0, 474);
  b[2] = static_cast<unsigned char>(storage);
  b[3] = static_cast<unsigned char>(bpc);
  Put16(b, 4, 2);  // dimension: the reader goes by the channel count
  Put16(b, 6, w);
  Put16(b, 8, h);
  Put16(b, 10, z);
  return b;
}

// A run-length file of width 4, height 1 and 4 channels whose rows are given.
V RleFile(const std::vector<V>& rows) {
  V file = Header(1, 1, 4, 1, static_cast<unsigned>(rows.size()));
  file.resize(512 + 8 * rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    Put32(file, 512 + 4 * i, static_cast<std::uint32_t>(file.size()));
    Put32(file, 512 + 4 * rows.size() + 4 * i, static_cast<std::uint32_t>(rows[i].size()));
    file.insert(file.end(), rows[i].begin(), rows[i].end());
  }
  return file;
}

std::unique_ptr<KelPixelImage> ReadFile(const V& bytes, const std::string& name) {
  const std::string path = Out(name);
  EXPECT_TRUE(keltest::WriteBytes(path, bytes));
  return std::unique_ptr<KelPixelImage>(ReadRGBPixelImage(path.c_str(), ReadWrite));
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

}  // namespace

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

TEST(RgbFile, RowCodec) {
  V packed(EncodedRGBRowMaxLength(6));
  const V row = {1, 1, 1, 1, 2, 3};
  const long n = EncodeRGBRow(row.data(), 6, packed.data(), static_cast<long>(packed.size()));
  EXPECT_EQ(V(packed.begin(), packed.begin() + n), (V{4, 1, 0x82, 2, 3, 0}));
  V back(6);
  EXPECT_EQ(DecodeRGBRow(packed.data(), n, back.data(), 6), 6);
  EXPECT_EQ(back, row);
  // A run past the width, a literal past the source, a repeat without its byte.
  EXPECT_EQ(DecodeRGBRow(packed.data(), n, back.data(), 5), -1);
  EXPECT_EQ(DecodeRGBRow(packed.data(), 3, back.data(), 6), -1);
  EXPECT_EQ(DecodeRGBRow(packed.data(), 1, back.data(), 6), -1);
  EXPECT_EQ(EncodeRGBRow(row.data(), 6, packed.data(), 3), -1);
}

TEST(RgbFile, WrittenFileLayout) {
  KelPixelImage image(3, 2, PixelImageRGB);
  unsigned char* p = image.GetPixelsToModify();
  for (int i = 0; i < 18; ++i) p[i] = static_cast<unsigned char>(10 * i);
  const std::string path = Out("layout.rgb");
  ASSERT_EQ(WriteRGBPixelImage(&image, path.c_str(), CodingNone), 0);
  const V file = keltest::ReadBytes(path);
  ASSERT_EQ(file.size(), 512u + 18u);
  // Magic 474, verbatim, 1 byte, dimension 3, 3 x 2 x 3, min 0, max 255, "ZR".
  EXPECT_EQ(V(file.begin(), file.begin() + 28),
            (V{1, 218, 0, 1, 0, 3,   0, 3, 0, 2, 0,   3,   0, 0,
               0, 0,   0, 0, 0, 255, 0, 0, 0, 0, 'Z', 'R', 0, 0}));
  EXPECT_EQ(V(file.begin() + 28, file.begin() + 512), V(484, 0));
  // Red plane in stored row order, then green, then blue.
  EXPECT_EQ(V(file.begin() + 512, file.end()),
            (V{0, 30, 60, 90, 120, 150, 10, 40, 70, 100, 130, 160, 20, 50, 80, 110, 140, 170}));

  std::unique_ptr<KelPixelImage> back(ReadRGBPixelImage(path.c_str(), ReadOnly));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(Pixels(*back), Pixels(image));
  EXPECT_EQ(back->GetPixelsToModify(), nullptr);
}

TEST(RgbFile, RunLengthFilesWrittenAndRead) {
  KelPixelImage image(2, 1, PixelImageRGB);
  unsigned char* p = image.GetPixelsToModify();
  const V rgb = {5, 6, 7, 5, 8, 9};
  std::copy(rgb.begin(), rgb.end(), p);
  long size[2] = {2, 1};
  const std::string path = Out("rle.rgb");
  ASSERT_EQ(WriteRGBFile(path.c_str(), size, 1, p), 0);
  const V file = keltest::ReadBytes(path);
  ASSERT_EQ(file.size(), 512u + 24u + 12u);
  EXPECT_EQ(file[2], 1);
  // Starts 536, 540, 544, lengths 4: a repeat of two is cheaper as literals.
  EXPECT_EQ(V(file.begin() + 512, file.end()), (V{0,    0, 2, 24, 0,    0, 2, 28, 0,    0, 2, 32,
                                                  0,    0, 0, 4,  0,    0, 0, 4,  0,    0, 0, 4,  //
                                                  0x82, 5, 5, 0,  0x82, 6, 8, 0,  0x82, 7, 9, 0}));
  std::unique_ptr<KelPixelImage> back(ReadRGBPixelImage(path.c_str(), ReadWrite));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(Pixels(*back), rgb);

  // Hand-made: four channels (the fourth ignored), the blue row shares the red one.
  V hand = RleFile({{4, 9, 0}, {0x84, 1, 2, 3, 4, 0}, {0}, {4, 77, 0}});
  Put32(hand, 512 + 8, 512 + 32);
  Put32(hand, 512 + 16 + 8, 3);
  back = ReadFile(hand, "hand.rgb");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(Pixels(*back), (V{9, 1, 9, 9, 2, 9, 9, 3, 9, 9, 4, 9}));
}

TEST(RgbFile, RefusedAndMalformedFiles) {
  const V good = RleFile({{4, 9, 0}, {4, 8, 0}, {4, 7, 0}});
  ASSERT_NE(ReadFile(good, "good.rgb"), nullptr);
  auto changed = [&good](auto change) {
    V bytes = good;
    change(bytes);
    return bytes;
  };
  V verbatim = Header(0, 1, 4, 4, 3);
  verbatim.resize(512 + 47);  // one byte short of three planes
  const std::vector<std::pair<std::string, V>> cases = {
      {"grey", RleFile({{4, 9, 0}, {4, 8, 0}})},
      {"wide", changed([](V& b) { b[3] = 2; })},
      {"storage", changed([](V& b) { b[2] = 2; })},
      {"zero", changed([](V& b) { Put16(b, 6, 0); })},
      {"overrun", RleFile({{4, 9, 0}, {5, 8, 0}, {4, 7, 0}})},
      {"literal", RleFile({{4, 9, 0}, {0x84, 8, 0}, {4, 7, 0}})},
      {"short", RleFile({{4, 9, 0}, {3, 8, 0}, {4, 7, 0}})},
      {"far", changed([](V& b) { Put32(b, 516, 0x7FFFFFF0); })},
      {"cut", changed([](V& b) { b.resize(b.size() - 2); })},
      {"verbatim", verbatim},
      {"huge", Header(1, 1, 60000, 60000, 3)},
      {"tiny", V(100, 0)}};
  for (const auto& [name, bytes] : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(ReadFile(bytes, name + ".rgb"), nullptr) << name;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Impossible to open RGB Image file.\n")
        << name;
  }
  long size[2] = {0, 0};
  EXPECT_EQ(ReadRGBFile(Out("grey.rgb").c_str(), 1, size, nullptr), 6);
  EXPECT_EQ(ReadRGBFile(Out("wide.rgb").c_str(), 1, size, nullptr), 6);
  EXPECT_EQ(ReadRGBFile(Out("huge.rgb").c_str(), 1, size, nullptr), 13);
  // The second read finds another size than the first.
  long wrong[2] = {2, 1};
  V buffer(6);
  EXPECT_EQ(ReadRGBFile(Out("good.rgb").c_str(), 2, wrong, buffer.data()), 13);
}

TEST(RgbFile, WriterRefusals) {
  KelPixelImage image(2, 2, PixelImageRGB);
  std::fill(image.GetPixelsToModify(), image.GetPixelsToModify() + 12, 1);
  EXPECT_EQ(WriteRGBPixelImage(&image, Out("x.rgb").c_str(), static_cast<CodingFormat>(1)), 10);
  KelPixelImage rgba(2, 2, PixelImageRGBA);
  EXPECT_EQ(WriteRGBPixelImage(&rgba, Out("x.rgb").c_str(), CodingNone), 9);
  // 16-bit sizes: a wider image cannot be written whole.
  KelPixelImage wide(65536, 1, PixelImageRGB);
  EXPECT_EQ(WriteRGBPixelImage(&wide, Out("wide.rgb").c_str(), CodingNone), 9);
  testing::internal::CaptureStderr();
  EXPECT_EQ(WriteRGBPixelImage(&image, "/nonexistent/dir/x.rgb", CodingNone), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error when trying to open /nonexistent/dir/x.rgb\n");
}

// TIFF files built by hand: what the tools cannot make (hostile files, exact
// corner cases) and the reader's refusal codes. Files of the real tools are
// read in TiffInteropTest.
#include <kel/images/ReadTIFFPixelImage.h>
#include <kel/images/WriteTIFFPixelImage.h>
#include <kel/images/tiffr.h>
#include <kel/images/tiffw.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "TiffFileBuilder.h"

namespace {

using V = std::vector<unsigned char>;
using B = keltest::TiffFileBuilder;

// The reader's code for a file: mode 1, then mode 2 into a buffer of the size
// mode 1 found.
int Code(const B& builder) {
  const std::string path = keltest::OutputPath("probe.tif");
  EXPECT_TRUE(builder.Write(path));
  long size[2] = {0, 0}, type = 0;
  int rc = tiffr(path.c_str(), 1, size, &type, nullptr);
  if (rc != 0) return rc;
  std::vector<char> pixels(static_cast<size_t>(size[0] * size[1] * 3));
  return tiffr(path.c_str(), 2, size, &type, pixels.data());
}

std::unique_ptr<KelPixelImage> Read(const B& builder) {
  const std::string path = keltest::OutputPath("read.tif");
  EXPECT_TRUE(builder.Write(path));
  return std::unique_ptr<KelPixelImage>(ReadTIFFPixelImage(path.c_str(), ReadWrite));
}

TEST(Tiff, BilevelStripPaddingIsNotTakenForPixels) {
  for (bool big : {true, false}) {
    // Bilevel, 10 pixels a row in 2 bytes, black is zero; the strip carries 2
    // bytes of padding that the reader must not take for pixels. File row 0
    // is the top row, so it becomes stored row 1.
    B bilevel(big);
    bilevel.Image(10, 2, 1, 1, 1).Strips({{0xA0, 0x40, 0xFF, 0xC0, 0x12, 0x34}});
    V expected(60, 255);
    const bool top[10] = {1, 0, 1, 0, 0, 0, 0, 0, 0, 1};
    for (int x = 0; x < 10; ++x)
      for (int c = 0; c < 3; ++c) expected[30 + 3 * x + c] = top[x] ? 255 : 0;
    auto image = Read(bilevel);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(keltest::ImagePixels(*image), expected) << big;
  }
}

TEST(Tiff, RefusedVariantsGiveTheirCodes) {
  auto rgb = [] { return B(false).Image(2, 2, 2, 3, 8).Strips({V(12, 9)}); };
  auto palette = [] {
    return B(true)
        .Image(2, 2, 3, 1, 8)
        .Set(320, B::SHORT, std::vector<std::uint32_t>(768, 1))
        .Strips({V(4, 0)});
  };
  const std::pair<B, int> cases[] = {
      {rgb(), 0},
      {palette(), 0},
      {rgb().Set(278, B::LONG, {0xFFFFFFFFu}), 0},  // rows per strip beyond the height
      {rgb().Remove(278), 0},
      // Strips, tiles, compressions, depths and extra samples the tools make
      // are refused in the interop tests; these are the variants they do not make.
      {rgb().Set(274, B::SHORT, {3}), 14},
      {rgb().Set(262, B::SHORT, {6}), 8},
      {rgb().Remove(262), 8},
      {rgb().Strips({V(11, 9)}), 13},
      {rgb().Set(284, B::SHORT, {2}).Strips({V(4, 1), V(4, 2), V(3, 3)}), 13},
      {palette().Remove(320), 16},
      {palette().Set(258, B::SHORT, {4}), 17},
      {palette().Set(258, B::SHORT, {8, 8, 8}), 15},
  };
  int i = 0;
  for (const auto& [file, code] : cases) EXPECT_EQ(Code(file), code) << "case " << i++;
}

TEST(Tiff, MalformedFilesNeverOverrun) {
  auto rgb = [] { return B(true).Image(4, 4, 2, 3, 8).Strips({V(48, 3)}); };
  const V file = rgb().Build();
  auto cut = [&](size_t end) { return V(file.begin(), file.begin() + static_cast<long>(end)); };
  auto with = [&](size_t at, unsigned char byte) {
    V b = file;
    b[at] = byte;
    return b;
  };
  const std::pair<V, int> bytes[] = {
      {cut(file.size() - 1), 11}, {cut(5), 11},     {cut(20), 11},  // pixel, header, directory cut
      {with(0, 'X'), 5},          {with(3, 43), 5}, {with(4, 0x7F), 11}};
  const std::string path = keltest::OutputPath("malformed.tif");
  for (const auto& [b, code] : bytes) {
    keltest::WriteBytes(path, b);
    long size[2] = {0, 0}, type;
    EXPECT_EQ(tiffr(path.c_str(), 1, size, &type, nullptr), code);
  }
  const std::pair<B, int> built[] = {
      // 40000 x 40000 x 3 passes the int range: refused before any allocation.
      {rgb().Set(256, B::LONG, {40000}).Set(257, B::LONG, {40000}), 13},
      {rgb().Set(256, B::LONG, {0}), 5},
      // 8 PackBits bytes cannot make the image; a control byte 128 fails.
      {rgb().Set(256, B::LONG, {4000}).Set(259, B::SHORT, {32773}).Strips({V(8, 0xFF)}), 18},
      {rgb().Set(259, B::SHORT, {32773}).Strips({{0x80, 0, 0, 0}}), 18},
      {rgb().Set(259, B::SHORT, {32773}).Strips({{0xD1, 1}}), 18}};
  for (const auto& [b, code] : built) EXPECT_EQ(Code(b), code);

  // The second read finds another size than the first: nothing is written.
  keltest::WriteBytes(path, file);
  long wrong[2] = {2, 2}, type;
  std::vector<char> small(12, 0);
  EXPECT_EQ(tiffr(path.c_str(), 2, wrong, &type, small.data()), 13);
  EXPECT_EQ(tiffr(path.c_str(), 3, wrong, &type, small.data()), 4);
}

TEST(Tiff, FailuresOfTheImageReaderAndWriters) {
  // An unsupported compression's message is checked in the interop tests.
  testing::internal::CaptureStderr();
  EXPECT_EQ(ReadTIFFPixelImage(keltest::OutputPath("missing.tif").c_str(), ReadWrite), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "RC when reading TIFF file is = 12\nImpossible to open file\n");
  KelPixelImage image(3, 2, PixelImageRGB), rgba(2, 2, PixelImageRGBA);
  const std::string path = keltest::OutputPath("written.tif");
  EXPECT_EQ(WriteTIFFPixelImage(&rgba, path.c_str(), CodingNone), 9);
  EXPECT_EQ(WriteTIFFPixelImage(&image, path.c_str(), static_cast<CodingFormat>(1)), 10);
  EXPECT_EQ(WriteTIFFPixelImage(&image, "/nonexistent/dir/x.tif", CodingNone), 1001);
  char pixels[18] = {};
  long size[2] = {3, 2}, bad[2] = {-1, 2}, type = 2, badType = 3;
  EXPECT_EQ(tiffw(path.c_str(), bad, &type, pixels), 4);
  EXPECT_EQ(tiffw(path.c_str(), size, &badType, pixels), 4);
}

}  // namespace

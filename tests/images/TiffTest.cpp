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

using keltest::TiffFileBuilder;

namespace {

using V = std::vector<unsigned char>;
constexpr auto Pixels = keltest::ImagePixels;
using B = TiffFileBuilder;

V Slice(const V& v, size_t from, size_t to) {
  return V(v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(to));
}

std::string Out(const std::string& name) {
  return keltest::OutputPath("tiff_" + name);
}

// Answers the reader's code for a file: mode 1, then mode 2 into a buffer of
// the size mode 1 found.
int Code(const B& builder, const std::string& name = "probe.tif") {
  const std::string path = Out(name);
  EXPECT_TRUE(builder.Write(path));
  long size[2] = {0, 0}, type = 0;
  int rc = tiffr(path.c_str(), 1, size, &type, nullptr);
  if (rc != 0) return rc;
  std::vector<char> pixels(static_cast<size_t>(size[0] * size[1] * 3));
  return tiffr(path.c_str(), 2, size, &type, pixels.data());
}

std::unique_ptr<KelPixelImage> Read(const B& builder, const std::string& name) {
  const std::string path = Out(name);
  EXPECT_TRUE(builder.Write(path));
  return std::unique_ptr<KelPixelImage>(ReadTIFFPixelImage(path.c_str(), ReadWrite));
}

}  // namespace

TEST(Tiff, WriterLaysOutTheFixedBigEndianDirectory) {
  const std::string chunky = Out("w_chunky.tif"), planar = Out("w_planar.tif");
  V pixels(18);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i + 1);
  long size[2] = {3, 2}, type = 2;
  ASSERT_EQ(tiffw(chunky.c_str(), size, &type, reinterpret_cast<char*>(pixels.data())), 0);
  V file = keltest::ReadBytes(chunky);
  ASSERT_EQ(file.size(), 156u + 18u);
  EXPECT_EQ(Slice(file, 0, 12), (V{'M', 'M', 0, 42, 0, 0, 0, 10, 0, 0, 0, 11}));
  // StripOffsets: LONG, 1, 156; StripByteCounts: LONG, 1, 18; SamplesPerPixel SHORT 3.
  EXPECT_EQ(Slice(file, 84, 96), (V{1, 17, 0, 4, 0, 0, 0, 1, 0, 0, 0, 156}));
  EXPECT_EQ(Slice(file, 96, 108), (V{1, 21, 0, 3, 0, 0, 0, 1, 0, 3, 0, 0}));
  EXPECT_EQ(Slice(file, 120, 132), (V{1, 23, 0, 4, 0, 0, 0, 1, 0, 0, 0, 18}));
  EXPECT_EQ(Slice(file, 144, 156), (V{0, 0, 0, 0, 0, 8, 0, 8, 0, 8, 0, 0}));
  EXPECT_EQ(Slice(file, 156, file.size()), pixels);

  type = 1;
  ASSERT_EQ(tiffw(planar.c_str(), size, &type, reinterpret_cast<char*>(pixels.data())), 0);
  file = keltest::ReadBytes(planar);
  ASSERT_EQ(file.size(), 180u + 18u);
  EXPECT_EQ(Slice(file, 84, 96), (V{1, 17, 0, 4, 0, 0, 0, 3, 0, 0, 0, 156}));
  EXPECT_EQ(Slice(file, 120, 132), (V{1, 23, 0, 4, 0, 0, 0, 3, 0, 0, 0, 168}));
  EXPECT_EQ(file[141], 2);  // PlanarConfiguration 2
  EXPECT_EQ(Slice(file, 156, 180),
            (V{0, 0, 0, 180, 0, 0, 0, 186, 0, 0, 0, 192, 0, 0, 0, 6, 0, 0, 0, 6, 0, 0, 0, 6}));

  for (long t : {1L, 2L}) {
    long got[2] = {3, 2}, gotType = 0;
    V back(18);
    const std::string& path = t == 1 ? planar : chunky;
    ASSERT_EQ(tiffr(path.c_str(), 2, got, &gotType, reinterpret_cast<char*>(back.data())), 0);
    EXPECT_EQ(gotType, t);
    EXPECT_EQ(back, pixels);
  }
  long bad[2] = {-1, 2};
  EXPECT_EQ(tiffw(chunky.c_str(), bad, &type, reinterpret_cast<char*>(pixels.data())), 4);
  type = 3;
  EXPECT_EQ(tiffw(chunky.c_str(), size, &type, reinterpret_cast<char*>(pixels.data())), 4);
  type = 2;
  EXPECT_EQ(tiffw("/nonexistent/dir/x.tif", size, &type, reinterpret_cast<char*>(pixels.data())),
            1);
}

TEST(Tiff, PixelImageRoundTripTurnsRowsOver) {
  KelPixelImage image(5, 3, PixelImageRGB);
  unsigned char* p = image.GetPixelsToModify();
  for (int i = 0; i < 45; ++i) p[i] = static_cast<unsigned char>(i * 5);
  const std::string path = Out("round.tif");
  ASSERT_EQ(WriteTIFFPixelImage(&image, path.c_str(), CodingNone), 0);
  // The file runs top-down: its first row is the last stored row.
  const V file = keltest::ReadBytes(path);
  EXPECT_EQ(Slice(file, 156, 171), V(p + 30, p + 45));
  std::unique_ptr<KelPixelImage> back(ReadTIFFPixelImage(path.c_str(), ReadOnly));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(Pixels(*back), Pixels(image));
  EXPECT_EQ(back->GetPixelsToModify(), nullptr);

  KelPixelImage rgba(2, 2, PixelImageRGBA);
  EXPECT_EQ(WriteTIFFPixelImage(&rgba, path.c_str(), CodingNone), 9);
  EXPECT_EQ(WriteTIFFPixelImage(&image, path.c_str(), static_cast<CodingFormat>(1)), 10);
  EXPECT_EQ(WriteTIFFPixelImage(&image, "/nonexistent/dir/x.tif", CodingNone), 1001);
}

class TiffByteOrder : public testing::TestWithParam<bool> {};

TEST_P(TiffByteOrder, PaletteGreyAndBilevel) {
  const bool big = GetParam();
  const std::string tag = big ? "mm" : "ii";
  // Palette: index 0 -> (65535, 0, 32768), index 1 -> (257, 65535, 0).
  std::vector<std::uint32_t> map(768, 0);
  map[0] = 65535, map[256] = 0, map[512] = 32768;
  map[1] = 257, map[257] = 65535, map[513] = 0;
  B palette(big);
  palette.Image(2, 1, 3, 1, 8).Set(320, B::SHORT, map).Strips({{0, 1}});
  auto image = Read(palette, "palette_" + tag + ".tif");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Pixels(*image), (V{255, 0, 127, 1, 255, 0}));

  B grey(big);
  grey.Image(2, 1, 0, 1, 8).Strips({{10, 200}});
  image = Read(grey, "grey0_" + tag + ".tif");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Pixels(*image), (V{245, 245, 245, 55, 55, 55}));
  grey.Set(262, B::SHORT, {1});
  image = Read(grey, "grey1_" + tag + ".tif");
  EXPECT_EQ(Pixels(*image), (V{10, 10, 10, 200, 200, 200}));

  // Bilevel, 10 pixels a row in 2 bytes, black is zero; the strip carries 2
  // bytes of padding that the reader must not take for pixels. File row 0 is
  // the top row, so it becomes stored row 1.
  B bilevel(big);
  bilevel.Image(10, 2, 1, 1, 1).Strips({{0xA0, 0x40, 0xFF, 0xC0, 0x12, 0x34}});
  image = Read(bilevel, "bilevel_" + tag + ".tif");
  ASSERT_NE(image, nullptr);
  V expected(60, 255);
  const bool top[10] = {1, 0, 1, 0, 0, 0, 0, 0, 0, 1};
  for (int x = 0; x < 10; ++x)
    for (int c = 0; c < 3; ++c) expected[30 + 3 * x + c] = top[x] ? 255 : 0;
  EXPECT_EQ(Pixels(*image), expected);
  // White is zero inverts.
  bilevel.Set(262, B::SHORT, {0});
  image = Read(bilevel, "bilevel0_" + tag + ".tif");
  for (auto& v : expected) v = static_cast<unsigned char>(255 - v);
  EXPECT_EQ(Pixels(*image), expected);
}

TEST_P(TiffByteOrder, PackBitsBottomUpAndPlanar) {
  const bool big = GetParam();
  const std::string tag = big ? "mm" : "ii";
  // 2 x 2 RGB, orientation 4: rows from the bottom, stored as they come.
  B packed(big);
  packed.Image(2, 2, 2, 3, 8).Set(259, B::SHORT, {32773}).Set(274, B::SHORT, {4});
  packed.Strips({{0xFB, 7, 0x05, 1, 2, 3, 4, 5, 6}});
  const std::string path = Out("packbits_" + tag + ".tif");
  ASSERT_TRUE(packed.Write(path));
  long size[2] = {0, 0}, type = 0;
  ASSERT_EQ(tiffr(path.c_str(), 1, size, &type, nullptr), 0);
  EXPECT_EQ(type, 42);
  std::unique_ptr<KelPixelImage> image(ReadTIFFPixelImage(path.c_str(), ReadWrite));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Pixels(*image), (V{7, 7, 7, 7, 7, 7, 1, 2, 3, 4, 5, 6}));

  // Planar, rows from the top: planes interleaved and turned over.
  B planar(big);
  planar.Image(2, 1, 2, 3, 8).Set(284, B::SHORT, {2}).Strips({{1, 2}, {3, 4}, {5, 6}});
  image = Read(planar, "planar_" + tag + ".tif");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Pixels(*image), (V{1, 3, 5, 2, 4, 6}));
  // One count short of a plane.
  planar.Strips({{1, 2}, {3, 4}, {5, 6}}, {2, 2, 1});
  EXPECT_EQ(Code(planar), 13);
}

INSTANTIATE_TEST_SUITE_P(BothOrders, TiffByteOrder, testing::Values(true, false));

TEST(Tiff, RefusedVariantsGiveTheirCodes) {
  auto rgb = [] {
    B b(false);
    b.Image(2, 2, 2, 3, 8).Strips({V(12, 9)});
    return b;
  };
  EXPECT_EQ(Code(rgb()), 0);
  // A RowsPerStrip beyond the height is still one strip.
  EXPECT_EQ(Code(rgb().Set(278, B::LONG, {0xFFFFFFFFu})), 0);
  EXPECT_EQ(Code(rgb().Remove(278)), 0);
  EXPECT_EQ(Code(rgb().Set(259, B::SHORT, {5})), 7);
  EXPECT_EQ(Code(rgb().Set(278, B::SHORT, {1}).Strips({V(6, 1), V(6, 2)})), 10);
  EXPECT_EQ(Code(rgb().Strips({V(6, 1), V(6, 2)})), 10);
  EXPECT_EQ(Code(rgb().Set(274, B::SHORT, {3})), 14);
  EXPECT_EQ(Code(rgb().Set(258, B::SHORT, {16, 16, 16}).Strips({V(24, 9)})), 6);
  EXPECT_EQ(Code(rgb().Set(258, B::SHORT, {8, 8, 8, 8}).Set(277, B::SHORT, {4}).Strips({V(16, 9)})),
            8);
  EXPECT_EQ(Code(rgb().Set(262, B::SHORT, {6})), 8);
  EXPECT_EQ(Code(rgb().Remove(262)), 8);
  EXPECT_EQ(Code(rgb().Strips({V(11, 9)})), 13);
  EXPECT_EQ(Code(rgb().Set(322, B::SHORT, {16}).Set(323, B::SHORT, {16})), 10);
  EXPECT_EQ(Code(rgb()
                     .Set(284, B::SHORT, {2})
                     .Set(259, B::SHORT, {32773})
                     .Strips({V(4, 0), V(4, 0), V(4, 0)})),
            7);

  B grey(true);
  grey.Image(2, 2, 1, 1, 8).Strips({V(4, 9)});
  EXPECT_EQ(Code(grey), 0);
  EXPECT_EQ(Code(B(grey).Set(258, B::SHORT, {4}).Strips({V(2, 9)})), 6);
  EXPECT_EQ(Code(B(grey).Set(258, B::SHORT, {16}).Strips({V(8, 9)})), 6);
  EXPECT_EQ(Code(B(grey).Set(258, B::SHORT, {8, 8}).Set(277, B::SHORT, {2}).Strips({V(8, 9)})), 8);

  B palette(true);
  palette.Image(2, 2, 3, 1, 8)
      .Set(320, B::SHORT, std::vector<std::uint32_t>(768, 1))
      .Strips({V(4, 0)});
  EXPECT_EQ(Code(palette), 0);
  EXPECT_EQ(Code(B(palette).Remove(320)), 16);
  EXPECT_EQ(Code(B(palette).Set(258, B::SHORT, {4})), 17);
  EXPECT_EQ(Code(B(palette).Set(258, B::SHORT, {8, 8, 8})), 15);
}

TEST(Tiff, MalformedFilesNeverOverrun) {
  B rgb(true);
  rgb.Image(4, 4, 2, 3, 8).Strips({V(48, 3)});
  V file = rgb.Build();
  const std::string path = Out("malformed.tif");
  long size[2], type;
  auto codeOf = [&](const V& bytes) {
    keltest::WriteBytes(path, bytes);
    size[0] = size[1] = 0;
    return tiffr(path.c_str(), 1, size, &type, nullptr);
  };
  EXPECT_EQ(codeOf(V(file.begin(), file.end() - 1)), 11);  // last pixel byte missing
  EXPECT_EQ(codeOf(V(file.begin(), file.begin() + 5)), 11);
  EXPECT_EQ(codeOf(V(file.begin(), file.begin() + 20)), 11);  // directory cut
  V mark = file;
  mark[0] = 'X';
  EXPECT_EQ(codeOf(mark), 5);
  V answer = file;
  answer[3] = 43;
  EXPECT_EQ(codeOf(answer), 5);
  V farDirectory = file;
  farDirectory[4] = 0x7F;
  EXPECT_EQ(codeOf(farDirectory), 11);

  // 40000 x 40000 x 3 passes the int range: refused before any allocation.
  EXPECT_EQ(Code(B(rgb).Set(256, B::LONG, {40000}).Set(257, B::LONG, {40000})), 13);
  EXPECT_EQ(Code(B(rgb).Set(256, B::LONG, {0})), 5);
  // 8 PackBits bytes cannot make a 4 x 4 x 3 image...
  EXPECT_EQ(Code(B(rgb).Set(256, B::LONG, {4000}).Set(259, B::SHORT, {32773}).Strips({V(8, 0xFF)})),
            18);
  // ... and a control byte 128 fails the decoding.
  EXPECT_EQ(Code(B(rgb).Set(259, B::SHORT, {32773}).Strips({{0x80, 0, 0, 0}})), 18);
  EXPECT_EQ(Code(B(rgb).Set(259, B::SHORT, {32773}).Strips({{0xD1, 1}})), 18);

  // The second read finds another size than the first: nothing is written.
  keltest::WriteBytes(path, file);
  long wrong[2] = {2, 2};
  std::vector<char> small(12, 0);
  EXPECT_EQ(tiffr(path.c_str(), 2, wrong, &type, small.data()), 13);
  EXPECT_EQ(tiffr(path.c_str(), 3, wrong, &type, small.data()), 4);
}

TEST(Tiff, ReadFailureMessages) {
  B lzw(false);
  lzw.Image(2, 2, 2, 3, 8).Set(259, B::SHORT, {5}).Strips({V(12, 9)});
  ASSERT_TRUE(lzw.Write(Out("lzw.tif")));
  for (auto [name, message] :
       {std::make_pair("missing.tif", "= 12\nImpossible to open file\n"),
        std::make_pair("lzw.tif", "= 7\nThis compression algorithm is not supported\n")}) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(ReadTIFFPixelImage(Out(name).c_str(), ReadWrite), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("RC when reading TIFF file is ") + message);
  }
}

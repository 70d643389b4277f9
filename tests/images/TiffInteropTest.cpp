// TIFF files of the library read by libtiff, netpbm and ImageMagick, and files
// of those tools read by the library.
#include <kel/images/ReadTIFFPixelImage.h>
#include <kel/images/WriteTIFFPixelImage.h>
#include <kel/images/tiffr.h>
#include <kel/images/tiffw.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "InteropTools.h"

using namespace keltest;

namespace {

class TiffInterop : public testing::Test {
 protected:
  void SetUp() override {
    KEL_REQUIRE_TOOLS("tiffinfo", "tiffcp", "tiffcmp", "tiffset", "pnmtotiff", "tifftopnm",
                      "pnmquant", "ppmtopgm", "pgmtopbm", "ppmtoppm", kConvert);
  }
  // The library's pixels of a file, or nothing.
  static std::vector<unsigned char> Read(const std::string& path) {
    std::unique_ptr<KelPixelImage> image(ReadTIFFPixelImage(path.c_str(), ReadWrite));
    return image ? ImagePixels(*image) : std::vector<unsigned char>();
  }
};

TEST_F(TiffInterop, LibraryFilesReadByTheTools) {
  for (auto [w, h] : std::vector<std::pair<int, int>>{{37, 23}, {1, 1}, {131, 7}}) {
    const std::string tag = std::to_string(w) + "x" + std::to_string(h);
    const Ppm photo = MakePhoto(w, h, 11u * w + h);
    const std::string ppm = OutputPath(tag + ".ppm"), chunky = OutputPath(tag + "_chunky.tif"),
                      planar = OutputPath(tag + "_planar.tif"),
                      reference = OutputPath(tag + "_ref.tif");
    ASSERT_TRUE(WritePpm(ppm, photo));
    std::vector<unsigned char> stored = photo.StoredRGB();
    KelPixelImage image(w, h, PixelImageRGB, stored.data());
    ASSERT_EQ(WriteTIFFPixelImage(&image, chunky.c_str(), CodingNone), 0);
    // Planes run from the top row, as tiffw expects.
    std::vector<unsigned char> planes(3 * static_cast<size_t>(w) * h);
    for (size_t i = 0; i < planes.size(); ++i) planes[i % 3 * w * h + i / 3] = photo.samples[i];
    long size[2] = {w, h}, type = 1;
    ASSERT_EQ(tiffw(planar.c_str(), size, &type, reinterpret_cast<char*>(planes.data())), 0);
    for (const std::string& file : {chunky, planar}) {
      EXPECT_EQ(ReadPpm("tifftopnm " + Quote(file)).samples, photo.samples) << file;
      EXPECT_EQ(ReadPpm(kConvert + " " + Quote(file) + " ppm:-").samples, photo.samples) << file;
    }
    // Same tags and scanlines as the tools' own file of the same picture.
    ASSERT_EQ(Shell("pnmtotiff -truecolor -rowsperstrip " + std::to_string(h) + " " + Quote(ppm) +
                    " > " + Quote(reference)),
              0);
    EXPECT_EQ(Shell("tiffcmp " + Quote(chunky) + " " + Quote(reference)), 0);
  }
}

TEST_F(TiffInterop, ToolFilesReadByTheLibrary) {
  const std::string H = "23", ppm = OutputPath("photo.ppm"), pgm = OutputPath("grey.pgm"),
                    pbm = OutputPath("bits.pbm"), base = OutputPath("base.tif");
  ASSERT_TRUE(WritePpm(ppm, MakePhoto(37, 23, 5)));
  ASSERT_EQ(Shell("ppmtopgm " + Quote(ppm) + " > " + Quote(pgm) + " && pgmtopbm -threshold " +
                  Quote(pgm) + " > " + Quote(pbm)),
            0);
  ASSERT_EQ(
      Shell("pnmtotiff -truecolor -rowsperstrip " + H + " " + Quote(ppm) + " > " + Quote(base)), 0);
  // name, command writing it (without its output file), source picture, first two bytes.
  std::vector<std::tuple<std::string, std::string, std::string, std::string>> cases;
  for (std::string order : {"-B", "-L"}) {
    const std::string mark = order == "-B" ? "MM" : "II";
    for (std::string compression : {"none", "packbits"})
      cases.emplace_back(
          "rgb" + order + compression + ".tif",
          "tiffcp " + order + " -c " + compression + " -p contig -r " + H + " " + Quote(base), ppm,
          mark);
    cases.emplace_back("planar" + order + ".tif",
                       "tiffcp " + order + " -c none -p separate -r " + H + " " + Quote(base), ppm,
                       mark);
  }
  for (std::string endian : {"msb", "lsb"})
    for (std::string compression : {"None", "RLE"})
      cases.emplace_back("im_" + endian + compression + ".tif",
                         kConvert + " " + Quote(ppm) + " -define tiff:endian=" + endian +
                             " -compress " + compression + " -define tiff:rows-per-strip=" + H,
                         ppm, endian == "msb" ? "MM" : "II");
  for (std::string photometric : {"-minisblack", "-miniswhite"})
    for (std::string compression : {"-none", "-packbits"})
      for (const std::string& source : {pgm, pbm})
        for (std::string order : {"", "-B"}) {
          const std::string name =
              "grey" + photometric + compression + order + std::to_string(source == pbm) + ".tif";
          const std::string native = OutputPath("native_" + name);
          cases.emplace_back(name,
                             "pnmtotiff " + photometric + " " + compression + " -rowsperstrip " +
                                 H + " " + Quote(source) + " > " + Quote(native) + " && tiffcp " +
                                 order + " -r " + H + " " + Quote(native),
                             source, order.empty() ? "" : "MM");
        }
  // Palette files of a picture reduced to 50 colours of 8 bits, so that the
  // 16-bit colour maps hold each colour exactly.
  const std::string reduced = OutputPath("reduced.ppm");
  ASSERT_EQ(Shell("pnmquant 50 " + Quote(ppm) + " > " + Quote(reduced)), 0);
  const std::string native = OutputPath("palette_native.tif");
  cases.emplace_back("palette_netpbm.tif",
                     "pnmtotiff -rowsperstrip " + H + " " + Quote(reduced) + " > " + Quote(native) +
                         " && tiffcp -B -c packbits -r " + H + " " + Quote(native),
                     reduced, "MM");
  cases.emplace_back("palette_im.tif",
                     kConvert + " " + Quote(reduced) +
                         " -type Palette -compress none -define tiff:endian=msb "
                         "-define tiff:rows-per-strip=" +
                         H,
                     reduced, "MM");
  for (const auto& [name, command, source, mark] : cases) {
    SCOPED_TRACE(name);
    const std::string path = OutputPath(name);
    ASSERT_EQ(Shell(command + " " + Quote(path)), 0) << command;
    const std::vector<unsigned char> head = ReadBytes(path);
    if (!mark.empty()) {
      EXPECT_EQ(std::string(head.begin(), head.begin() + 2), mark);
    }
    if (name.rfind("palette", 0) == 0) {
      EXPECT_EQ(Shell("tiffinfo " + Quote(path) + " | grep -q 'palette color'"), 0);
    }
    const std::vector<unsigned char> expected = ReadPpm("ppmtoppm < " + Quote(source)).StoredRGB();
    ASSERT_EQ(expected.size(), 3u * 37 * 23);
    EXPECT_EQ(Read(path), expected);
  }
  // Orientation 4: the rows come from the bottom and are stored as they come.
  for (auto [orientation, options] : {std::pair{4, "-B -c none -r "}, {1, "-L -c packbits -r "}}) {
    const std::string path = OutputPath("orientation" + std::to_string(orientation) + ".tif");
    ASSERT_EQ(Shell(std::string("tiffcp ") + options + H + " " + Quote(base) + " " + Quote(path) +
                    " && tiffset -s 274 " + std::to_string(orientation) + " " + Quote(path)),
              0);
    EXPECT_EQ(Read(path), ReadPpm("ppmtoppm < " + Quote(ppm)).StoredRGB(orientation == 4));
  }
}

TEST_F(TiffInterop, RefusedVariantsGiveTheirCodes) {
  const std::string H = "23", ppm = OutputPath("refused.ppm"), pgm = OutputPath("refused.pgm"),
                    base = OutputPath("refused_base.tif"),
                    define = " -define tiff:rows-per-strip=23 ";
  ASSERT_TRUE(WritePpm(ppm, MakePhoto(37, 23, 9)));
  ASSERT_EQ(
      Shell("ppmtopgm " + Quote(ppm) + " > " + Quote(pgm) +
            " && pnmtotiff -truecolor -rowsperstrip " + H + " " + Quote(ppm) + " > " + Quote(base)),
      0);
  const std::vector<std::tuple<std::string, std::string, int>> cases = {
      {"lzw.tif", "tiffcp -c lzw -r " + H + " " + Quote(base), 7},
      {"strips.tif", "tiffcp -c none -r 4 " + Quote(base), 10},
      {"tiles.tif", "tiffcp -c none -t -w 16 -l 16 " + Quote(base), 10},
      {"planar_packbits.tif", "tiffcp -c packbits -p separate -r " + H + " " + Quote(base), 7},
      {"depth16.tif", kConvert + " " + Quote(ppm) + " -depth 16 -compress none" + define, 6},
      {"rgba.tif",
       kConvert + " " + Quote(ppm) + " -alpha set -type TrueColorAlpha -compress none" + define, 8},
      {"grey_alpha.tif",
       kConvert + " " + Quote(pgm) + " -alpha set -type GrayscaleAlpha -compress none" + define, 8},
      {"grey4.tif", kConvert + " " + Quote(pgm) + " -depth 4 -compress none" + define, 6},
  };
  for (const auto& [name, command, code] : cases) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Shell(command + " " + Quote(OutputPath(name))), 0) << command;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(Read(OutputPath(name)).empty());
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind(
                  "RC when reading TIFF file is = " + std::to_string(code) + "\n", 0),
              0u);
  }
}

}  // namespace

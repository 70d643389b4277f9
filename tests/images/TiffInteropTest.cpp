#include <kel/images/ReadTIFFPixelImage.h>
#include <kel/images/WriteTIFFPixelImage.h>
#include <kel/images/tiffr.h>
#include <kel/images/tiffw.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "InteropTools.h"
#include "KelTestEnv.h"

using namespace keltest;

namespace {

std::string Out(const std::string& name) {
  return OutputPath("tiffinterop_" + name);
}

class TiffInterop : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"tiffinfo", "tiffcp", "tiffcmp", "tiffset"})
      KEL_REQUIRE(ToolExists(tool), std::string("libtiff-tools: ") + tool);
    for (const char* tool : {"pnmtotiff", "tifftopnm", "pnmquant"})
      KEL_REQUIRE(ToolExists(tool), std::string("netpbm: ") + tool);
    KEL_REQUIRE(ToolExists(kConvert), "ImageMagick: /usr/bin/convert");
  }

  // Decodes a file with a tool into netpbm form.
  static Pnm Decode(const std::string& command) {
    Pnm pnm;
    EXPECT_TRUE(ParsePnm(Capture(command), pnm)) << command;
    return pnm;
  }

  static std::unique_ptr<KelPixelImage> Read(const std::string& path) {
    return std::unique_ptr<KelPixelImage>(ReadTIFFPixelImage(path.c_str(), ReadWrite));
  }

  static int Code(const std::string& path) {
    long size[2] = {0, 0}, type = 0;
    return tiffr(path.c_str(), 1, size, &type, nullptr);
  }
};

}  // namespace

TEST_F(TiffInterop, LibraryFilesReadByTheTools) {
  for (auto [w, h] : std::vector<std::pair<int, int>>{{37, 23}, {1, 1}, {131, 7}}) {
    const std::string tag = std::to_string(w) + "x" + std::to_string(h);
    const Pnm photo = MakePhoto(w, h, 3, 11u * w + h);
    const std::string ppm = Out(tag + ".ppm"), chunky = Out(tag + "_chunky.tif"),
                      planar = Out(tag + "_planar.tif");
    ASSERT_TRUE(WritePnm(ppm, photo));
    std::vector<unsigned char> stored = photo.StoredRGB();
    KelPixelImage image(w, h, PixelImageRGB, stored.data());
    ASSERT_EQ(WriteTIFFPixelImage(&image, chunky.c_str(), CodingNone), 0);

    // Planes run from the top row, as tiffw expects.
    std::vector<unsigned char> planes(3 * static_cast<size_t>(w) * h);
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i)
      for (size_t c = 0; c < 3; ++c) planes[c * w * h + i] = photo.samples[3 * i + c];
    long size[2] = {w, h}, type = 1;
    ASSERT_EQ(tiffw(planar.c_str(), size, &type, reinterpret_cast<char*>(planes.data())), 0);

    for (const std::string& file : {chunky, planar}) {
      const Pnm decoded = Decode("tifftopnm " + Quote(file));
      EXPECT_EQ((std::vector<int>{decoded.width, decoded.height}), (std::vector<int>{w, h}));
      EXPECT_EQ(decoded.samples, photo.samples) << file;
      EXPECT_EQ(Decode(kConvert + " " + Quote(file) + " ppm:-").samples, photo.samples) << file;
    }
    // Same tags and scanlines as the tools' own file of the same picture.
    const std::string reference = Out(tag + "_reference.tif");
    ASSERT_EQ(Shell("pnmtotiff -truecolor -rowsperstrip " + std::to_string(h) + " " + Quote(ppm) +
                    " > " + Quote(reference)),
              0);
    EXPECT_EQ(Shell("tiffcmp " + Quote(chunky) + " " + Quote(reference)), 0);
  }
}

TEST_F(TiffInterop, ToolFilesReadByTheLibrary) {
  const int w = 37, h = 23;
  const std::string H = std::to_string(h);
  const Pnm photo = MakePhoto(w, h, 3, 5), grey = MakePhoto(w, h, 1, 6), bits = MakeBits(29, 9);
  const std::string ppm = Out("photo.ppm"), pgm = Out("grey.pgm"), pbm = Out("bits.pbm");
  ASSERT_TRUE(WritePnm(ppm, photo) && WritePnm(pgm, grey) && WritePnm(pbm, bits));
  const std::string base = Out("base.tif");
  ASSERT_EQ(
      Shell("pnmtotiff -truecolor -rowsperstrip " + H + " " + Quote(ppm) + " > " + Quote(base)), 0);

  struct Case {
    std::string name, command;
    std::vector<unsigned char> expected;
    std::string order;  // "MM", "II" or empty
  };
  std::vector<Case> cases;
  const auto tiffcp = [&](const std::string& name, const std::string& options,
                          const std::string& from, std::vector<unsigned char> expected) {
    cases.push_back({name, "tiffcp " + options + " " + Quote(from) + " " + Quote(Out(name)),
                     std::move(expected), options[1] == 'B' ? "MM" : "II"});
  };
  for (std::string order : {"-B", "-L"}) {
    for (std::string compression : {"none", "packbits"})
      tiffcp("rgb" + order + compression + ".tif",
             order + " -c " + compression + " -p contig -r " + H, base, photo.StoredRGB());
    tiffcp("planar" + order + ".tif", order + " -c none -p separate -r " + H, base,
           photo.StoredRGB());
  }
  for (std::string endian : {"msb", "lsb"})
    for (std::string compression : {"None", "RLE"})
      cases.push_back({"im_" + endian + compression + ".tif",
                       kConvert + " " + Quote(ppm) + " -define tiff:endian=" + endian +
                           " -compress " + compression + " -define tiff:rows-per-strip=" + H + " " +
                           Quote(Out("im_" + endian + compression + ".tif")),
                       photo.StoredRGB(), endian == "msb" ? "MM" : "II"});
  for (std::string photometric : {"-minisblack", "-miniswhite"})
    for (std::string compression : {"-none", "-packbits"})
      for (const auto& [source, pnm, kind] :
           {std::make_tuple(pgm, &grey, "grey"), std::make_tuple(pbm, &bits, "bilevel")}) {
        const std::string name = kind + photometric + compression + ".tif",
                          rows = std::to_string(pnm->height);
        cases.push_back({name,
                         "pnmtotiff " + photometric + " " + compression + " -rowsperstrip " + rows +
                             " " + Quote(source) + " > " + Quote(Out(name)),
                         pnm->StoredRGB(), ""});
        tiffcp("mm_" + name, "-B -r " + rows, Out(name), pnm->StoredRGB());
      }
  // Orientation 4: the rows come from the bottom and are stored as they come.
  for (auto [orientation, options] :
       {std::make_pair(4, "-B -c none -r "), std::make_pair(1, "-L -c packbits -r ")}) {
    const std::string name = "orientation" + std::to_string(orientation) + ".tif";
    tiffcp(name, options + H, base, photo.StoredRGB(orientation == 4));
    cases.back().command +=
        " && tiffset -s 274 " + std::to_string(orientation) + " " + Quote(Out(name));
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Shell(c.command), 0) << c.command;
    const std::string path = Out(c.name);
    if (!c.order.empty()) {
      const std::vector<unsigned char> head = ReadBytes(path);
      ASSERT_GE(head.size(), 2u);
      EXPECT_EQ(std::string(head.begin(), head.begin() + 2), c.order);
    }
    auto image = Read(path);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(ImagePixels(*image), c.expected);
  }

  // Palette files of a picture reduced to 50 colours of 8 bits, so that the
  // 16-bit colour maps hold each colour exactly.
  const std::string reduced = Out("reduced.ppm");
  ASSERT_EQ(Shell("pnmquant 50 " + Quote(ppm) + " > " + Quote(reduced)), 0);
  Pnm colours;
  ASSERT_TRUE(ParsePnm(Capture("cat " + Quote(reduced)), colours));
  const std::vector<std::pair<std::string, std::string>> palettes = {
      {"palette_netpbm.tif", "pnmtotiff -rowsperstrip " + H + " " + Quote(reduced) + " > "},
      {"palette_im.tif",
       kConvert + " " + Quote(reduced) +
           " -type Palette -compress none -define tiff:endian=msb -define tiff:rows-per-strip=" +
           H + " "},
      {"palette_mm_packbits.tif",
       "tiffcp -B -c packbits -r " + H + " " + Quote(Out("palette_netpbm.tif")) + " "},
  };
  for (const auto& [name, command] : palettes) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Shell(command + Quote(Out(name))), 0) << command;
    ASSERT_NE(Capture("tiffinfo " + Quote(Out(name))).find("palette color"), std::string::npos);
    auto image = Read(Out(name));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(ImagePixels(*image), colours.StoredRGB());
  }
}

TEST_F(TiffInterop, RefusedVariantsGiveTheirCodes) {
  const int w = 37, h = 23;
  const std::string H = std::to_string(h);
  const std::string ppm = Out("refused.ppm"), pgm = Out("refused.pgm"),
                    base = Out("refused_base.tif");
  ASSERT_TRUE(WritePnm(ppm, MakePhoto(w, h, 3, 9)) && WritePnm(pgm, MakePhoto(w, h, 1, 10)));
  ASSERT_EQ(
      Shell("pnmtotiff -truecolor -rowsperstrip " + H + " " + Quote(ppm) + " > " + Quote(base)), 0);
  const std::string define = " -define tiff:rows-per-strip=" + H + " ";
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
    ASSERT_EQ(Shell(command + " " + Quote(Out(name))), 0) << command;
    EXPECT_EQ(Code(Out(name)), code);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Read(Out(name)), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind(
                  "RC when reading TIFF file is = " + std::to_string(code) + "\n", 0),
              0u);
  }
}

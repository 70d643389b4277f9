#include <kel/images/ReadRGBPixelImage.h>
#include <kel/images/WriteRGBPixelImage.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "InteropTools.h"
#include "KelTestEnv.h"
#include "WriteRGBFile.h"

using namespace keltest;

namespace {

std::string Out(const std::string& name) {
  return OutputPath("sgiinterop_" + name);
}

class RgbFileInterop : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"sgitopnm", "pnmtosgi"})
      KEL_REQUIRE(ToolExists(tool), std::string("netpbm: ") + tool);
    KEL_REQUIRE(ToolExists(kConvert), "ImageMagick: /usr/bin/convert");
  }
};

}  // namespace

TEST_F(RgbFileInterop, LibraryFilesReadByTheTools) {
  for (auto [w, h] : std::vector<std::pair<int, int>>{{37, 23}, {1, 1}, {301, 5}}) {
    const std::string tag = std::to_string(w) + "x" + std::to_string(h);
    const Pnm photo = MakePhoto(w, h, 3, 3u * w + h);
    std::vector<unsigned char> stored = photo.StoredRGB();
    KelPixelImage image(w, h, PixelImageRGB, stored.data());
    const std::string verbatim = Out(tag + ".rgb"), rle = Out(tag + "_rle.rgb");
    ASSERT_EQ(WriteRGBPixelImage(&image, verbatim.c_str(), CodingNone), 0);
    long size[2] = {w, h};
    ASSERT_EQ(WriteRGBFile(rle.c_str(), size, 1, stored.data()), 0);
    for (const std::string& file : {verbatim, rle}) {
      SCOPED_TRACE(file);
      // A colour image, not grey: the header says three channels in three dimensions.
      for (const std::string& decoder :
           {"sgitopnm " + Quote(file), kConvert + " sgi:" + Quote(file) + " ppm:-"}) {
        Pnm pnm;
        ASSERT_TRUE(ParsePnm(Capture(decoder), pnm)) << decoder;
        EXPECT_EQ((std::vector<int>{pnm.channels, pnm.width, pnm.height}),
                  (std::vector<int>{3, w, h}));
        EXPECT_EQ(pnm.samples, photo.samples);
      }
    }
  }
}

TEST_F(RgbFileInterop, ToolFilesReadByTheLibrary) {
  const Pnm photo = MakePhoto(45, 17, 3, 21);
  const std::string ppm = Out("photo.ppm");
  ASSERT_TRUE(WritePnm(ppm, photo));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"netpbm_verbatim.rgb", "pnmtosgi -verbatim " + Quote(ppm) + " > "},
      {"netpbm_rle.rgb", "pnmtosgi -rle " + Quote(ppm) + " > "},
      {"im_none.rgb", kConvert + " " + Quote(ppm) + " -compress none sgi:"},
      {"im_rle.rgb", kConvert + " " + Quote(ppm) + " -compress RLE sgi:"},
  };
  for (const auto& [name, command] : cases) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Shell(command + Quote(Out(name))), 0) << command;
    const std::vector<unsigned char> head = ReadBytes(Out(name));
    ASSERT_GE(head.size(), 3u);
    EXPECT_EQ(head[2], name.find("rle") != std::string::npos ? 1 : 0);
    std::unique_ptr<KelPixelImage> image(ReadRGBPixelImage(Out(name).c_str(), ReadWrite));
    ASSERT_NE(image, nullptr);
    // Row 0 of the file is the bottom row, the first stored row.
    EXPECT_EQ(ImagePixels(*image), photo.StoredRGB());
  }
}

TEST_F(RgbFileInterop, RefusedVariants) {
  const std::string ppm = Out("refused.ppm"), pgm = Out("refused.pgm");
  ASSERT_TRUE(WritePnm(ppm, MakePhoto(9, 4, 3, 1)) && WritePnm(pgm, MakePhoto(9, 4, 1, 2)));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"depth16.rgb", kConvert + " " + Quote(ppm) + " -depth 16 -compress none sgi:"},
      {"depth16_rle.rgb", kConvert + " " + Quote(ppm) + " -depth 16 -compress RLE sgi:"},
      {"grey.rgb", "pnmtosgi " + Quote(pgm) + " > "},
  };
  for (const auto& [name, command] : cases) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Shell(command + Quote(Out(name))), 0) << command;
    testing::internal::CaptureStderr();
    EXPECT_EQ(ReadRGBPixelImage(Out(name).c_str(), ReadWrite), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Impossible to open RGB Image file.\n");
  }
}

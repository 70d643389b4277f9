// SGI files of the library read by netpbm and ImageMagick, and files of those
// tools read by the library.
#include <kel/images/ReadRGBPixelImage.h>
#include <kel/images/WriteRGBPixelImage.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "InteropTools.h"
#include "WriteRGBFile.h"

using namespace keltest;

namespace {

class RgbFileInterop : public testing::Test {
 protected:
  void SetUp() override { KEL_REQUIRE_TOOLS("sgitopnm", "pnmtosgi", "ppmtopgm", kConvert); }
};

TEST_F(RgbFileInterop, LibraryFilesReadByTheTools) {
  for (auto [w, h] : std::vector<std::pair<int, int>>{{37, 23}, {1, 1}, {301, 5}}) {
    const std::string tag = std::to_string(w) + "x" + std::to_string(h);
    const Ppm photo = MakePhoto(w, h, 3u * w + h);
    std::vector<unsigned char> stored = photo.StoredRGB();
    KelPixelImage image(w, h, PixelImageRGB, stored.data());
    const std::string verbatim = OutputPath(tag + ".rgb"), rle = OutputPath(tag + "_rle.rgb");
    ASSERT_EQ(WriteRGBPixelImage(&image, verbatim.c_str(), CodingNone), 0);
    long size[2] = {w, h};
    ASSERT_EQ(WriteRGBFile(rle.c_str(), size, 1, stored.data()), 0);
    // A colour image, not grey: sgitopnm makes a PPM only of three channels.
    for (const std::string& file : {verbatim, rle}) {
      EXPECT_EQ(ReadPpm("sgitopnm " + Quote(file)).samples, photo.samples) << file;
      EXPECT_EQ(ReadPpm(kConvert + " sgi:" + Quote(file) + " ppm:-").samples, photo.samples)
          << file;
    }
  }
}

TEST_F(RgbFileInterop, ToolFilesReadByTheLibraryOrRefused) {
  const Ppm photo = MakePhoto(45, 17, 21);
  const std::string ppm = OutputPath("photo.ppm");
  ASSERT_TRUE(WritePpm(ppm, photo));
  // Name, command without its output file, whether the library reads it.
  const std::vector<std::tuple<std::string, std::string, bool>> cases = {
      {"netpbm_verbatim.rgb", "pnmtosgi -verbatim " + Quote(ppm) + " >", true},
      {"netpbm_rle.rgb", "pnmtosgi -rle " + Quote(ppm) + " >", true},
      {"im_none.rgb", kConvert + " " + Quote(ppm) + " -compress none sgi:", true},
      {"im_rle.rgb", kConvert + " " + Quote(ppm) + " -compress RLE sgi:", true},
      {"depth16.rgb", kConvert + " " + Quote(ppm) + " -depth 16 -compress none sgi:", false},
      {"depth16_rle.rgb", kConvert + " " + Quote(ppm) + " -depth 16 -compress RLE sgi:", false},
      {"grey.rgb", "ppmtopgm " + Quote(ppm) + " | pnmtosgi >", false}};
  for (const auto& [name, command, readable] : cases) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Shell(command + (command.back() == ':' ? "" : " ") + Quote(OutputPath(name))), 0)
        << command;
    std::unique_ptr<KelPixelImage> image(ReadRGBPixelImage(OutputPath(name).c_str(), ReadWrite));
    if (readable) {
      ASSERT_NE(image, nullptr);
      // Row 0 of the file is the bottom row, the first stored row.
      EXPECT_EQ(ImagePixels(*image), photo.StoredRGB());
    } else {
      EXPECT_EQ(image, nullptr);  // its message: RgbFileTest
    }
  }
}

}  // namespace

#include <kel/images/ReadPicturePixelImage.h>
#include <kel/images/ripicwdt.h>

#include <memory>

#include "PictureTestFiles.h"

namespace {

using pictest::Bytes;
using PicturePixelImageTest = pictest::PictureTest;

std::string WritePicture(const std::string& name, int width, int height, Bytes& planes) {
  const std::string path = keltest::OutputPath(name);
  int code = 1, size[2] = {width, height};
  EXPECT_EQ(ripicwdt(path.c_str(), &code, size, planes.data()), 0);
  return path;
}

TEST_F(PicturePixelImageTest, FirstFileLineBecomesLastStoredRow) {
  // 2 x 2 planes: red, green, blue, lines from the top.
  Bytes planes = {1, 2, 3, 4, 11, 12, 13, 14, 21, 22, 23, 24};
  const std::string path = WritePicture("picture-image.pic", 2, 2, planes);
  std::unique_ptr<KelPixelImage> image(ReadPicturePixelImage(path.c_str(), ReadWrite));
  ASSERT_TRUE(image);
  int width = 0, height = 0;
  image->GetSize(width, height);
  EXPECT_EQ((std::vector<int>{width, height, image->GetFormat()}),
            (std::vector<int>{2, 2, PixelImageRGB}));
  const unsigned char* p = image->GetPixelsToRead();
  EXPECT_EQ(Bytes(p, p + 12), (Bytes{3, 13, 23, 4, 14, 24, 1, 11, 21, 2, 12, 22}));
  EXPECT_TRUE(image->GetPixelsToModify());

  std::unique_ptr<KelPixelImage> locked(ReadPicturePixelImage(path.c_str(), ReadOnly));
  ASSERT_TRUE(locked);
  EXPECT_FALSE(locked->GetPixelsToModify());
}

TEST_F(PicturePixelImageTest, FailuresAreReportedAndAnswerNull) {
  auto read = [](const std::string& path) {
    testing::internal::CaptureStderr();
    std::unique_ptr<KelPixelImage> image(ReadPicturePixelImage(path.c_str(), ReadWrite));
    EXPECT_FALSE(image);
    return testing::internal::GetCapturedStderr();
  };
  EXPECT_EQ(read(keltest::OutputPath("missing.pic")),
            "Error: RC when reading Picture Header is = -5\n");

  pictest::FileBuilder bad;
  bad.Preamble(1);
  bad.Description(0, 1, 4, 36);
  bad.PixelHeader(8, 1, 10407, 1, 8, 0);
  bad.Item({0, 5, 8, 5});  // zero count
  bad.Item({8, 5});
  bad.Item({8, 5});
  bad.End();
  EXPECT_EQ(read(bad.Save("picture-badblock.pic")),
            "Error : RC when reading Picture file is = -3\n");

  // Headers whose image cannot exist, or cannot be in so small a file: refused
  // before the buffer is allocated.
  auto sized = [](int height) {
    pictest::FileBuilder f;
    f.Preamble(1);
    f.Description(0, 1, 4, 262144);
    f.PixelHeader(262144, height, 10407, 1, 262144, 0);
    for (int i = 0; i < 3; ++i) f.Item({255, 0});
    f.End();
    return f.Save("picture-" + std::to_string(height) + ".pic");
  };
  EXPECT_EQ(read(sized(9000)), "Error: RC when reading Picture Header is = -11\n");
  EXPECT_EQ(read(sized(2000)), "Error : RC when reading Picture file is = -1\n");
}

}  // namespace

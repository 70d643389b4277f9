// Images written in each format read back with the library's readers (and
// libpng), and failed writes that leave the target as it was.
#include <gtest/gtest.h>

#include <kel/images/KelPixelImage.h>
#include <kel/images/ReadPicturePixelImage.h>
#include <kel/images/ReadRGBPixelImage.h>
#include <kel/images/ReadTIFFPixelImage.h>

#include <dirent.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <string>

#include "KelImageFileWriter.h"
#include "KelPngImage.h"
#include "KelRenderProcess.h"
#include "KelTestEnv.h"

namespace {

// A picture whose every pixel differs, with different rows bottom and top.
std::unique_ptr<KelPixelImage> Gradient(int w, int h) {
  auto image = std::make_unique<KelPixelImage>(w, h, PixelImageRGB);
  unsigned char* p = image->GetPixelsToModify();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* q = p + 3 * (y * w + x);
      q[0] = static_cast<unsigned char>(x * 7);
      q[1] = static_cast<unsigned char>(y * 11);
      q[2] = static_cast<unsigned char>((x + y) * 3 + 1);
    }
  return image;
}

// The writer tests' own directory: other tests run kelrender beside them.
std::string WriterPath(const std::string& name) {
  const std::string dir = keltest::OutputPath("writer");
  mkdir(dir.c_str(), 0755);
  return dir + "/" + name;
}

bool SamePixels(const KelPixelImage& a, const KelPixelImage& b) {
  int aw, ah, bw, bh;
  a.GetSize(aw, ah);
  b.GetSize(bw, bh);
  return aw == bw && ah == bh && a.GetFormat() == b.GetFormat() &&
         std::equal(a.GetPixelsToRead(), a.GetPixelsToRead() + 3 * aw * ah, b.GetPixelsToRead());
}

// No temporary file of the writer is left in `dir`.
int LeftoverTemporaries(const std::string& dir) {
  int n = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) n += std::string(e->d_name).rfind(".kelrender-", 0) == 0;
    closedir(d);
  }
  return n;
}

TEST(KelImageFileWriter, EveryFormatReadsBackTheSamePixelsRowsInOrder) {
  const std::unique_ptr<KelPixelImage> image = Gradient(37, 23);
  for (const char* name : {"writer.png", "writer.tif", "writer.rgb", "writer.pic"}) {
    const std::string path = WriterPath(name);
    KelImageFileWriter writer(path);
    std::string error;
    ASSERT_TRUE(writer.Open(error)) << name << ": " << error;
    ASSERT_TRUE(writer.Write(*image, error)) << name << ": " << error;
    std::unique_ptr<KelPixelImage> back;
    switch (writer.GetFormat()) {
      case KelImageFileWriter::PNG:
        back.reset(KelPngImage::Read(path));
        break;
      case KelImageFileWriter::TIFF:
        back.reset(ReadTIFFPixelImage(path.c_str(), ReadWrite));
        break;
      case KelImageFileWriter::SGI:
        back.reset(ReadRGBPixelImage(path.c_str(), ReadWrite));
        break;
      default:
        back.reset(ReadPicturePixelImage(path.c_str(), ReadWrite));
    }
    ASSERT_NE(back, nullptr) << name;
    EXPECT_TRUE(SamePixels(*image, *back)) << name;
    // A new file gets the usual permissions, not the private ones of a
    // temporary file.
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & 0044, 0u) << name;
  }
  EXPECT_EQ(LeftoverTemporaries(WriterPath("")), 0);
}

TEST(KelImageFileWriter, UnwritableTargetsAreKnownAtOpen) {
  std::string error;
  KelImageFileWriter missingDir(WriterPath("no-such-dir/a.png"));
  EXPECT_FALSE(missingDir.Open(error));
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;

  const std::string dir = WriterPath("writer-dir.png");
  mkdir(dir.c_str(), 0755);
  KelImageFileWriter directory(dir);
  EXPECT_FALSE(directory.Open(error));
  EXPECT_NE(error.find("directory"), std::string::npos) << error;

  KelImageFileWriter unknown(WriterPath("a.bmp"));
  EXPECT_FALSE(unknown.Open(error));
  EXPECT_NE(error.find("unknown image format"), std::string::npos) << error;
}

TEST(KelImageFileWriter, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  const std::string path = WriterPath("writer-keep.tif");
  {
    std::ofstream old(path);
    old << "precious";
  }
  // The library's writers take RGB images only.
  KelPixelImage rgba(4, 4, PixelImageRGBA);
  for (const char* name : {"writer-keep.tif", "writer-keep.png"}) {
    const std::string target = WriterPath(name);
    KelImageFileWriter writer(target);
    std::string error;
    ASSERT_TRUE(writer.Open(error)) << error;
    EXPECT_FALSE(writer.Write(rgba, error));
    EXPECT_NE(error.find("RGB"), std::string::npos) << error;
  }
  EXPECT_EQ(kelrendertest::ReadText(path), "precious");
  EXPECT_EQ(LeftoverTemporaries(WriterPath("")), 0);

  // Opened but never written: the temporary goes with the writer.
  {
    KelImageFileWriter abandoned(WriterPath("writer-abandoned.png"));
    std::string e;
    ASSERT_TRUE(abandoned.Open(e));
  }
  EXPECT_EQ(LeftoverTemporaries(WriterPath("")), 0);
}

}  // namespace

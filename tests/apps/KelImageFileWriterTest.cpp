// Pictures written in each format read back with the library's readers (and
// libpng); where they go through links, FIFOs and devices; and failed writes
// that name the path and the system's reason and leave the target as it was.
#include <gtest/gtest.h>

#include <kel/images/KelPixelImage.h>
#include <kel/images/ReadPicturePixelImage.h>
#include <kel/images/ReadRGBPixelImage.h>
#include <kel/images/ReadTIFFPixelImage.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "KelImageFileWriter.h"
#include "KelPngImage.h"
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

bool SamePixels(const KelPixelImage& a, const KelPixelImage& b) {
  int aw, ah, bw, bh;
  a.GetSize(aw, ah);
  b.GetSize(bw, bh);
  return aw == bw && ah == bh && a.GetFormat() == b.GetFormat() &&
         std::equal(a.GetPixelsToRead(), a.GetPixelsToRead() + 3 * aw * ah, b.GetPixelsToRead());
}

std::string Text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Temporary files of the writer left in the test's folder.
int LeftoverTemporaries() {
  int n = 0;
  if (DIR* d = opendir(keltest::OutputPath("").c_str())) {
    while (dirent* e = readdir(d)) n += std::string(e->d_name).rfind(".kelrender-", 0) == 0;
    closedir(d);
  }
  return n;
}

bool WriteTo(const std::string& path, KelPixelImage& image, std::string& error) {
  KelImageFileWriter writer(path);
  return writer.Open(error) && writer.Write(image, error);
}

TEST(KelImageFileWriter, EveryFormatReadsBackTheSamePixelsRowsInOrder) {
  const std::unique_ptr<KelPixelImage> image = Gradient(37, 23);
  struct Format {
    const char* name;
    KelPixelImage* (*read)(const std::string&);
  };
  const Format formats[] = {
      {"a.png", [](const std::string& p) { return KelPngImage::Read(p); }},
      {"a.TIF", [](const std::string& p) { return ReadTIFFPixelImage(p.c_str(), ReadWrite); }},
      {"a.rgb", [](const std::string& p) { return ReadRGBPixelImage(p.c_str(), ReadWrite); }},
      {"a.pic", [](const std::string& p) { return ReadPicturePixelImage(p.c_str(), ReadWrite); }}};
  for (const Format& f : formats) {
    const std::string path = keltest::OutputPath(f.name);
    std::string error;
    ASSERT_TRUE(WriteTo(path, *image, error)) << f.name << ": " << error;
    std::unique_ptr<KelPixelImage> back(f.read(path));
    ASSERT_NE(back, nullptr) << f.name;
    EXPECT_TRUE(SamePixels(*image, *back)) << f.name;
    // A new file gets the usual permissions, not the private ones of a
    // temporary file.
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & 0044, 0u) << f.name;
  }
  EXPECT_EQ(LeftoverTemporaries(), 0);
}

TEST(KelImageFileWriter, LinksAreFollowedAndSpecialFilesWrittenInPlace) {
  const std::unique_ptr<KelPixelImage> image = Gradient(4, 3);
  std::string error;
  // Two links in a row to a file of restricted permissions.
  const std::string target = keltest::OutputPath("target.png");
  std::ofstream(target) << "old";
  chmod(target.c_str(), 0640);
  for (const char* name : {"inner.png", "outer.png", "pipe"})
    unlink(keltest::OutputPath(name).c_str());
  ASSERT_EQ(symlink("target.png", keltest::OutputPath("inner.png").c_str()), 0);
  ASSERT_EQ(
      symlink(keltest::OutputPath("inner.png").c_str(), keltest::OutputPath("outer.png").c_str()),
      0);
  ASSERT_TRUE(WriteTo(keltest::OutputPath("outer.png"), *image, error)) << error;
  struct stat st;
  ASSERT_EQ(lstat(keltest::OutputPath("outer.png").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  std::unique_ptr<KelPixelImage> back(KelPngImage::Read(target));
  ASSERT_TRUE(back);
  EXPECT_TRUE(SamePixels(*image, *back));

  // A FIFO without an extension gets PNG, written into it, and stays a FIFO.
  const std::string fifo = keltest::OutputPath("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  ASSERT_TRUE(WriteTo(fifo, *image, error)) << error;
  char bytes[4096];
  const ssize_t n = read(reader, bytes, sizeof bytes);
  close(reader);
  ASSERT_GT(n, 8);
  EXPECT_EQ(std::string(bytes + 1, 3), "PNG");
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(LeftoverTemporaries(), 0);
}

TEST(KelImageFileWriter, FailuresNameThePathAndTheReasonAndKeepTheOldFile) {
  const std::unique_ptr<KelPixelImage> image = Gradient(200, 200);
  KelPixelImage rgba(4, 4, PixelImageRGBA);
  const std::string old = keltest::OutputPath("old.tif");
  std::ofstream(old) << "precious";
  struct Case {
    std::string path;
    KelPixelImage* image;
    long long fileSize;  // a disk that fills after so many bytes
    const char* reason;
  };
  const Case cases[] = {
      {old, image.get(), 1000, "File too large"},
      {keltest::OutputPath("old.png"), image.get(), 1000, "File too large"},
      {old, &rgba, 0, "not an RGB image"},
      {"/dev/full", image.get(), 0, "No space left on device"},
      {keltest::OutputPath("no-such-dir/a.png"), image.get(), 0, "No such file or directory"},
      {keltest::OutputPath("dir.png"), image.get(), 0, "it is a directory"},
      {keltest::OutputPath("a.bmp"), image.get(), 0, "unknown image format"},
  };
  std::ofstream(keltest::OutputPath("old.png")) << "precious";
  mkdir(keltest::OutputPath("dir.png").c_str(), 0755);
  for (const Case& c : cases) {
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    if (c.fileSize) {
      struct rlimit small = saved;
      small.rlim_cur = static_cast<rlim_t>(c.fileSize);
      setrlimit(RLIMIT_FSIZE, &small);
    }
    std::string error;
    const bool written = WriteTo(c.path, *c.image, error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(written) << c.path;
    EXPECT_NE(error.find("'" + c.path + "'"), std::string::npos) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  EXPECT_EQ(Text(old), "precious");
  EXPECT_EQ(Text(keltest::OutputPath("old.png")), "precious");
  EXPECT_EQ(LeftoverTemporaries(), 0);
}

}  // namespace

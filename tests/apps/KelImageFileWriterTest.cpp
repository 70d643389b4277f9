// Where pictures go through links, FIFOs and devices, and failed writes that
// name the path and the system's reason and leave the target as it was. (The
// formats' contents are checked on kelrender's pictures.)
#include <gtest/gtest.h>

#include <kel/images/KelPixelImage.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "KelImageFileWriter.h"
#include "KelPngImage.h"
#include "KelTestEnv.h"
#include "KelXSession.h"

namespace {

// A picture of noise: no format makes it much smaller.
std::unique_ptr<KelPixelImage> Noise(int w, int h) {
  auto image = std::make_unique<KelPixelImage>(w, h, PixelImageRGB);
  unsigned x = 1;
  for (int i = 0; i < 3 * w * h; ++i)
    image->GetPixelsToModify()[i] =
        static_cast<unsigned char>((x = x * 1103515245u + 12345u) >> 16);
  return image;
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

TEST(KelImageFileWriter, LinksAreFollowedAndSpecialFilesWrittenInPlace) {
  const std::unique_ptr<KelPixelImage> image = Noise(4, 3);
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
  EXPECT_EQ(keltest::CountDifferentPixels(*image, *back, 0), 0);
  // A new file gets the usual permissions, not the private ones of the
  // temporary file it was.
  ASSERT_TRUE(WriteTo(keltest::OutputPath("new.tif"), *image, error)) << error;
  ASSERT_EQ(stat(keltest::OutputPath("new.tif").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & 0044, 0u);

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
  const std::unique_ptr<KelPixelImage> image = Noise(200, 200);
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
      {keltest::OutputPath("dir.png"), image.get(), 0, "it is a directory"},
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
  for (const std::string& kept : {old, keltest::OutputPath("old.png")}) {
    const std::vector<unsigned char> bytes = keltest::ReadBytes(kept);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "precious") << kept;
  }
  EXPECT_EQ(LeftoverTemporaries(), 0);
}

}  // namespace

#include "KelReferencePicture.h"

#include <kel/images/KelPixelImage.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "KelPngImage.h"
#include "KelTestEnv.h"

namespace keltest {

void ExpectLike(const KelPixelImage& actual, const KelPixelImage& expected,
                const std::string& name) {
  int w = 0, h = 0, ew = 0, eh = 0;
  actual.GetSize(w, h);
  expected.GetSize(ew, eh);
  ASSERT_EQ(w, ew) << name;
  ASSERT_EQ(h, eh) << name;
  ASSERT_EQ(actual.GetFormat(), PixelImageRGB) << name;
  ASSERT_EQ(expected.GetFormat(), PixelImageRGB) << name;
  constexpr int kTolerance = 24;
  KelPixelImage diff(w, h, PixelImageRGB);
  unsigned char* d = diff.GetPixelsToModify();
  const unsigned char* a = actual.GetPixelsToRead();
  const unsigned char* e = expected.GetPixelsToRead();
  int differing = 0;
  for (int i = 0; i < w * h; ++i) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a[3 * i + c] - e[3 * i + c]));
    const bool bad = worst > kTolerance;
    differing += bad;
    const auto faded = static_cast<unsigned char>((e[3 * i] + e[3 * i + 1] + e[3 * i + 2]) / 9);
    d[3 * i] = bad ? 255 : faded;
    d[3 * i + 1] = d[3 * i + 2] = bad ? 0 : faded;
  }
  if (differing > w * h / 200) {
    KelPngImage::Write(actual, OutputPath(name + ".actual.png"));
    KelPngImage::Write(diff, OutputPath(name + ".diff.png"));
    ADD_FAILURE() << name << ": " << differing << " pixels differ (at most " << w * h / 200
                  << " may); see " << OutputPath(name + ".diff.png");
  }
}

void ExpectLikeReference(const KelPixelImage& actual, const std::string& reference) {
  const std::string path = DataPath(reference + ".png");
  const char* update = std::getenv("KEL_UPDATE_REFERENCES");
  if (update && std::string(update) == "1") {
    ASSERT_TRUE(KelPngImage::Write(actual, path)) << path;
    return;
  }
  std::unique_ptr<KelPixelImage> expected(KelPngImage::Read(path));
  ASSERT_NE(expected, nullptr) << "no reference " << path << " (KEL_UPDATE_REFERENCES=1 makes it)";
  const std::string::size_type slash = reference.find_last_of('/');
  ExpectLike(actual, *expected,
             slash == std::string::npos ? reference : reference.substr(slash + 1));
}

}  // namespace keltest

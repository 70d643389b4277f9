// kelrender end to end through the OpenGL driver: the built-in assembly and
// meshes written by the test, compared with the reference pictures in
// tests/data/kelrender.
//
// KEL_UPDATE_REFERENCES=1 rewrites the references from what is drawn; look at
// every picture before committing it. A mismatch writes <name>.actual.png and
// <name>.diff.png (differing pixels in red over the faded reference) to the
// test output directory.
#include <gtest/gtest.h>

#include <kel/images/KelPixelImage.h>
#include <kel/images/ReadPicturePixelImage.h>
#include <kel/images/ReadRGBPixelImage.h>
#include <kel/images/ReadTIFFPixelImage.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "KelPngImage.h"
#include "KelRenderMeshFiles.h"
#include "KelRenderProcess.h"
#include "KelRenderStatus.h"
#include "KelTestEnv.h"

namespace {

using kelrendertest::Outcome;
using kelrendertest::RunKelrender;

constexpr int kWidth = 240;
constexpr int kHeight = 180;

class KelRenderPictures : public testing::Test {
 protected:
  std::string Path(const std::string& name) {
    const std::string dir = keltest::OutputPath("kelrender");
    mkdir(dir.c_str(), 0755);
    return dir + "/" + name;
  }

  // Runs kelrender at the test size into `output`; false (with the reason
  // recorded) unless it drew and wrote the picture.
  bool Render(std::vector<std::string> args, const std::string& output) {
    args.insert(args.end(), {"--size", std::to_string(kWidth) + "x" + std::to_string(kHeight),
                             "--output", output});
    const Outcome o = RunKelrender(args);
    if (o.status == KELRENDER_DRAW_FAILED) {
      missingDriver = o.err;
      return false;
    }
    EXPECT_EQ(o.status, KELRENDER_OK) << o.err;
    for (const char* step : {"load", "cull", "draw", "write", "wrote"})
      EXPECT_NE(o.out.find(step), std::string::npos) << step << " missing from\n" << o.out;
    return o.status == KELRENDER_OK;
  }

  // Compares with tolerance: renderers may place an edge pixel differently,
  // but a missing or misplaced part shows.
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
    const int allowed = w * h / 200;
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
    if (differing > allowed) {
      KelPngImage::Write(actual, keltest::OutputPath(name + ".actual.png"));
      KelPngImage::Write(diff, keltest::OutputPath(name + ".diff.png"));
      ADD_FAILURE() << name << ": " << differing << " pixels differ (at most " << allowed
                    << " may); see " << keltest::OutputPath(name + ".diff.png");
    }
  }

  void ExpectMatchesReference(const std::string& picture, const std::string& name) {
    std::unique_ptr<KelPixelImage> actual(KelPngImage::Read(picture));
    ASSERT_NE(actual, nullptr) << picture;
    const std::string reference = keltest::DataPath("kelrender/" + name + ".png");
    const char* update = std::getenv("KEL_UPDATE_REFERENCES");
    if (update && std::string(update) == "1") {
      ASSERT_TRUE(KelPngImage::Write(*actual, reference)) << reference;
      return;
    }
    std::unique_ptr<KelPixelImage> expected(KelPngImage::Read(reference));
    ASSERT_NE(expected, nullptr) << "no reference " << reference
                                 << " (KEL_UPDATE_REFERENCES=1 makes it)";
    ExpectLike(*actual, *expected, name);
  }

  std::string missingDriver;
};

#define KEL_REQUIRE_DRAWN(rendered)                                                     \
  do {                                                                                  \
    const bool drawn = (rendered);                                                      \
    KEL_REQUIRE(drawn || missingDriver.empty(), "the OpenGL driver: " + missingDriver); \
    ASSERT_TRUE(drawn);                                                                 \
  } while (0)

TEST_F(KelRenderPictures, DefaultAssemblyMatchesItsReference) {
  const std::string png = Path("default.png");
  KEL_REQUIRE_DRAWN(Render({}, png));
  ExpectMatchesReference(png, "default");
}

TEST_F(KelRenderPictures, DrawingSheetMatchesItsReference) {
  const std::string png = Path("sheet.png");
  KEL_REQUIRE_DRAWN(Render({"--2d"}, png));
  ExpectMatchesReference(png, "sheet_2d");
}

TEST_F(KelRenderPictures, StlAndObjWrittenByTheTestMatchTheirReferences) {
  const std::string stl = Path("bracket.stl"), obj = Path("nut.obj");
  kelrendertest::WriteBinaryStl(stl, kelrendertest::Bracket());
  kelrendertest::WriteObj(obj);

  const std::string stlPng = Path("bracket.png");
  KEL_REQUIRE_DRAWN(Render({stl}, stlPng));
  ExpectMatchesReference(stlPng, "bracket_stl");

  const std::string objPng = Path("nut.png");
  ASSERT_TRUE(Render(
      {obj, "--view", "30,40", "--projection", "parallel", "--background", "#204060"}, objPng));
  ExpectMatchesReference(objPng, "nut_obj_parallel");
  // The background is the colour asked for, exactly.
  std::unique_ptr<KelPixelImage> picture(KelPngImage::Read(objPng));
  ASSERT_TRUE(picture);
  const unsigned char* corner = picture->GetPixelsToRead();
  EXPECT_EQ(corner[0], 0x20);
  EXPECT_EQ(corner[1], 0x40);
  EXPECT_EQ(corner[2], 0x60);
}

TEST_F(KelRenderPictures, EveryFormatHoldsTheSamePicture) {
  const std::string png = Path("formats.png");
  KEL_REQUIRE_DRAWN(Render({"--view", "front"}, png));
  std::unique_ptr<KelPixelImage> reference(KelPngImage::Read(png));
  ASSERT_TRUE(reference);
  struct Format {
    const char* name;
    KelPixelImage* (*read)(const char*, ReadOnlyState);
  };
  const Format formats[] = {{"formats.tif", ReadTIFFPixelImage},
                            {"formats.rgb", ReadRGBPixelImage},
                            {"formats.pic", ReadPicturePixelImage}};
  for (const Format& f : formats) {
    const std::string path = Path(f.name);
    ASSERT_TRUE(Render({"--view", "front"}, path)) << f.name;
    std::unique_ptr<KelPixelImage> back(f.read(path.c_str(), ReadOnly));
    ASSERT_NE(back, nullptr) << f.name;
    ExpectLike(*back, *reference, f.name);
  }
}

}  // namespace

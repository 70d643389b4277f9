// kelrender end to end through the OpenGL driver: the built-in assembly and a
// mesh against reference pictures in tests/data/kelrender, and pictures
// measured against what geometry says they must show.
#include <gtest/gtest.h>

#include <kel/images/KelPixelImage.h>
#include <kel/images/ReadPicturePixelImage.h>
#include <kel/images/ReadRGBPixelImage.h>
#include <kel/images/ReadTIFFPixelImage.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "KelAppStatus.h"
#include "KelPngImage.h"
#include "KelRenderMeshFiles.h"
#include "KelRenderProcess.h"
#include "KelTestEnv.h"

namespace {

using kelrendertest::RunKelrender;

constexpr int kWidth = 240;
constexpr int kHeight = 180;

// What a picture shows on a black background (rows from the bottom).
struct Coverage {
  std::unique_ptr<KelPixelImage> image;
  int lit = 0;  // pixels that are not background
  int x0 = kWidth, x1 = -1, y0 = kHeight, y1 = -1;
  std::set<int> colours;
  // Something drawn within a pixel of (x, y).
  bool LitNear(int x, int y) const {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const unsigned char* p = image->GetPixelsToRead() + 3 * ((y + dy) * kWidth + x + dx);
        if (p[0] || p[1] || p[2]) return true;
      }
    return false;
  }
};

class KelRenderPictures : public testing::Test {
 protected:
  // Runs kelrender at the test size into `name` in the test's folder; the
  // picture, or null (with the failure recorded).
  std::unique_ptr<KelPixelImage> Render(std::vector<std::string> args, const std::string& name) {
    const std::string output = keltest::OutputPath(name);
    args.insert(args.end(), {"--size", std::to_string(kWidth) + "x" + std::to_string(kHeight),
                             "--output", output});
    last = RunKelrender(args);
    EXPECT_EQ(last.status, KELAPP_OK) << last.err;
    return std::unique_ptr<KelPixelImage>(last.status == KELAPP_OK ? KelPngImage::Read(output)
                                                                   : nullptr);
  }

  // The same on black, measured.
  Coverage Measure(std::vector<std::string> args, const std::string& name) {
    args.insert(args.end(), {"--background", "0,0,0"});
    Coverage c;
    c.image = Render(args, name);
    if (!c.image) return c;
    EXPECT_EQ(last.err.find("warning"), std::string::npos) << name << ": " << last.err;
    const unsigned char* p = c.image->GetPixelsToRead();
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x, p += 3) {
        c.colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
        if (!(p[0] || p[1] || p[2])) continue;
        ++c.lit;
        c.x0 = std::min(c.x0, x), c.x1 = std::max(c.x1, x);
        c.y0 = std::min(c.y0, y), c.y1 = std::max(c.y1, y);
      }
    return c;
  }

  keltest::ChildOutcome last;
};

TEST_F(KelRenderPictures, SheetAssemblyAndMeshFileMatchTheirReferences) {
  const std::unique_ptr<KelPixelImage> sheet = Render({"--2d", "--samples", "1"}, "sheet.png");
  ASSERT_TRUE(sheet);
  keltest::ExpectMatchesReference(*sheet, keltest::DataPath("kelrender/sheet_2d.png"), "sheet_2d");
  const std::unique_ptr<KelPixelImage> assembly = Render({}, "default.png");
  ASSERT_TRUE(assembly);
  keltest::ExpectMatchesReference(*assembly, keltest::DataPath("kelrender/default.png"), "default");
  const std::string stl = keltest::OutputPath("bracket.stl");
  kelrendertest::WriteBinaryStl(stl, kelrendertest::Bracket());
  const std::unique_ptr<KelPixelImage> bracket =
      Render({stl, "--view", "30,40", "--background", "#204060"}, "bracket.png");
  ASSERT_TRUE(bracket);
  keltest::ExpectMatchesReference(*bracket, keltest::DataPath("kelrender/bracket_stl.png"),
                                  "bracket_stl");
  // The background is the colour asked for, exactly.
  const unsigned char* corner = bracket->GetPixelsToRead();
  EXPECT_EQ(corner[0] << 16 | corner[1] << 8 | corner[2], 0x204060);
}

TEST_F(KelRenderPictures, EveryFormatAndTheStandardOutputHoldTheSamePicture) {
  const std::unique_ptr<KelPixelImage> reference = Render({"--view", "front"}, "formats.png");
  ASSERT_TRUE(reference);
  struct Format {
    const char* name;
    KelPixelImage* (*read)(const char*, ReadOnlyState);
  };
  const Format formats[] = {{"formats.tif", ReadTIFFPixelImage},
                            {"formats.rgb", ReadRGBPixelImage},
                            {"formats.pic", ReadPicturePixelImage}};
  for (const Format& f : formats) {
    Render({"--view", "front"}, f.name);
    std::unique_ptr<KelPixelImage> back(f.read(keltest::OutputPath(f.name).c_str(), ReadOnly));
    ASSERT_NE(back, nullptr) << f.name;
    keltest::ExpectMatchesReference(*back, keltest::OutputPath("formats.png"), f.name);
  }
  // "-o -": PNG on the standard output, the report on the standard error.
  const keltest::ChildOutcome o = RunKelrender({"--view", "front", "-s", "240x180", "-o", "-"});
  ASSERT_EQ(o.status, KELAPP_OK) << o.err;
  EXPECT_NE(o.err.find("wrote -"), std::string::npos) << o.err;
  std::ofstream(keltest::OutputPath("stdout.png"), std::ios::binary) << o.out;
  std::unique_ptr<KelPixelImage> piped(KelPngImage::Read(keltest::OutputPath("stdout.png")));
  ASSERT_NE(piped, nullptr);
  keltest::ExpectMatchesReference(*piped, keltest::OutputPath("formats.png"), "stdout");
}

TEST_F(KelRenderPictures, AnyScaleFillsThePictureInBothProjections) {
  // An iso view shows a cube as a regular hexagon; framed to 90 % of the
  // height, centred, its corners are 81 pixels from the centre: its area is
  // 3 sqrt(3) / 2 81^2.
  const double hexagon = 3 * std::sqrt(3.0) / 2 * 81 * 81;
  for (float size : {1e-6f, 0.05f, 1e5f, 1e6f}) {
    const std::string name = "cube" + std::to_string(size);
    const float h = size / 2;
    kelrendertest::WriteBinaryStl(keltest::OutputPath(name + ".stl"),
                                  kelrendertest::Box(-h, -h, -h, h, h, h));
    for (const char* projection : {"parallel", "conic"}) {
      const Coverage c = Measure({keltest::OutputPath(name + ".stl"), "-p", projection},
                                 name + projection + ".png");
      // Perspective shows the near corner larger and the far ones smaller.
      const double tolerance = projection[0] == 'p' ? 0.03 : 0.15;
      EXPECT_NEAR(c.lit, hexagon, tolerance * hexagon) << name << " " << projection;
      EXPECT_NEAR(c.y1 - c.y0 + 1, 0.9 * kHeight, 3) << name << " " << projection;
      EXPECT_NEAR(c.x0 + c.x1, kWidth, 4) << name << " " << projection;  // centred
      EXPECT_NEAR(c.y0 + c.y1, kHeight, 4) << name << " " << projection;
    }
  }
}

TEST_F(KelRenderPictures, GltfStandsUpAndPointsAndLinesAreDrawn) {
  // A box three times taller along y than across: upright in a glTF file,
  // lying (seen end on) when z is said to be up.
  const std::string gltf = keltest::OutputPath("tall.gltf");
  kelrendertest::WriteGltfBox(gltf, 1, 3, 1);
  const Coverage upright = Measure({gltf, "-v", "front", "-p", "parallel"}, "upright.png");
  EXPECT_NEAR(double(upright.y1 - upright.y0 + 1) / (upright.x1 - upright.x0 + 1), 3.0, 0.1);
  const Coverage lying = Measure({gltf, "-v", "front", "-p", "parallel", "-u", "z"}, "lying.png");
  EXPECT_NEAR(double(lying.y1 - lying.y0 + 1) / (lying.x1 - lying.x0 + 1), 1.0, 0.05);

  // 20 x 20 points 8.5 pixels apart: a dot each.
  const std::string ply = keltest::OutputPath("cloud.ply");
  kelrendertest::WritePlyPoints(ply, 20);
  const Coverage cloud = Measure({ply, "-v", "front", "-p", "parallel"}, "cloud.png");
  EXPECT_GE(cloud.lit, 400);
  EXPECT_LE(cloud.lit, 4 * 400);

  // A square outline 162 pixels wide and its diagonals: lit along them, dark
  // between them.
  const std::string obj = keltest::OutputPath("lines.obj");
  kelrendertest::WriteObjLines(obj);
  const Coverage lines = Measure({obj, "-v", "front", "-p", "parallel"}, "lines.png");
  ASSERT_TRUE(lines.image);
  EXPECT_TRUE(lines.LitNear(kWidth / 2, kHeight / 2));            // the diagonals cross
  EXPECT_TRUE(lines.LitNear(kWidth / 2 - 81, kHeight / 2 + 40));  // the left side
  EXPECT_TRUE(lines.LitNear(kWidth / 2 + 40, kHeight / 2 + 40));  // a diagonal
  EXPECT_FALSE(lines.LitNear(kWidth / 2, kHeight / 2 + 40));      // between them
}

TEST_F(KelRenderPictures, MultisamplingBlendsEdgesUnlessTurnedOff) {
  const std::string stl = keltest::OutputPath("cube.stl");
  kelrendertest::WriteBinaryStl(stl, kelrendertest::Box(0, 0, 0, 1, 1, 1));
  // One sample: the background, three flat faces and their edge colour.
  const Coverage aliased = Measure({stl, "--samples", "1"}, "aliased.png");
  EXPECT_LE(aliased.colours.size(), 8u);
  // By default the silhouette and the edges (some 600 pixels) blend.
  const Coverage smooth = Measure({stl}, "smooth.png");
  ASSERT_TRUE(smooth.image);
  int blended = 0;
  for (int i = 0; i < kWidth * kHeight; ++i) {
    const unsigned char* p = smooth.image->GetPixelsToRead() + 3 * i;
    blended += !aliased.colours.count(p[0] << 16 | p[1] << 8 | p[2]);
  }
  EXPECT_GT(blended, 300);
}

TEST_F(KelRenderPictures, PictureOfNothingButBackgroundIsToldOf) {
  // Points in the background's own colour.
  const std::string obj = keltest::OutputPath("hidden.obj");
  std::ofstream(keltest::OutputPath("hidden.mtl")) << "newmtl bg\nKd 0.2 0.2 0.2\n";
  std::ofstream(obj) << "mtllib hidden.mtl\nusemtl bg\nv 0 0 0\nv 1 0 0\nv 0 1 1\np 1 2 3\n";
  Render({obj, "--background", "51,51,51"}, "hidden.png");
  EXPECT_NE(last.err.find("warning: the picture holds nothing but background"), std::string::npos)
      << last.err;
}

TEST_F(KelRenderPictures, LargestSideIsAcceptedOneMoreIsNot) {
  const std::string png = keltest::OutputPath("wide.png");
  const keltest::ChildOutcome wide = RunKelrender({"-s", "16384x4", "-o", png});
  ASSERT_EQ(wide.status, KELAPP_OK) << wide.err;
  std::unique_ptr<KelPixelImage> picture(KelPngImage::Read(png));
  ASSERT_TRUE(picture);
  int w = 0, h = 0;
  picture->GetSize(w, h);
  EXPECT_EQ(w, 16384);
  const keltest::ChildOutcome over = RunKelrender({"-s", "16385x4", "-o", png});
  EXPECT_EQ(over.status, KELAPP_USAGE);
  EXPECT_NE(over.err.find("16385x4"), std::string::npos) << over.err;
}

TEST_F(KelRenderPictures, LargestPictureIsRefusedCleanlyWithoutTheMemory) {
  if (kelrendertest::kSanitized) return;
  // 16384 x 16384 needs 0.8 GB for the picture and 2 GB for the buffers.
  const std::string png = keltest::OutputPath("huge.png");
  keltest::ChildLimits limits;
  limits.addressSpace = 1536ll << 20;
  const keltest::ChildOutcome o = RunKelrender({"-s", "16384x16384", "-o", png}, limits);
  EXPECT_EQ(o.signal, 0) << o.err;
  EXPECT_EQ(o.status, KELAPP_DRAW_FAILED) << o.err;
  EXPECT_NE(o.err.find("16384 x 16384"), std::string::npos) << o.err;
  EXPECT_EQ(access(png.c_str(), F_OK), -1);
}

}  // namespace

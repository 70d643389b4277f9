// The command line of kelrender, the camera directions of its views and the
// image format chosen by the output's extension.
#include <gtest/gtest.h>

#include <kel/framework/Keldirection3f.h>

#include <cmath>
#include <string>
#include <vector>

#include "KelImageFileWriter.h"
#include "KelRenderJob.h"
#include "KelRenderOptions.h"

namespace {

bool Parse(std::vector<std::string> args, KelRenderOptions& options, std::string& error) {
  args.insert(args.begin(), "kelrender");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  return options.Parse(static_cast<int>(argv.size()), argv.data(), error);
}

TEST(KelRenderOptions, DefaultsAndEveryOptionInBothForms) {
  KelRenderOptions o;
  std::string error;
  ASSERT_TRUE(Parse({}, o, error)) << error;
  EXPECT_EQ(o.width, 800);
  EXPECT_EQ(o.height, 600);
  EXPECT_EQ(o.view, "iso");
  EXPECT_FALSE(o.parallel);
  EXPECT_EQ(o.output, "kelrender.png");
  EXPECT_TRUE(o.input.empty());

  KelRenderOptions s;
  ASSERT_TRUE(Parse(
      {"-s", "320x200", "-v", "TOP", "-p", "parallel", "-b", "#FF8000", "-o", "x.tif", "part.stl"},
      s, error))
      << error;
  EXPECT_EQ(s.width, 320);
  EXPECT_EQ(s.height, 200);
  EXPECT_EQ(s.view, "top");
  EXPECT_DOUBLE_EQ(s.elevation, 90.0);
  EXPECT_TRUE(s.parallel);
  EXPECT_EQ(s.background[0], 255);
  EXPECT_EQ(s.background[1], 128);
  EXPECT_EQ(s.background[2], 0);
  EXPECT_EQ(s.output, "x.tif");
  EXPECT_EQ(s.input, "part.stl");

  KelRenderOptions l;
  ASSERT_TRUE(Parse({"--size=16X9", "--view", "30,-15.5", "--projection=conic",
                     "--background=10,20,30", "--output=y.pic", "--", "-odd name.obj"},
                    l, error))
      << error;
  EXPECT_EQ(l.width, 16);
  EXPECT_EQ(l.height, 9);
  EXPECT_DOUBLE_EQ(l.azimuth, 30.0);
  EXPECT_DOUBLE_EQ(l.elevation, -15.5);
  EXPECT_EQ(l.background[2], 30);
  EXPECT_EQ(l.output, "y.pic");
  EXPECT_EQ(l.input, "-odd name.obj");
}

TEST(KelRenderOptions, HelpStopsTheParsing) {
  KelRenderOptions o;
  std::string error;
  EXPECT_TRUE(Parse({"--help", "--bogus"}, o, error));
  EXPECT_TRUE(o.help);
  EXPECT_NE(std::string(KelRenderOptions::Usage()).find("--projection"), std::string::npos);
}

TEST(KelRenderOptions, BadValuesAreRefusedWithAMessageNamingThem) {
  const std::vector<std::vector<std::string>> bad = {{"--size", "0x10"},
                                                     {"--size", "10x16385"},
                                                     {"--size", "10"},
                                                     {"--size", "ax10"},
                                                     {"--size", "10x10x"},
                                                     {"--size", "99999999999x1"},
                                                     {"--view", "sideways"},
                                                     {"--view", "10"},
                                                     {"--view", "0,91"},
                                                     {"--view", "nan,0"},
                                                     {"--view", "1e999,0"},
                                                     {"--projection", "fisheye"},
                                                     {"--background", "#12345"},
                                                     {"--background", "1,2"},
                                                     {"--background", "1,2,256"},
                                                     {"--background", "-1,2,3"},
                                                     {"--output", ""},
                                                     {"--bogus"},
                                                     {"-s"},
                                                     {"a.stl", "b.stl"},
                                                     {""}};
  for (const auto& args : bad) {
    KelRenderOptions o;
    std::string error;
    std::string joined;
    for (const std::string& a : args) joined += "[" + a + "]";
    EXPECT_FALSE(Parse(args, o, error)) << joined;
    EXPECT_FALSE(error.empty()) << joined;
    if (args.size() == 2 && !args[1].empty() && args[0] != "a.stl") {
      EXPECT_NE(error.find(args[1]), std::string::npos) << joined << ": " << error;
    }
  }
}

void ExpectDirection(const Keldirection3f& d, float x, float y, float z, const char* what) {
  EXPECT_NEAR(d.x, x, 1e-5f) << what;
  EXPECT_NEAR(d.y, y, 1e-5f) << what;
  EXPECT_NEAR(d.z, z, 1e-5f) << what;
}

TEST(KelRenderJob, NamedViewsLookAlongTheAxesWithZUp) {
  struct Case {
    const char* name;
    float sight[3], up[3];
  };
  const Case cases[] = {{"front", {0, 1, 0}, {0, 0, 1}},  {"back", {0, -1, 0}, {0, 0, 1}},
                        {"right", {-1, 0, 0}, {0, 0, 1}}, {"left", {1, 0, 0}, {0, 0, 1}},
                        {"top", {0, 0, -1}, {0, 1, 0}},   {"bottom", {0, 0, 1}, {0, -1, 0}}};
  for (const Case& c : cases) {
    double azimuth = 0, elevation = 0;
    ASSERT_TRUE(KelRenderOptions::NamedView(c.name, azimuth, elevation)) << c.name;
    Keldirection3f sight, up;
    KelRenderJob::ViewDirections(azimuth, elevation, sight, up);
    ExpectDirection(sight, c.sight[0], c.sight[1], c.sight[2], c.name);
    ExpectDirection(up, c.up[0], c.up[1], c.up[2], c.name);
  }
  // The isometric view looks down the cube diagonal from the front right.
  double azimuth = 0, elevation = 0;
  ASSERT_TRUE(KelRenderOptions::NamedView("iso", azimuth, elevation));
  Keldirection3f sight, up;
  KelRenderJob::ViewDirections(azimuth, elevation, sight, up);
  const float k = 1.0f / std::sqrt(3.0f);
  ExpectDirection(sight, -k, k, -k, "iso");
  EXPECT_NEAR(sight * up, 0.0f, 1e-6f);
  EXPECT_GT(up.z, 0.0f);
}

TEST(KelImageFileWriter, FormatFollowsTheExtensionInAnyCase) {
  using W = KelImageFileWriter;
  EXPECT_EQ(W::FormatOf("a.png"), W::PNG);
  EXPECT_EQ(W::FormatOf("dir.x/a.PNG"), W::PNG);
  EXPECT_EQ(W::FormatOf("a.tif"), W::TIFF);
  EXPECT_EQ(W::FormatOf("a.Tiff"), W::TIFF);
  EXPECT_EQ(W::FormatOf("a.rgb"), W::SGI);
  EXPECT_EQ(W::FormatOf("a.sgi"), W::SGI);
  EXPECT_EQ(W::FormatOf("a.pic"), W::PICTURE);
  EXPECT_EQ(W::FormatOf("a.jpg"), W::UNKNOWN);
  EXPECT_EQ(W::FormatOf("png"), W::UNKNOWN);
  EXPECT_EQ(W::FormatOf("dir.png/a"), W::UNKNOWN);
  EXPECT_EQ(W::FormatOf("a.png.bak"), W::UNKNOWN);
}

}  // namespace

// The command line shared by the applications and kelrender's own options,
// and the camera directions of the views about each up axis.
#include <gtest/gtest.h>

#include <kel/framework/Keldirection3f.h>

#include <cmath>
#include <string>
#include <vector>

#include "KelRenderOptions.h"
#include "KelSceneFraming.h"

namespace {

bool Parse(std::vector<std::string> args, KelRenderOptions& options, std::string& error) {
  args.insert(args.begin(), "kelrender");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  return options.Parse(static_cast<int>(argv.size()), argv.data(), error);
}

TEST(KelAppOptions, ShortLongAndJoinedFormsAndTheEndOfOptions) {
  KelRenderOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"-s", "320x200", "--view", "30,-15.5", "-b", "#FF8000", "--background=1,2,3",
                     "-u", "Y", "--max-vertices=9", "--", "-odd name.obj"},
                    o, error))
      << error;
  EXPECT_DOUBLE_EQ(o.scene.elevation, -15.5);
  EXPECT_EQ(o.scene.background[2], 3);  // the last one given
  EXPECT_EQ(o.scene.up, KEL_UP_Y);
  EXPECT_EQ(o.scene.limits.maxVertices, 9);
  EXPECT_EQ(o.scene.input, "-odd name.obj");
  KelRenderOptions h;  // --version ends the parse: what follows is not read
  EXPECT_TRUE(Parse({"--version", "--bogus"}, h, error));
  EXPECT_TRUE(h.version);
}

TEST(KelAppOptions, BadValuesAreRefusedWithAMessageNamingThem) {
  const std::vector<std::vector<std::string>> bad = {{"--size", "0x10"},
                                                     {"--size", "10"},
                                                     {"--size", "10x10x"},
                                                     {"--size", "99999999999x1"},
                                                     {"--view", "sideways"},
                                                     {"--view", "0,91"},
                                                     {"--view", "nan,0"},
                                                     {"--projection", "fisheye"},
                                                     {"--background", "#12345"},
                                                     {"--background", "1,2,256"},
                                                     {"--up", "w"},
                                                     {"--samples", "0"},
                                                     {"--samples", "17"},
                                                     {"--max-triangles", "-1"},
                                                     {"--format", "jpeg"},
                                                     {"--output", ""},
                                                     {"--bogus"},
                                                     {"-s"},
                                                     {"--help=1"},
                                                     {"a.stl", "b.stl"}};
  for (const auto& args : bad) {
    KelRenderOptions o;
    std::string error, joined;
    for (const std::string& a : args) joined += "[" + a + "]";
    EXPECT_FALSE(Parse(args, o, error)) << joined;
    EXPECT_NE(error.find(args.back().empty() ? args[0].substr(2) : args.back()), std::string::npos)
        << joined << ": " << error;
  }
}

TEST(KelSceneFraming, ViewsLookAlongTheAxesAboutEachUpAxis) {
  struct Case {
    const char* view;
    KelUpAxis axis;
    float sight[3], up[3];
  };
  const Case cases[] = {{"front", KEL_UP_Z, {0, 1, 0}, {0, 0, 1}},
                        {"right", KEL_UP_Z, {-1, 0, 0}, {0, 0, 1}},
                        {"top", KEL_UP_Z, {0, 0, -1}, {0, 1, 0}},
                        {"bottom", KEL_UP_Z, {0, 0, 1}, {0, -1, 0}},
                        // glTF: y up, the front seen from +z, the right from +x.
                        {"front", KEL_UP_Y, {0, 0, -1}, {0, 1, 0}},
                        {"right", KEL_UP_Y, {-1, 0, 0}, {0, 1, 0}},
                        {"top", KEL_UP_Y, {0, -1, 0}, {0, 0, -1}},
                        {"front", KEL_UP_X, {0, 0, 1}, {1, 0, 0}}};
  for (const Case& c : cases) {
    double azimuth = 0, elevation = 0;
    ASSERT_TRUE(KelSceneOptions::NamedView(c.view, azimuth, elevation)) << c.view;
    Keldirection3f sight, up;
    KelSceneFraming::ViewDirections(azimuth, elevation, c.axis, sight, up);
    const float got[2][3] = {{sight.x, sight.y, sight.z}, {up.x, up.y, up.z}};
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(got[0][i], c.sight[i], 1e-5f) << c.view << " about " << c.axis;
      EXPECT_NEAR(got[1][i], c.up[i], 1e-5f) << c.view << " about " << c.axis;
    }
  }
}

}  // namespace

// The colour table, nearest-colour search and X pixel conversions.
#include <gtest/gtest.h>

#include <kel/viewers/KelColorMap.h>

namespace {

void ExpectColor(const KelColorMap& map, int i, float r, float g, float b) {
  float R, G, B;
  map.GetColor(i, &R, &G, &B);
  EXPECT_NEAR(R, r, 1e-5) << "entry " << i;
  EXPECT_NEAR(G, g, 1e-5) << "entry " << i;
  EXPECT_NEAR(B, b, 1e-5) << "entry " << i;
}

TEST(KelColorMap, IntegerColoursAndBadIndices) {
  KelColorMap map;
  map.SetColor(40, 255, 51, 0);
  ExpectColor(map, 40, 1.0f, 0.2f, 0.0f);
  int r, g, b;
  map.SetColor(41, 0.999f, 0.5f, 0.0f);
  map.GetColor(41, &r, &g, &b);
  EXPECT_EQ(r, 254);  // truncated, not rounded
  EXPECT_EQ(g, 127);
  EXPECT_EQ(b, 0);
  // Out of the table: ignored, and read as black.
  map.SetColor(256, 1.0f, 1.0f, 1.0f);
  map.SetColor(-1, 1.0f, 1.0f, 1.0f);
  ExpectColor(map, 300, 0, 0, 0);
}

XVisualInfo TrueColor565() {
  XVisualInfo v{};
  v.depth = 16;
  v.red_mask = 0xF800;
  v.green_mask = 0x07E0;
  v.blue_mask = 0x001F;
  return v;
}

TEST(KelColorMap, PixelsFollowTheVisualMasks) {
  KelColorMap map;
  int pixel = -1;
  map.GetRGB(3, &pixel);
  EXPECT_EQ(pixel, 0);  // no visual yet
  XVisualInfo v = TrueColor565();
  map.SetVisual(&v);
  map.GetRGB(3, &pixel);
  EXPECT_EQ(pixel, 0xFFFF);
  map.GetRGB(4, &pixel);
  EXPECT_EQ(pixel, 0xF800);
  map.GetRGB(2, &pixel);  // (1, 0.46, 0): 117 * 63 / 255 = 28 on green
  EXPECT_EQ(pixel, 0xF800 | (28 << 5));
  map.SetRGB(50, 0x07E0);
  ExpectColor(map, 50, 0, 1, 0);
  map.SetRGB(51, 0x0010);  // blue 16 of 31
  int r, g, b;
  map.GetColor(51, &r, &g, &b);
  EXPECT_EQ(b, 131);
}

TEST(KelColorMapDeathTest, VisualWithoutMasksEndsTheProcess) {
  XVisualInfo v = TrueColor565();
  v.green_mask = 0;
  EXPECT_EXIT(
      {
        KelColorMap map;
        map.SetVisual(&v);
      },
      testing::ExitedWithCode(1), "");
}

}  // namespace

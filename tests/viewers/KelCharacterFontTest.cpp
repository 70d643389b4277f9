// Fonts read from the X font files without a display: the metrics picking
// uses and the glyphs the driver draws.
#include <gtest/gtest.h>

#include <kel/render/KelSupport.h>
#include <kel/viewers/KelCharacterFont.h>

#include <cstdlib>
#include <string>

#include "KelTestEnv.h"

namespace {

bool BaseFontsInstalled() {
  KelCharacterFont probe;
  return probe.IsLoaded(0) != 0;
}

class PlainSupport : public KelSupport {
 public:
  PlainSupport() : KelSupport(10, 10) {}
  int MakeCurrent() override { return 1; }
  void ReadPixels() override {}
};

TEST(KelCharacterFont, SupportsShareOneFont) {
  KelCharacterFont* font = KelCharacterFont::GetSharedFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(KelCharacterFont::GetSharedFont(), font);
  PlainSupport a, b;
  EXPECT_EQ(a.GetCharacterFont(), font);
  EXPECT_EQ(b.GetCharacterFont(), font);
}

TEST(KelCharacterFont, DefaultFontsHaveTheirCellSizes) {
  KEL_REQUIRE(BaseFontsInstalled(), "xfonts-base");
  KelCharacterFont font;
  const int expected[5][3] = {{9, 15, 3}, {5, 8, 1}, {6, 10, 2}, {9, 15, 3}, {10, 20, 4}};
  for (int i = 0; i < 5; ++i) {
    int w = 0, h = 0, d = 0;
    font.GetCharacterSize(i, &w, &h, &d);
    EXPECT_EQ(w, expected[i][0]) << "font " << i;
    EXPECT_EQ(h, expected[i][1]) << "font " << i;
    EXPECT_EQ(d, expected[i][2]) << "font " << i;
    EXPECT_EQ(font.GetFontOffset(i), d);
    EXPECT_TRUE(font.IsLoaded(i));
  }
  EXPECT_EQ(font.GetNbFonts(), 5);
}

TEST(KelCharacterFont, FontNumberIsTheLargestGeometricFontThatFits) {
  KelCharacterFont font;
  // Heights 8, 10, 15, 20 (also when the files are missing: the defaults').
  EXPECT_EQ(font.GetFontNumber(7), 0);
  EXPECT_EQ(font.GetFontNumber(8), 1);
  EXPECT_EQ(font.GetFontNumber(14), 2);
  EXPECT_EQ(font.GetFontNumber(15), 3);
  EXPECT_EQ(font.GetFontNumber(1000), 4);
}

TEST(KelCharacterFont, GlyphsAreBitmapsOnTheBaseline) {
  KEL_REQUIRE(BaseFontsInstalled(), "xfonts-base");
  KelCharacterFont font;
  const KelCharacterFont::Glyph* w = font.GetGlyph(0, 'W');
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->advance, 9);
  ASSERT_NE(w->bits, nullptr);
  EXPECT_GT(w->height, 6);
  EXPECT_LE(w->height, 15);
  // Rows are bottom first: a capital has ink on the baseline row and none
  // below it; a 'g' has ink below.
  auto inkOnRow = [](const KelCharacterFont::Glyph& glyph, int row) {
    int set = 0;
    for (int b = 0; b < glyph.pitch; ++b) set |= glyph.bits[row * glyph.pitch + b];
    return set != 0;
  };
  ASSERT_LE(w->bottom, 0);
  EXPECT_TRUE(inkOnRow(*w, -w->bottom));
  for (int row = 0; row < -w->bottom; ++row) EXPECT_FALSE(inkOnRow(*w, row));
  const KelCharacterFont::Glyph* g = font.GetGlyph(0, 'g');
  ASSERT_NE(g, nullptr);
  ASSERT_LT(g->bottom, 0);
  EXPECT_TRUE(inkOnRow(*g, -g->bottom - 1));
  // A space advances and shows nothing; Latin-1 letters exist.
  const KelCharacterFont::Glyph* space = font.GetGlyph(0, ' ');
  ASSERT_NE(space, nullptr);
  EXPECT_EQ(space->advance, 9);
  EXPECT_NE(font.GetGlyph(0, 0xE9), nullptr);
}

TEST(KelCharacterFont, VariablesChooseFontsAndBadNamesFallBack) {
  KEL_REQUIRE(BaseFontsInstalled(), "xfonts-base");
  setenv("ORVEXFONTNAME", "-misc-fixed-medium-r-normal--13-120-75-75-c-70-iso8859-1", 1);
  setenv("ORVEXGEOMETRICFONTNAME1", "-no-such-font-*", 1);
  setenv("ORVEXGEOMETRICFONTNAME2", "6x13", 1);  // an alias
  KelCharacterFont font;
  unsetenv("ORVEXFONTNAME");
  unsetenv("ORVEXGEOMETRICFONTNAME1");
  unsetenv("ORVEXGEOMETRICFONTNAME2");
  int w, h, d;
  font.GetCharacterSize(0, &w, &h, &d);
  EXPECT_EQ(w, 7);
  EXPECT_EQ(h, 13);
  font.GetCharacterSize(1, &w, &h, &d);
  EXPECT_EQ(h, 8);
  EXPECT_STREQ(font.GetFontName(1), "-misc-fixed-medium-r-normal--8-80-75-75-c-50-iso8859-1");
  font.GetCharacterSize(2, &w, &h, &d);
  EXPECT_EQ(w, 6);
  EXPECT_EQ(h, 13);
}

TEST(KelCharacterFont, AnUnreadableDefaultBecomesFixedAtItsIndex) {
  KEL_REQUIRE(BaseFontsInstalled(), "xfonts-base");
  const char* defaults[5] = {nullptr, nullptr, "-no-such-default-*", nullptr, nullptr};
  testing::internal::CaptureStderr();
  KelCharacterFont font(defaults);
  EXPECT_EQ(font.GetNbFonts(), 5);
  const std::string messages = testing::internal::GetCapturedStderr();
  EXPECT_EQ(messages, "KelCharacterFont::Load: font -no-such-default-* not found, fixed used.\n");
  EXPECT_TRUE(font.IsLoaded(2));
  EXPECT_STREQ(font.GetFontName(2), "fixed");
  int w, h, d;
  font.GetCharacterSize(2, &w, &h, &d);  // fixed is 6x13
  EXPECT_EQ(w, 6);
  EXPECT_EQ(h, 13);
  EXPECT_NE(font.GetGlyph(2, 'A'), nullptr);
  // Font numbers still go by index: heights 8, 13, 15, 20.
  EXPECT_EQ(font.GetFontNumber(12), 1);
  EXPECT_EQ(font.GetFontNumber(13), 2);
  EXPECT_EQ(font.GetFontNumber(15), 3);
}

TEST(KelCharacterFont, OutOfRangeFontsMeasureNothing) {
  KelCharacterFont font;
  int w = -1, h = -1, d = -1;
  font.GetCharacterSize(5, &w, &h, &d);
  EXPECT_EQ(w + h + d, 0);
  font.GetCharacterSize(-1, &w, &h, &d);
  EXPECT_EQ(w + h + d, 0);
  EXPECT_EQ(font.GetGlyph(7, 'A'), nullptr);
}

}  // namespace

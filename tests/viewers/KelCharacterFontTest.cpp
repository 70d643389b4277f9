// Fonts read from the X font files without a display: the metrics picking
// uses, the fonts out of range and the fallback.
#include <gtest/gtest.h>

#include <kel/viewers/KelCharacterFont.h>

#include <string>
#include <vector>

#include "KelTestEnv.h"

namespace {

bool BaseFontsInstalled() {
  KelCharacterFont probe;
  return probe.IsLoaded(0) != 0;
}

// Width, height and descent of each font.
std::vector<int> Sizes(const KelCharacterFont& font, std::vector<int> numbers) {
  std::vector<int> sizes;
  for (int i : numbers) {
    int w = -1, h = -1, d = -1;
    font.GetCharacterSize(i, &w, &h, &d);
    sizes.insert(sizes.end(), {w, h, d});
  }
  return sizes;
}

TEST(KelCharacterFont, AnUnreadableDefaultBecomesFixedAtItsIndexAndNoFontIsOutOfRange) {
  KEL_REQUIRE(BaseFontsInstalled(), "xfonts-base");
  const char* defaults[5] = {nullptr, nullptr, "-no-such-default-*", nullptr, nullptr};
  testing::internal::CaptureStderr();
  KelCharacterFont font(defaults);
  EXPECT_EQ(font.GetNbFonts(), 5);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "KelCharacterFont::Load: font -no-such-default-* not found, fixed used.\n");
  EXPECT_STREQ(font.GetFontName(2), "fixed");
  EXPECT_EQ(Sizes(font, {2}), (std::vector<int>{6, 13, 2}));  // fixed is 6x13
  EXPECT_NE(font.GetGlyph(2, 'A'), nullptr);
  // The glyphs' bits, baseline, descenders and advances are drawn in the
  // annotation texts' reference picture; Latin-1 letters are read too.
  EXPECT_NE(font.GetGlyph(0, 0xE9), nullptr);
  // Font numbers still go by index: heights 8, 13, 15, 20.
  for (auto [height, number] : {std::pair{7, 0}, {12, 1}, {13, 2}, {15, 3}, {1000, 4}})
    EXPECT_EQ(font.GetFontNumber(height), number) << height;
  EXPECT_EQ(Sizes(font, {5, -1}), std::vector<int>(6, 0)) << "out of range";
  EXPECT_EQ(font.GetGlyph(7, 'A'), nullptr);
}

}  // namespace

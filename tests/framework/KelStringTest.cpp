#include <kel/framework/KelUnicodeString.h>

#include <gtest/gtest.h>

namespace {

TEST(UnicodeString, ConcatenatesPromptsAndKeepsAccents) {
  KelUnicodeString name("rotate");
  KelUnicodeString prompt = "Drag to " + name + "   Release";
  prompt += " left button";
  EXPECT_EQ(prompt.ConvertToChar(), "Drag to rotate   Release left button");

  // "é" in UTF-8 and in Latin-1 give the same character.
  EXPECT_EQ(KelUnicodeString("\xC3\xA9").GetText(), std::u16string(1, u'\u00E9'));
  EXPECT_EQ(KelUnicodeString("\xE9").GetText(), std::u16string(1, u'\u00E9'));
  EXPECT_EQ(KelUnicodeString("\xE9").ConvertToChar(), "\xC3\xA9");
  // Outside the basic plane: a surrogate pair, and back.
  KelUnicodeString emoji("\xF0\x9F\x98\x80");
  EXPECT_EQ(emoji.GetLengthInChar(), 2);
  EXPECT_EQ(emoji.ConvertToChar(), "\xF0\x9F\x98\x80");
  // A sequence cut short by the end of the text is read byte by byte.
  EXPECT_EQ(KelUnicodeString("a\xE2\x82").GetLengthInChar(), 3);
  EXPECT_TRUE(KelUnicodeString(static_cast<const char*>(nullptr)).IsNull());
}

}  // namespace

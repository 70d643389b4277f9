// Text of the user interface (prompts, status-bar messages), kept as UTF-16.
// A char* is read as UTF-8; a byte that does not start a valid UTF-8 sequence is
// taken as a Latin-1 character, so older 8-bit texts still read right.
#pragma once

#include <string>

class KelUnicodeString {
 public:
  KelUnicodeString() = default;
  KelUnicodeString(const char* text) { BuildFromChar(text); }    // NOLINT: prompts are literals
  KelUnicodeString(const std::u16string& text) : _text(text) {}  // NOLINT

  void BuildFromChar(const char* text);
  // The text as UTF-8.
  std::string ConvertToChar() const;
  const std::u16string& GetText() const { return _text; }
  int GetLengthInChar() const { return static_cast<int>(_text.size()); }
  int IsNull() const { return _text.empty(); }

  KelUnicodeString& operator+=(const KelUnicodeString& b) {
    _text += b._text;
    return *this;
  }
  friend KelUnicodeString operator+(const KelUnicodeString& a, const KelUnicodeString& b) {
    return a._text + b._text;
  }
  friend bool operator==(const KelUnicodeString& a, const KelUnicodeString& b) {
    return a._text == b._text;
  }
  friend bool operator!=(const KelUnicodeString& a, const KelUnicodeString& b) {
    return a._text != b._text;
  }

 private:
  std::u16string _text;
};

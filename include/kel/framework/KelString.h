// 8-bit text: names of commands, dialogs and widgets. Built from a char* (null
// gives the empty text), compared, assigned and read back with CastToCharPtr.
#pragma once

#include <string>

class KelString {
 public:
  KelString() = default;
  KelString(const char* text) : _text(text ? text : "") {}  // NOLINT: literals name things
  KelString(const std::string& text) : _text(text) {}       // NOLINT

  const char* CastToCharPtr() const { return _text.c_str(); }
  const std::string& GetText() const { return _text; }
  int GetLengthInChar() const { return static_cast<int>(_text.size()); }
  int IsNull() const { return _text.empty(); }

  KelString& operator+=(const KelString& b) {
    _text += b._text;
    return *this;
  }
  friend KelString operator+(const KelString& a, const KelString& b) { return a._text + b._text; }

  friend bool operator==(const KelString& a, const KelString& b) { return a._text == b._text; }
  friend bool operator!=(const KelString& a, const KelString& b) { return a._text != b._text; }
  friend bool operator<(const KelString& a, const KelString& b) { return a._text < b._text; }

 private:
  std::string _text;
};

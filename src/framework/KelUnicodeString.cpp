#include <kel/framework/KelUnicodeString.h>

namespace {

// Length of the valid UTF-8 sequence at s (0 when there is none) and its code point.
int DecodeUtf8(const unsigned char* s, char32_t& cp) {
  const unsigned char c = s[0];
  int n;
  char32_t min;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if ((c & 0xE0) == 0xC0) {
    n = 2, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  // The terminating zero is not a continuation byte, so this never reads past it.
  for (int i = 1; i < n; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (s[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

void KelUnicodeString::BuildFromChar(const char* text) {
  _text.clear();
  if (!text) return;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  while (*s) {
    char32_t cp;
    int n = DecodeUtf8(s, cp);
    if (n == 0) {
      cp = *s;  // Latin-1
      n = 1;
    }
    s += n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      _text.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      _text.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      _text.push_back(static_cast<char16_t>(cp));
    }
  }
}

std::string KelUnicodeString::ConvertToChar() const {
  std::string out;
  out.reserve(_text.size());
  for (std::size_t i = 0; i < _text.size(); ++i) {
    char32_t cp = _text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < _text.size() && _text[i + 1] >= 0xDC00 &&
        _text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (_text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

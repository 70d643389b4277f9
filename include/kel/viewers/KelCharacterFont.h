// The five text fonts all supports share: font 0 for annotation texts, fonts 1
// to 4 for geometric texts by size. Each is an X font name, chosen by an
// environment variable with a default "misc-fixed" name. The metrics and glyph
// bitmaps are read from the X font files themselves (the fonts.dir catalogues
// of the X font directories, through FreeType), so that off-screen drawing,
// window drawing and picking measure texts alike without a display.
//
// A font whose variable names nothing readable falls back to its default; a
// default that cannot be read either is replaced by "fixed", at the same index
// (one message on the standard error stream per font replaced). On a display,
// LoadXFonts loads the same names as X fonts for the window's GC.
#pragma once

#include <memory>
#include <string>
#include <vector>

// Xlib's own declarations, without its macros (its None clashes with others).
typedef struct _XDisplay Display;
typedef struct _XGC* GC;

class KelCharacterFont {
 public:
  static constexpr int NB_FONTS = 5;

  // One glyph, ready for a bitmap drawing call: rows bottom first, one bit a
  // pixel, most significant bit leftmost, each row `pitch` bytes.
  struct Glyph {
    int width = 0;
    int height = 0;
    int pitch = 0;
    int left = 0;     // from the pen position to the bitmap's left column
    int bottom = 0;   // from the baseline up to the bitmap's bottom row
    int advance = 0;  // pen move after the glyph
    const unsigned char* bits = nullptr;
  };

  // Reads the variables; no file is read until a metric or a glyph is asked
  // for.
  KelCharacterFont();
  // The same with other default names (NB_FONTS of them), for sites whose
  // servers lack the misc-fixed fonts.
  explicit KelCharacterFont(const char* const* defaultNames);
  virtual ~KelCharacterFont();
  KelCharacterFont(const KelCharacterFont&) = delete;
  KelCharacterFont& operator=(const KelCharacterFont&) = delete;

  // The process's font; also what KelSupport::GetCharacterFont answers.
  static KelCharacterFont* GetSharedFont();

  int GetNbFonts() const;
  // The largest geometric font (1 to 4) whose height is at most `size`
  // pixels; 0 when none.
  int GetFontNumber(const int size) const;
  // Width of "W", height (ascent + descent) and descent of font i, in pixels.
  void GetCharacterSize(const int i, int* width, int* height, int* descent) const;
  // From the bottom of a text's box up to its baseline: the descent.
  int GetFontOffset(const int i) const;
  // Half the size of a marker symbol, in pixels.
  int GetMarkerOffset() const;
  // The X font name in use for font i (the default when the variable's font
  // could not be found).
  const char* GetFontName(const int i) const;
  // 1 when font i was found and read; its metrics are otherwise those of its
  // default and it draws no glyph.
  int IsLoaded(const int i) const;
  // Glyph of character c (ISO 8859-1) in font i; null when it has none.
  const Glyph* GetGlyph(const int i, const unsigned char c) const;

  // Loads the five fonts on `display` by the names in use (GetFontName), the
  // default and finally "fixed" standing in for a name the server lacks.
  // Fonts loaded on another display before are freed first. Answers the
  // number of fonts loaded.
  int LoadXFonts(Display* display);
  // Frees the X fonts; call it before closing their display.
  void ReleaseXFonts();
  // The X font (its Font id) of index i; 0 before LoadXFonts or when none
  // could be loaded.
  unsigned long GetXFont(const int i) const;
  // Sets font i on `gc`; nothing without that X font.
  void SetFont(const int i, GC& gc) const;

 private:
  struct Font;
  void Load() const;

  std::string _wanted[NB_FONTS];
  std::string _defaults[NB_FONTS];
  Display* _display = nullptr;
  void* _xFonts[NB_FONTS] = {};  // XFontStruct*
  mutable int _loaded = 0;
  mutable std::vector<std::unique_ptr<Font>> _fonts;
};

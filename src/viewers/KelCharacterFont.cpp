#include <kel/viewers/KelCharacterFont.h>

#include <X11/Xlib.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

struct FontChoice {
  const char* variable;
  const char* name;
  // Metrics of the default font, kept when no font file can be read, so that
  // picking still measures texts.
  int width, height, descent;
};

const FontChoice kChoices[KelCharacterFont::NB_FONTS] = {
    {"ORVEXFONTNAME", "-misc-fixed-medium-r-normal--15-140-75-75-c-90-iso8859-1", 9, 15, 3},
    {"ORVEXGEOMETRICFONTNAME1", "-misc-fixed-medium-r-normal--8-80-75-75-c-50-iso8859-1", 5, 8, 1},
    {"ORVEXGEOMETRICFONTNAME2", "-misc-fixed-medium-r-normal--10-100-75-75-c-60-iso8859-1", 6, 10,
     2},
    {"ORVEXGEOMETRICFONTNAME3", "-misc-fixed-medium-r-normal--15-140-75-75-c-90-iso8859-1", 9, 15,
     3},
    {"ORVEXGEOMETRICFONTNAME4", "-misc-fixed-medium-r-normal--20-200-75-75-c-100-iso8859-1", 10, 20,
     4}};

// The server's and the font directories' last resort.
const char* const kLastResort = "fixed";

const char* const kFontDirectories[] = {"/usr/share/fonts/X11/misc", "/usr/share/fonts/X11/75dpi",
                                        "/usr/share/fonts/X11/100dpi"};

// X font name patterns: case-insensitive, '*' any run, '?' one character.
bool Matches(const char* pattern, const char* name) {
  while (*pattern) {
    if (*pattern == '*') {
      while (*pattern == '*') ++pattern;
      if (!*pattern) return true;
      for (; *name; ++name)
        if (Matches(pattern, name)) return true;
      return false;
    }
    if (!*name) return false;
    if (*pattern != '?' && std::tolower(static_cast<unsigned char>(*pattern)) !=
                               std::tolower(static_cast<unsigned char>(*name)))
      return false;
    ++pattern;
    ++name;
  }
  return !*name;
}

// Looks `name` up in a directory's fonts.alias (one level) and fonts.dir; the
// file's path or "".
std::string FindInDirectory(const std::string& dir, const std::string& name, int aliasDepth = 0) {
  std::ifstream alias(dir + "/fonts.alias");
  std::string line;
  while (aliasDepth == 0 && std::getline(alias, line)) {
    if (line.empty() || line[0] == '!') continue;
    const std::size_t space = line.find_first_of(" \t");
    if (space == std::string::npos) continue;
    const std::string key = line.substr(0, space);
    const std::size_t start = line.find_first_not_of(" \t", space);
    if (start == std::string::npos || !Matches(key.c_str(), name.c_str())) continue;
    std::string target = line.substr(start);
    while (!target.empty() && std::isspace(static_cast<unsigned char>(target.back())))
      target.pop_back();
    if (target.size() > 1 && target.front() == '"') target = target.substr(1, target.size() - 2);
    return FindInDirectory(dir, target, 1);
  }
  std::ifstream catalogue(dir + "/fonts.dir");
  // The first line counts the entries; lines are "file name".
  std::getline(catalogue, line);
  while (std::getline(catalogue, line)) {
    const std::size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    std::string xlfd = line.substr(space + 1);
    while (!xlfd.empty() && std::isspace(static_cast<unsigned char>(xlfd.back()))) xlfd.pop_back();
    if (Matches(name.c_str(), xlfd.c_str())) return dir + "/" + line.substr(0, space);
  }
  return {};
}

std::string FindFontFile(const char* name) {
  // A name longer than any X font name is not one.
  if (!name || !*name || std::strlen(name) > 255) return {};
  for (const char* dir : kFontDirectories) {
    std::string path = FindInDirectory(dir, name);
    if (!path.empty()) return path;
  }
  return {};
}

}  // namespace

struct KelCharacterFont::Font {
  std::string name;
  int loaded = 0;
  int width = 0;
  int height = 0;
  int descent = 0;
  Glyph glyphs[256];
  std::vector<unsigned char> bits;

  // Reads the font file; 0 when it cannot be used.
  int Read(FT_Library library, const std::string& path) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face)) return 0;
    int ok = 0;
    if (face->num_fixed_sizes > 0 && !FT_Select_Size(face, 0)) {
      const int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
      descent = static_cast<int>(-(face->size->metrics.descender >> 6));
      height = ascent + descent;
      width = 0;
      std::vector<std::size_t> offsets(256, 0);
      for (int c = 0; c < 256; ++c) {
        const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
        if (!index || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO)) continue;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& b = slot->bitmap;
        Glyph& g = glyphs[c];
        g.advance = static_cast<int>(slot->advance.x >> 6);
        if (c == 'W') width = g.advance;
        if (b.pixel_mode != FT_PIXEL_MODE_MONO || b.width > 256 || b.rows > 256) continue;
        g.width = static_cast<int>(b.width);
        g.height = static_cast<int>(b.rows);
        g.pitch = (g.width + 7) / 8;
        g.left = slot->bitmap_left;
        g.bottom = slot->bitmap_top - g.height;
        offsets[c] = bits.size();
        // Bottom row first, as bitmap drawing wants it.
        for (int row = g.height - 1; row >= 0; --row) {
          const unsigned char* src = b.buffer + row * b.pitch;
          bits.insert(bits.end(), src, src + g.pitch);
        }
      }
      for (int c = 0; c < 256; ++c)
        if (glyphs[c].height > 0) glyphs[c].bits = bits.data() + offsets[c];
      ok = height > 0 && width > 0;
    }
    FT_Done_Face(face);
    return ok;
  }
};

KelCharacterFont::KelCharacterFont() : KelCharacterFont(nullptr) {}

KelCharacterFont::KelCharacterFont(const char* const* defaultNames) {
  // The choice is made now; the files are read at the first measure.
  for (int i = 0; i < NB_FONTS; ++i) {
    const char* wanted = std::getenv(kChoices[i].variable);
    _wanted[i] = wanted ? wanted : "";
    _defaults[i] = defaultNames && defaultNames[i] ? defaultNames[i] : kChoices[i].name;
  }
}

KelCharacterFont::~KelCharacterFont() {
  ReleaseXFonts();
}

KelCharacterFont* KelCharacterFont::GetSharedFont() {
  // Kept for the life of the process, like the X fonts of a window.
  static KelCharacterFont* shared = new KelCharacterFont;
  return shared;
}

void KelCharacterFont::Load() const {
  if (_loaded) return;
  _loaded = 1;
  FT_Library library = nullptr;
  const int haveLibrary = FT_Init_FreeType(&library) == 0;
  for (int i = 0; i < NB_FONTS; ++i) {
    auto font = std::make_unique<Font>();
    // The variable's font, its default, then the last resort.
    const std::string candidates[3] = {_wanted[i], _defaults[i], kLastResort};
    for (int k = 0; k < 3 && !font->loaded; ++k) {
      if (candidates[k].empty()) continue;
      const std::string path = FindFontFile(candidates[k].c_str());
      *font = Font();
      if (path.empty() || !haveLibrary || !font->Read(library, path)) continue;
      font->name = candidates[k];
      font->loaded = 1;
      if (k == 2)
        std::fprintf(stderr, "KelCharacterFont::Load: font %s not found, %s used.\n",
                     _defaults[i].c_str(), kLastResort);
    }
    if (!font->loaded) {
      // Nothing readable: measure as the built-in default would, draw nothing.
      std::fprintf(stderr, "KelCharacterFont::Load: font %s not found.\n", _defaults[i].c_str());
      *font = Font();
      font->name = _defaults[i];
      font->width = kChoices[i].width;
      font->height = kChoices[i].height;
      font->descent = kChoices[i].descent;
    }
    _fonts.push_back(std::move(font));
  }
  if (haveLibrary) FT_Done_FreeType(library);
}

int KelCharacterFont::GetNbFonts() const {
  Load();
  return static_cast<int>(_fonts.size());
}

int KelCharacterFont::GetFontNumber(const int size) const {
  Load();
  if (_fonts.size() < 2) return 0;
  int number = 0;
  for (int i = 1; i < NB_FONTS; ++i)
    if (_fonts[i]->height <= size) number = i;
  return number;
}

void KelCharacterFont::GetCharacterSize(const int i, int* width, int* height, int* descent) const {
  Load();
  const bool known = i >= 0 && i < NB_FONTS;
  if (width) *width = known ? _fonts[i]->width : 0;
  if (height) *height = known ? _fonts[i]->height : 0;
  if (descent) *descent = known ? _fonts[i]->descent : 0;
}

int KelCharacterFont::GetFontOffset(const int i) const {
  int descent = 0;
  GetCharacterSize(i, nullptr, nullptr, &descent);
  return descent;
}

int KelCharacterFont::GetMarkerOffset() const {
  return 3;
}

const char* KelCharacterFont::GetFontName(const int i) const {
  Load();
  return i >= 0 && i < NB_FONTS ? _fonts[i]->name.c_str() : "";
}

int KelCharacterFont::IsLoaded(const int i) const {
  Load();
  return i >= 0 && i < NB_FONTS ? _fonts[i]->loaded : 0;
}

const KelCharacterFont::Glyph* KelCharacterFont::GetGlyph(const int i,
                                                          const unsigned char c) const {
  Load();
  if (i < 0 || i >= NB_FONTS || !_fonts[i]->loaded) return nullptr;
  const Glyph& g = _fonts[i]->glyphs[c];
  return g.advance > 0 || g.bits ? &g : nullptr;
}

int KelCharacterFont::LoadXFonts(Display* display) {
  ReleaseXFonts();
  if (!display) return 0;
  Load();
  _display = display;
  int count = 0;
  for (int i = 0; i < NB_FONTS; ++i) {
    const char* names[3] = {_fonts[i]->name.c_str(), _defaults[i].c_str(), kLastResort};
    for (const char* name : names) {
      if (!*name || std::strlen(name) > 255) continue;
      if ((_xFonts[i] = XLoadQueryFont(display, name))) break;
    }
    if (_xFonts[i])
      ++count;
    else
      std::fprintf(stderr, "KelCharacterFont::LoadXFonts: font %s not found.\n",
                   _fonts[i]->name.c_str());
  }
  return count;
}

void KelCharacterFont::ReleaseXFonts() {
  for (void*& f : _xFonts) {
    if (f && _display) XFreeFont(_display, static_cast<XFontStruct*>(f));
    f = nullptr;
  }
  _display = nullptr;
}

unsigned long KelCharacterFont::GetXFont(const int i) const {
  if (i < 0 || i >= NB_FONTS || !_xFonts[i]) return 0;
  return static_cast<XFontStruct*>(_xFonts[i])->fid;
}

void KelCharacterFont::SetFont(const int i, GC& gc) const {
  const unsigned long font = GetXFont(i);
  if (font && gc && _display) XSetFont(_display, gc, font);
}

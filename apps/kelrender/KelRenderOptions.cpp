#include "KelRenderOptions.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// A whole decimal integer, nothing before or after it.
bool ParseInt(const std::string& text, long& value) {
  if (text.empty() ||
      !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '+'))
    return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return errno == 0 && end && *end == '\0';
}

bool ParseDouble(const std::string& text, double& value) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end && *end == '\0' && std::isfinite(value);
}

// Splits "a<sep>b" once; false when the separator is missing.
bool SplitOnce(const std::string& text, char sep, std::string& a, std::string& b) {
  const std::string::size_type at = text.find(sep);
  if (at == std::string::npos) return false;
  a = text.substr(0, at);
  b = text.substr(at + 1);
  return true;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

const char* KelRenderOptions::Usage() {
  return "Usage: kelrender [options] [mesh-file]\n"
         "Renders the built-in assembly, or a mesh file (STL, OBJ, PLY and the other\n"
         "formats Assimp reads), off-screen into an image file.\n"
         "\n"
         "Options:\n"
         "  -o, --output PATH       image to write (default kelrender.png); the format\n"
         "                          follows the extension: .png, .tif/.tiff (TIFF),\n"
         "                          .rgb/.sgi (SGI RGB), .pic (picture)\n"
         "  -s, --size WxH          image size in pixels (default 800x600, at most 16384)\n"
         "  -v, --view VIEW         iso (default), front, back, left, right, top, bottom,\n"
         "                          or AZ,EL: azimuth and elevation in degrees (0,0 is\n"
         "                          front, 90,0 right, 0,90 top)\n"
         "  -p, --projection TYPE   conic (default) or parallel\n"
         "  -b, --background COLOR  #rrggbb or r,g,b with 0-255 components (default #2e3440)\n"
         "      --2d                the built-in 2D drawing sheet instead of a 3D scene\n"
         "  -h, --help              show this help\n"
         "\n"
         "Exit status: 0 done, 1 drawing failed, 2 bad command line or unknown image\n"
         "format, 3 mesh file missing or unreadable, 4 mesh file malformed, 5 image\n"
         "not written.\n";
}

bool KelRenderOptions::NamedView(const std::string& name, double& azimuth, double& elevation) {
  struct View {
    const char* name;
    double azimuth, elevation;
  };
  static const View views[] = {{"iso", 45.0, 35.264389682754654},
                               {"front", 0.0, 0.0},
                               {"back", 180.0, 0.0},
                               {"left", -90.0, 0.0},
                               {"right", 90.0, 0.0},
                               {"top", 0.0, 90.0},
                               {"bottom", 0.0, -90.0}};
  for (const View& v : views)
    if (name == v.name) {
      azimuth = v.azimuth;
      elevation = v.elevation;
      return true;
    }
  return false;
}

bool KelRenderOptions::ParseSize(const std::string& text, int& width, int& height) {
  std::string w, h;
  long x = 0, y = 0;
  if (!SplitOnce(Lower(text), 'x', w, h) || !ParseInt(w, x) || !ParseInt(h, y)) return false;
  if (x < 1 || y < 1 || x > MAX_SIDE || y > MAX_SIDE) return false;
  width = static_cast<int>(x);
  height = static_cast<int>(y);
  return true;
}

bool KelRenderOptions::ParseColour(const std::string& text, unsigned char rgb[3]) {
  std::string hex = text;
  if (!hex.empty() && hex[0] == '#') hex.erase(0, 1);
  if (hex.size() == 6 && hex.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos) {
    for (int i = 0; i < 3; ++i)
      rgb[i] = static_cast<unsigned char>(std::strtol(hex.substr(2 * i, 2).c_str(), nullptr, 16));
    return true;
  }
  std::string r, rest, g, b;
  long c[3];
  if (!SplitOnce(text, ',', r, rest) || !SplitOnce(rest, ',', g, b)) return false;
  const std::string parts[3] = {r, g, b};
  for (int i = 0; i < 3; ++i)
    if (!ParseInt(parts[i], c[i]) || c[i] < 0 || c[i] > 255) return false;
  for (int i = 0; i < 3; ++i) rgb[i] = static_cast<unsigned char>(c[i]);
  return true;
}

bool KelRenderOptions::ParseAngles(const std::string& text, double& azimuth, double& elevation) {
  std::string a, e;
  double az = 0, el = 0;
  if (!SplitOnce(text, ',', a, e) || !ParseDouble(a, az) || !ParseDouble(e, el)) return false;
  if (el < -90.0 || el > 90.0) return false;
  azimuth = az;
  elevation = el;
  return true;
}

bool KelRenderOptions::Parse(int argc, const char* const* argv, std::string& error) {
  bool inputSeen = false;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i] ? argv[i] : "";
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      if (inputSeen) {
        error = "more than one mesh file given: '" + input + "' and '" + arg + "'";
        return false;
      }
      input = arg;
      inputSeen = true;
      if (input.empty()) {
        error = "empty mesh file name";
        return false;
      }
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      help = true;
      return true;
    }
    if (arg == "--2d") {
      sheet2D = true;
      continue;
    }
    // "--name=value" or "--name value" (short options take the next word).
    std::string name = arg, value;
    bool hasValue = false;
    if (arg.compare(0, 2, "--") == 0) {
      const std::string::size_type eq = arg.find('=');
      if (eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
        hasValue = true;
      }
    }
    static const char* const known[][2] = {{"-o", "--output"},
                                           {"-s", "--size"},
                                           {"-v", "--view"},
                                           {"-p", "--projection"},
                                           {"-b", "--background"}};
    const char* longName = nullptr;
    for (const auto& k : known)
      if (name == k[0] || name == k[1]) longName = k[1];
    if (!longName) {
      error = "unknown option '" + arg + "' (see --help)";
      return false;
    }
    if (!hasValue) {
      if (i + 1 >= argc || !argv[i + 1]) {
        error = std::string("option ") + longName + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    const std::string option = longName;
    if (option == "--output") {
      if (value.empty()) {
        error = "empty output path";
        return false;
      }
      output = value;
    } else if (option == "--size") {
      if (!ParseSize(value, width, height)) {
        error = "bad image size '" + value + "': expected WxH with sides from 1 to " +
                std::to_string(MAX_SIDE);
        return false;
      }
    } else if (option == "--view") {
      const std::string lower = Lower(value);
      if (NamedView(lower, azimuth, elevation)) {
        view = lower;
      } else if (ParseAngles(value, azimuth, elevation)) {
        view = value;
      } else {
        error = "bad view '" + value +
                "': expected iso, front, back, left, right, top, bottom or AZ,EL in degrees "
                "(elevation from -90 to 90)";
        return false;
      }
    } else if (option == "--projection") {
      const std::string lower = Lower(value);
      if (lower == "conic")
        parallel = false;
      else if (lower == "parallel")
        parallel = true;
      else {
        error = "bad projection '" + value + "': expected conic or parallel";
        return false;
      }
    } else if (option == "--background") {
      if (!ParseColour(value, background)) {
        error = "bad background colour '" + value + "': expected #rrggbb or r,g,b (0-255)";
        return false;
      }
    }
  }
  return true;
}

#include "KelSceneOptions.h"

#include "KelAppText.h"

#include <climits>
#include <cstdlib>

using KelAppText::Lower;

namespace {

// Splits "a<sep>b" once; false when the separator is missing.
bool SplitOnce(const std::string& text, char sep, std::string& a, std::string& b) {
  const std::string::size_type at = text.find(sep);
  if (at == std::string::npos) return false;
  a = text.substr(0, at);
  b = text.substr(at + 1);
  return true;
}

}  // namespace

bool KelSceneOptions::NamedView(const std::string& name, double& azimuth, double& elevation) {
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

bool KelSceneOptions::ParseSize(const std::string& text, int& width, int& height) {
  std::string w, h;
  long x = 0, y = 0;
  if (!SplitOnce(Lower(text), 'x', w, h) || !KelAppValue::Integer(w, 1, MAX_SIDE, x) ||
      !KelAppValue::Integer(h, 1, MAX_SIDE, y))
    return false;
  width = static_cast<int>(x);
  height = static_cast<int>(y);
  return true;
}

bool KelSceneOptions::ParseColour(const std::string& text, unsigned char rgb[3]) {
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
    if (!KelAppValue::Integer(parts[i], 0, 255, c[i])) return false;
  for (int i = 0; i < 3; ++i) rgb[i] = static_cast<unsigned char>(c[i]);
  return true;
}

bool KelSceneOptions::ParseAngles(const std::string& text, double& azimuth, double& elevation) {
  std::string a, e;
  double az = 0, el = 0;
  if (!SplitOnce(text, ',', a, e) || !KelAppValue::Number(a, az) || !KelAppValue::Number(e, el) ||
      el < -90.0 || el > 90.0)
    return false;
  azimuth = az;
  elevation = el;
  return true;
}

void KelSceneOptions::AddTo(KelAppCommandLine& line) {
  line.Add('s', "--size", "WxH", "picture size in pixels (default 800x600, sides up\nto 16384)",
           [this](const std::string& v, std::string& error) {
             if (ParseSize(v, width, height)) return true;
             error = "bad picture size '" + v + "': expected WxH with sides from 1 to " +
                     std::to_string(MAX_SIDE);
             return false;
           });
  line.Add('v', "--view", "VIEW",
           "iso (default), front, back, left, right, top,\n"
           "bottom, or AZ,EL: azimuth and elevation in degrees\n"
           "about the up axis (0,0 front, 90,0 right, 0,90 top)",
           [this](const std::string& v, std::string& error) {
             if (NamedView(Lower(v), azimuth, elevation)) {
               view = Lower(v);
               return true;
             }
             if (ParseAngles(v, azimuth, elevation)) {
               view = v;
               return true;
             }
             error = "bad view '" + v +
                     "': expected iso, front, back, left, right, top, bottom or AZ,EL in "
                     "degrees (elevation from -90 to 90)";
             return false;
           });
  line.Add('p', "--projection", "TYPE", "conic (default) or parallel",
           [this](const std::string& v, std::string& error) {
             const std::string lower = Lower(v);
             if (lower == "conic" || lower == "parallel") {
               parallel = lower == "parallel";
               return true;
             }
             error = "bad projection '" + v + "': expected conic or parallel";
             return false;
           });
  line.Add('b', "--background", "COLOR",
           "#rrggbb or r,g,b with 0-255 components (default\n#2e3440)",
           [this](const std::string& v, std::string& error) {
             if (ParseColour(v, background)) return true;
             error = "bad background colour '" + v + "': expected #rrggbb or r,g,b (0-255)";
             return false;
           });
  line.Add('u', "--up", "AXIS",
           "x, y or z: the model's axis shown upwards (default:\n"
           "what the file's format says, y for glTF; else z)",
           [this](const std::string& v, std::string& error) {
             const std::string lower = Lower(v);
             if (lower.size() == 1 && lower[0] >= 'x' && lower[0] <= 'z') {
               up = static_cast<KelUpAxis>(lower[0] - 'x');
               return true;
             }
             error = "bad up axis '" + v + "': expected x, y or z";
             return false;
           });
  line.Add(0, "--samples", "N",
           "samples per pixel for anti-aliasing, 1 to 16\n"
           "(default 4; 1 draws without)",
           [this](const std::string& v, std::string& error) {
             long n = 0;
             if (KelAppValue::Integer(v, 1, MAX_SAMPLES, n)) {
               samples = static_cast<int>(n);
               return true;
             }
             error = "bad sample count '" + v + "': expected 1 to " + std::to_string(MAX_SAMPLES);
             return false;
           });
  // The caps bound the memory a file can make the loader take.
  auto cap = [](const char* what, long& value) {
    return [what, &value](const std::string& v, std::string& error) {
      if (KelAppValue::Integer(v, 1, LONG_MAX, value)) return true;
      error = std::string("bad ") + what + " limit '" + v + "': expected a positive whole number";
      return false;
    };
  };
  line.Add(0, "--max-triangles", "N",
           "refuse files of more triangles, lines and points\n"
           "(default 10000000)",
           cap("triangle", limits.maxTriangles));
  line.Add(0, "--max-vertices", "N", "refuse files of more vertices (default 30000000)",
           cap("vertex", limits.maxVertices));
}

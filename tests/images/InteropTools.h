// Shell and netpbm helpers of the image interop tests. Pictures travel as
// 8-bit PPM: grey and bilevel ones are made and read back by the netpbm tools
// themselves (ppmtopgm, pgmtopbm, ppmtoppm).
#pragma once

#include <kel/images/KelPixelImage.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "KelTestEnv.h"
#include "TiffFileBuilder.h"

namespace keltest {

inline std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

// Runs a shell command with its output thrown away; answers its exit status.
inline int Shell(const std::string& command) {
  const int status = std::system(("(" + command + ") >/dev/null 2>&1").c_str());
  return status == -1 ? -1 : WEXITSTATUS(status);
}

// Fails (in CI) or skips the test unless every tool is there. ImageMagick is
// the distribution's, not a stand-in earlier on the path.
inline const std::string kConvert = "/usr/bin/convert";
#define KEL_REQUIRE_TOOLS(...)                                          \
  for (const std::string& tool : std::vector<std::string>{__VA_ARGS__}) \
  KEL_REQUIRE(keltest::Shell((tool[0] == '/' ? "test -x " : "command -v ") + tool) == 0, tool)

// A PPM picture: width x height RGB samples, top row first.
struct Ppm {
  int width = 0, height = 0;
  std::vector<unsigned char> samples;

  // As a pixel image stores them: bottom row first (unless already so).
  std::vector<unsigned char> StoredRGB(bool bottomUp = false) const {
    std::vector<unsigned char> rgb;
    for (int y = 0; y < height; ++y) {
      const auto row = samples.begin() + 3L * width * (bottomUp ? y : height - 1 - y);
      rgb.insert(rgb.end(), row, row + 3L * width);
    }
    return rgb;
  }
};

// The PPM a command prints (P6, maxval 255), or an empty picture.
inline Ppm ReadPpm(const std::string& command) {
  Ppm ppm;
  FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
  if (!p) return ppm;
  int maxval = 0;
  if (std::fscanf(p, "P6 %d %d %d", &ppm.width, &ppm.height, &maxval) == 3 && maxval == 255 &&
      std::fgetc(p) != EOF && ppm.width > 0 && ppm.height > 0) {
    ppm.samples.resize(3 * static_cast<size_t>(ppm.width) * ppm.height);
    ppm.samples.resize(std::fread(ppm.samples.data(), 1, ppm.samples.size(), p));
  }
  pclose(p);
  return ppm;
}

inline bool WritePpm(const std::string& path, const Ppm& ppm) {
  std::string header =
      "P6\n" + std::to_string(ppm.width) + " " + std::to_string(ppm.height) + "\n255\n";
  std::vector<unsigned char> bytes(header.begin(), header.end());
  bytes.insert(bytes.end(), ppm.samples.begin(), ppm.samples.end());
  return WriteBytes(path, bytes);
}

// Photograph-like content: smooth shading, texture and noise, a flat patch.
inline Ppm MakePhoto(int width, int height, unsigned seed) {
  Ppm ppm{width, height, std::vector<unsigned char>(3 * static_cast<size_t>(width) * height)};
  unsigned state = seed;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) {
        state = state * 1103515245u + 12345u;
        const bool flat = x < width / 4 && y < height / 3;
        const int v = flat ? 40 + 60 * c
                           : (x * (3 + c) * 255 / (width + 1) + y * 200 / (height + 1)) / 2 +
                                 (x * y) % 17 + static_cast<int>((state >> 16) % 9);
        ppm.samples[(static_cast<size_t>(y) * width + x) * 3 + c] = static_cast<unsigned char>(v);
      }
  return ppm;
}

}  // namespace keltest

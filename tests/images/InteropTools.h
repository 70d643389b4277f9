// Shell and netpbm helpers of the image interop tests.
#pragma once

#include <kel/images/KelPixelImage.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

inline bool ToolExists(const std::string& tool) {
  if (tool.find('/') != std::string::npos) return Shell("test -x " + Quote(tool)) == 0;
  return Shell("command -v " + tool) == 0;
}

// ImageMagick from the distribution, not a stand-in earlier on the path.
inline const std::string kConvert = "/usr/bin/convert";

inline std::string Capture(const std::string& command) {
  std::string out;
  FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
  if (!p) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
  pclose(p);
  return out;
}

// A netpbm image: P4 (bits), P5 (grey) or P6 (colour), samples top row first.
struct Pnm {
  int width = 0, height = 0, channels = 0, maxval = 0;
  std::vector<unsigned char> samples;  // P4 unpacked to 0/1, one byte a pixel

  // As a pixel image stores them: RGB, bottom row first.
  std::vector<unsigned char> StoredRGB(bool bottomUp = false) const {
    std::vector<unsigned char> rgb(3 * static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      const int stored = bottomUp ? y : height - 1 - y;
      for (int x = 0; x < width; ++x)
        for (int c = 0; c < 3; ++c) {
          const size_t in = static_cast<size_t>(y) * width + x;
          unsigned char v = channels == 3 ? samples[3 * in + c] : samples[in];
          if (maxval == 1) v = v ? 0 : 255;  // PBM: 1 is black
          rgb[3 * (static_cast<size_t>(stored) * width + x) + c] = v;
        }
    }
    return rgb;
  }
};

inline bool ParsePnm(const std::string& bytes, Pnm& pnm) {
  size_t at = 0;
  auto token = [&]() {
    while (at < bytes.size() &&
           (bytes[at] == '#' || std::isspace(static_cast<unsigned char>(bytes[at]))))
      at = bytes[at] == '#' ? bytes.find('\n', at) : at + 1;
    const size_t from = at;
    while (at < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[at]))) ++at;
    return bytes.substr(from, at - from);
  };
  const std::string magic = token();
  if (magic != "P4" && magic != "P5" && magic != "P6") return false;
  const bool bits = magic == "P4";
  pnm.width = std::atoi(token().c_str());
  pnm.height = std::atoi(token().c_str());
  pnm.maxval = bits ? 1 : std::atoi(token().c_str());
  pnm.channels = magic == "P6" ? 3 : 1;
  ++at;  // the single white space before the samples
  if (pnm.width <= 0 || pnm.height <= 0 || pnm.maxval != (bits ? 1 : 255)) return false;
  const size_t row = bits ? (static_cast<size_t>(pnm.width) + 7) / 8
                          : static_cast<size_t>(pnm.width) * pnm.channels;
  if (bytes.size() < at + row * pnm.height) return false;
  pnm.samples.assign(bytes.begin() + static_cast<long>(at),
                     bytes.begin() + static_cast<long>(at + row * pnm.height));
  if (bits) {
    pnm.samples.resize(static_cast<size_t>(pnm.width) * pnm.height);
    for (int y = 0; y < pnm.height; ++y)
      for (int x = 0; x < pnm.width; ++x)
        pnm.samples[static_cast<size_t>(y) * pnm.width + x] =
            (static_cast<unsigned char>(bytes[at + y * row + x / 8]) >> (7 - x % 8)) & 1;
  }
  return true;
}

inline bool WritePnm(const std::string& path, const Pnm& pnm) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok;
  if (pnm.maxval == 1) {
    std::fprintf(f, "P4\n%d %d\n", pnm.width, pnm.height);
    const size_t row = (static_cast<size_t>(pnm.width) + 7) / 8;
    std::vector<unsigned char> packed(row * pnm.height, 0);
    for (int y = 0; y < pnm.height; ++y)
      for (int x = 0; x < pnm.width; ++x)
        if (pnm.samples[static_cast<size_t>(y) * pnm.width + x])
          packed[y * row + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    ok = std::fwrite(packed.data(), 1, packed.size(), f) == packed.size();
  } else {
    std::fprintf(f, "%s\n%d %d\n255\n", pnm.channels == 3 ? "P6" : "P5", pnm.width, pnm.height);
    ok = std::fwrite(pnm.samples.data(), 1, pnm.samples.size(), f) == pnm.samples.size();
  }
  return std::fclose(f) == 0 && ok;
}

// Photograph-like content: smooth shading, texture and noise, a flat patch.
inline Pnm MakePhoto(int width, int height, int channels, unsigned seed) {
  Pnm pnm;
  pnm.width = width, pnm.height = height, pnm.channels = channels, pnm.maxval = 255;
  pnm.samples.resize(static_cast<size_t>(width) * height * channels);
  unsigned state = seed;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c) {
        state = state * 1103515245u + 12345u;
        const bool flat = x < width / 4 && y < height / 3;
        int v = flat ? 40 + 60 * c
                     : (x * (3 + c) * 255 / (width + 1) + y * 200 / (height + 1)) / 2 +
                           (x * y) % 17 + static_cast<int>((state >> 16) % 9);
        pnm.samples[(static_cast<size_t>(y) * width + x) * channels + c] =
            static_cast<unsigned char>(v & 255);
      }
  return pnm;
}

inline Pnm MakeBits(int width, int height) {
  Pnm pnm;
  pnm.width = width, pnm.height = height, pnm.channels = 1, pnm.maxval = 1;
  pnm.samples.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pnm.samples[static_cast<size_t>(y) * width + x] =
          ((x / 3 + y / 2) % 3 == 0 || x == y) ? 1 : 0;
  return pnm;
}

}  // namespace keltest

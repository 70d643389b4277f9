#include <kel/viewers/KelColorMap.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// The table's levels are fifteenths cut to two decimals (0.06, 0.13 ... 0.93, 1).
float Level(int k) {
  return std::floor(k * 100.0f / 15.0f + 1e-4f) / 100.0f;
}

bool InTable(int i) {
  return i >= 0 && i < KelColorMap::SIZE;
}

}  // namespace

KelColorMap::KelColorMap() {
  for (auto& c : _colors) c[0] = c[1] = c[2] = 0.5f;
  const float fixed[8][3] = {{0, 0, 0},        {Level(4), Level(6), Level(5)},
                             {1, Level(7), 0}, {1, 1, 1},
                             {1, 0, 0},        {0, 1, 0},
                             {0, Level(6), 1}, {Level(13), Level(13), 0}};
  for (int i = 0; i < 8; ++i) SetColor(i, fixed[i][0], fixed[i][1], fixed[i][2]);
  // Grey ramp, with entry 12 tinted.
  for (int k = 1; k <= 14; ++k) SetColor(7 + k, Level(k), Level(k), Level(k));
  SetColor(12, Level(5), Level(4), Level(4));
  SetColor(22, 0.0f, 0.0f, 0.0f);
  // Nine ramps of fifteen steps: red, green, blue, yellow, magenta, cyan, then
  // one channel rising with the other two at one half.
  const float ramps[9][3] = {{1, 0, 0}, {0, 1, 0},   {0, 0, 1},   {1, 1, 0},  {1, 0, 1},
                             {0, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}};
  for (int r = 0; r < 9; ++r)
    for (int k = 1; k <= 15; ++k) {
      float c[3];
      for (int j = 0; j < 3; ++j)
        c[j] = ramps[r][j] > 0 ? Level(k) : (ramps[r][j] < 0 ? 0.5f : 0.0f);
      SetColor(22 + 15 * r + k, c[0], c[1], c[2]);
    }
  // 158 to 244 stay mid grey.
  const float tail[11][3] = {{Level(13), Level(13), 0},
                             {0, Level(6), 1},
                             {0, 1, 0},
                             {1, 0, 0},
                             {1, 1, 1},
                             {0, 0, 0},
                             {1, Level(7), 0},
                             {Level(4), Level(6), Level(5)},
                             {1, 1, 1},
                             {0, 0, 0},
                             {0, 0, 0}};
  for (int i = 0; i < 11; ++i) SetColor(245 + i, tail[i][0], tail[i][1], tail[i][2]);
}

KelColorMap::~KelColorMap() = default;

void KelColorMap::SetColor(const int i, const float r, const float g, const float b) {
  if (!InTable(i)) return;
  _colors[i][0] = r;
  _colors[i][1] = g;
  _colors[i][2] = b;
}

void KelColorMap::SetColor(const int i, const int r, const int g, const int b) {
  SetColor(i, float(r / 255.0), float(g / 255.0), float(b / 255.0));
}

void KelColorMap::GetColor(const int i, float* r, float* g, float* b) const {
  const float black[3] = {0, 0, 0};
  const float* c = InTable(i) ? _colors[i] : black;
  if (r) *r = c[0];
  if (g) *g = c[1];
  if (b) *b = c[2];
}

void KelColorMap::GetColor(const int i, int* r, int* g, int* b) const {
  float f[3];
  GetColor(i, &f[0], &f[1], &f[2]);
  if (r) *r = static_cast<int>(f[0] * 255);
  if (g) *g = static_cast<int>(f[1] * 255);
  if (b) *b = static_cast<int>(f[2] * 255);
}

int KelColorMap::GetIndex(const float r, const float g, const float b) const {
  float best = 3.0f;
  int index = 3;
  for (int i = 0; i < SIZE; ++i) {
    const float d =
        std::fabs(r - _colors[i][0]) + std::fabs(g - _colors[i][1]) + std::fabs(b - _colors[i][2]);
    if (d < best) {
      best = d;
      index = i;
    }
  }
  return index;
}

void KelColorMap::GetRGB(const int i, int* pixel) const {
  if (!pixel) return;
  *pixel = 0;
  if (_depth == 0 || !InTable(i)) return;
  unsigned long p = 0;
  for (int j = 0; j < 3; ++j) {
    const unsigned long c8 = static_cast<unsigned long>(255.0f * _colors[i][j]);
    p |= (c8 * _masks[j] / 255) << _shifts[j];
  }
  *pixel = static_cast<int>(p);
}

void KelColorMap::SetRGB(const int i, const unsigned long pixel) {
  if (_depth == 0) return;
  int c[3];
  for (int j = 0; j < 3; ++j)
    c[j] = static_cast<int>(((pixel >> _shifts[j]) & _masks[j]) * 255 / _masks[j]);
  SetColor(i, c[0], c[1], c[2]);
}

void KelColorMap::SetVisual(const XVisualInfo* visual) {
  const unsigned long masks[3] = {visual ? visual->red_mask : 0, visual ? visual->green_mask : 0,
                                  visual ? visual->blue_mask : 0};
  if (!masks[0] || !masks[1] || !masks[2]) {
    std::printf(" Bad Visual : red_mask = %d, green_mask = %d, blue_mask = %d",
                static_cast<int>(masks[0]), static_cast<int>(masks[1]), static_cast<int>(masks[2]));
    std::fflush(stdout);
    std::exit(1);
  }
  _depth = visual->depth;
  for (int j = 0; j < 3; ++j) {
    unsigned long m = masks[j];
    int shift = 0;
    while (!(m & 1)) {
      m >>= 1;
      ++shift;
    }
    _masks[j] = m;
    _shifts[j] = shift;
  }
}

// The 256-entry colour table of a window or an off-screen support: colour
// indices of attribute sets (251 and 252 highlight, 253 default, 254
// background) become RGB here, and, once a visual is known, X pixel values.
#pragma once

#include <X11/Xutil.h>

class KelColorMap {
 public:
  static constexpr int SIZE = 256;

  // Filled from the default table.
  KelColorMap();
  virtual ~KelColorMap();

  // Indices outside 0-255 are ignored (getters answer black).
  void SetColor(const int i, const float r, const float g, const float b);
  void SetColor(const int i, const int r, const int g, const int b);
  void GetColor(const int i, float* r, float* g, float* b) const;
  void GetColor(const int i, int* r, int* g, int* b) const;
  // The nearest entry (sum of the channel differences).
  int GetIndex(const float r, const float g, const float b) const;

  // Pixel values of the visual given to SetVisual; without one GetRGB answers 0.
  void GetRGB(const int i, int* pixel) const;
  void SetRGB(const int i, const unsigned long pixel);
  // A visual without colour masks ends the process: nothing could be shown.
  void SetVisual(const XVisualInfo* visual);
  int GetDepth() const { return _depth; }

  // The table read directly, for renders converting many colours.
  const float* GetColors() const { return &_colors[0][0]; }

 private:
  int _depth = 0;
  float _colors[SIZE][3];
  unsigned long _masks[3] = {0, 0, 0};
  int _shifts[3] = {0, 0, 0};
};

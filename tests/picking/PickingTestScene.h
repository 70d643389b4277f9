// The pick camera (keltest::TopCamera) in a 200 x 200 window: the centre ray
// runs from (0, 0, 9) to (0, 0, -90).
#pragma once

#include "KelTestScene.h"

using keltest::GPLeaf;

// Depth along the centre ray, and width of one pixel, at height z.
inline float DepthAt(float z) {
  return (9.0f - z) / 99.0f;
}
inline float PixelAt(float z) {
  return (10.0f - z) * 0.267949192f / 100.0f;
}

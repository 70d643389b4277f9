// A 2D direction of unit length. Building one from a zero vector reports
// "Direction2D : Vecteur nul" and gives (1, 0).
#pragma once

#include <kel/framework/Kelvector2f.h>

class Keldirection2f {
 public:
  float x = 1.0f, y = 0.0f;

  Keldirection2f() = default;
  Keldirection2f(float ax, float ay) { Set(Kelvector2f(ax, ay)); }
  Keldirection2f(const Kelvector2f& v) { Set(v); }  // NOLINT: a vector converts by normalising

  void Set(const Kelvector2f& v);
  const float* GetCoord() const { return &x; }
  float operator[](int i) const { return (&x)[i]; }
  Kelvector2f AsVector() const { return {x, y}; }
  operator Kelvector2f() const { return AsVector(); }  // NOLINT
  bool operator==(const Keldirection2f& b) const { return x == b.x && y == b.y; }
};

// A 2D point of two packed floats.
#pragma once

#include <kel/framework/Kelvector2f.h>

class Kelpoint2f {
 public:
  float x = 0.0f, y = 0.0f;

  constexpr Kelpoint2f() = default;
  constexpr Kelpoint2f(float ax, float ay) : x(ax), y(ay) {}
  explicit Kelpoint2f(const float* v) : x(v[0]), y(v[1]) {}

  const float* GetCoord() const { return &x; }
  float operator[](int i) const { return (&x)[i]; }
  float& operator[](int i) { return (&x)[i]; }
  Kelpoint2f operator+(const Kelvector2f& v) const { return {x + v.x, y + v.y}; }
  Kelpoint2f operator-(const Kelvector2f& v) const { return {x - v.x, y - v.y}; }
  Kelvector2f operator-(const Kelpoint2f& p) const { return {x - p.x, y - p.y}; }
  bool operator==(const Kelpoint2f& b) const { return x == b.x && y == b.y; }
  bool operator!=(const Kelpoint2f& b) const { return !(*this == b); }
  Kelvector2f AsVector() const { return {x, y}; }
};

static_assert(sizeof(Kelpoint2f) == 2 * sizeof(float), "Kelpoint2f is two packed floats");

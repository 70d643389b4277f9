// A 2D vector of two packed floats.
#pragma once

#include <cmath>

class Kelvector2f {
 public:
  float x = 0.0f, y = 0.0f;

  constexpr Kelvector2f() = default;
  constexpr Kelvector2f(float ax, float ay) : x(ax), y(ay) {}
  explicit Kelvector2f(const float* v) : x(v[0]), y(v[1]) {}

  const float* GetCoord() const { return &x; }
  float operator[](int i) const { return (&x)[i]; }
  float& operator[](int i) { return (&x)[i]; }
  Kelvector2f operator+(const Kelvector2f& b) const { return {x + b.x, y + b.y}; }
  Kelvector2f operator-(const Kelvector2f& b) const { return {x - b.x, y - b.y}; }
  Kelvector2f operator-() const { return {-x, -y}; }
  Kelvector2f operator*(float s) const { return {x * s, y * s}; }
  Kelvector2f operator/(float s) const { return {x / s, y / s}; }
  bool operator==(const Kelvector2f& b) const { return x == b.x && y == b.y; }
  // Scalar product.
  float operator*(const Kelvector2f& b) const { return x * b.x + y * b.y; }
  // z component of the vector product.
  float operator^(const Kelvector2f& b) const { return x * b.y - y * b.x; }
  float SquareNorm() const { return x * x + y * y; }
  float Norm() const { return std::sqrt(SquareNorm()); }
};

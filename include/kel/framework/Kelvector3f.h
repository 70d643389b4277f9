// A 3D vector of three packed floats.
#pragma once

#include <cmath>

class Kelvector3f {
 public:
  float x = 0.0f, y = 0.0f, z = 0.0f;

  constexpr Kelvector3f() = default;
  constexpr Kelvector3f(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
  explicit Kelvector3f(const float* v) : x(v[0]), y(v[1]), z(v[2]) {}

  const float* GetCoord() const { return &x; }
  float* GetCoord() { return &x; }
  float operator[](int i) const { return (&x)[i]; }
  float& operator[](int i) { return (&x)[i]; }

  Kelvector3f operator+(const Kelvector3f& b) const { return {x + b.x, y + b.y, z + b.z}; }
  Kelvector3f operator-(const Kelvector3f& b) const { return {x - b.x, y - b.y, z - b.z}; }
  Kelvector3f operator-() const { return {-x, -y, -z}; }
  Kelvector3f operator*(float s) const { return {x * s, y * s, z * s}; }
  Kelvector3f operator/(float s) const { return {x / s, y / s, z / s}; }
  Kelvector3f& operator+=(const Kelvector3f& b) { return *this = *this + b; }
  Kelvector3f& operator-=(const Kelvector3f& b) { return *this = *this - b; }
  Kelvector3f& operator*=(float s) { return *this = *this * s; }
  bool operator==(const Kelvector3f& b) const { return x == b.x && y == b.y && z == b.z; }
  bool operator!=(const Kelvector3f& b) const { return !(*this == b); }

  // Scalar product.
  float operator*(const Kelvector3f& b) const { return x * b.x + y * b.y + z * b.z; }
  // Vector product.
  Kelvector3f operator^(const Kelvector3f& b) const {
    return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
  }
  float SquareNorm() const { return x * x + y * y + z * z; }
  float Norm() const { return std::sqrt(SquareNorm()); }
};

inline Kelvector3f operator*(float s, const Kelvector3f& v) { return v * s; }

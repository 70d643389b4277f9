// A 3D vector of doubles, for computations that must not lose precision.
#pragma once

#include <kel/framework/Kelvector3f.h>

#include <cmath>

class KelMathVector {
 public:
  double x = 0.0, y = 0.0, z = 0.0;

  constexpr KelMathVector() = default;
  constexpr KelMathVector(double ax, double ay, double az) : x(ax), y(ay), z(az) {}
  KelMathVector(const Kelvector3f& v) : x(v.x), y(v.y), z(v.z) {}  // NOLINT: widening

  KelMathVector operator+(const KelMathVector& b) const { return {x + b.x, y + b.y, z + b.z}; }
  KelMathVector operator-(const KelMathVector& b) const { return {x - b.x, y - b.y, z - b.z}; }
  KelMathVector operator-() const { return {-x, -y, -z}; }
  KelMathVector operator*(double s) const { return {x * s, y * s, z * s}; }
  KelMathVector operator/(double s) const { return {x / s, y / s, z / s}; }
  KelMathVector& operator+=(const KelMathVector& b) { return *this = *this + b; }
  KelMathVector& operator-=(const KelMathVector& b) { return *this = *this - b; }
  // Scalar product.
  double operator*(const KelMathVector& b) const { return x * b.x + y * b.y + z * b.z; }
  // Vector product.
  KelMathVector operator^(const KelMathVector& b) const {
    return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
  }
  bool operator==(const KelMathVector& b) const { return x == b.x && y == b.y && z == b.z; }
  bool operator!=(const KelMathVector& b) const { return !(*this == b); }

  double SquareNorm() const { return x * x + y * y + z * z; }
  double Norm() const { return std::sqrt(SquareNorm()); }
  Kelvector3f ToVector3f() const {
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
  }
};

inline KelMathVector operator*(double s, const KelMathVector& v) {
  return v * s;
}

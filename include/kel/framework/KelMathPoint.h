// A 3D point of doubles.
#pragma once

#include <kel/framework/KelMathVector.h>
#include <kel/framework/Kelpoint3f.h>

class KelMathPoint {
 public:
  double x = 0.0, y = 0.0, z = 0.0;

  constexpr KelMathPoint() = default;
  constexpr KelMathPoint(double ax, double ay, double az) : x(ax), y(ay), z(az) {}
  KelMathPoint(const Kelpoint3f& p) : x(p.x), y(p.y), z(p.z) {}  // NOLINT: widening

  KelMathPoint operator+(const KelMathVector& v) const { return {x + v.x, y + v.y, z + v.z}; }
  KelMathPoint operator-(const KelMathVector& v) const { return {x - v.x, y - v.y, z - v.z}; }
  KelMathVector operator-(const KelMathPoint& p) const { return {x - p.x, y - p.y, z - p.z}; }
  bool operator==(const KelMathPoint& b) const { return x == b.x && y == b.y && z == b.z; }
  bool operator!=(const KelMathPoint& b) const { return !(*this == b); }

  double DistanceTo(const KelMathPoint& p) const { return (*this - p).Norm(); }
  KelMathVector AsVector() const { return {x, y, z}; }
  Kelpoint3f ToPoint3f() const {
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
  }
};

// A 3D point of three packed floats: arrays of points are handed on as float arrays.
#pragma once

#include <kel/framework/Kelvector3f.h>

class Kelpoint3f {
 public:
  float x = 0.0f, y = 0.0f, z = 0.0f;

  constexpr Kelpoint3f() = default;
  constexpr Kelpoint3f(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
  explicit Kelpoint3f(const float* v) : x(v[0]), y(v[1]), z(v[2]) {}

  const float* GetCoord() const { return &x; }
  float* GetCoord() { return &x; }
  float operator[](int i) const { return (&x)[i]; }
  float& operator[](int i) { return (&x)[i]; }

  Kelpoint3f operator+(const Kelvector3f& v) const { return {x + v.x, y + v.y, z + v.z}; }
  Kelpoint3f operator-(const Kelvector3f& v) const { return {x - v.x, y - v.y, z - v.z}; }
  Kelvector3f operator-(const Kelpoint3f& p) const { return {x - p.x, y - p.y, z - p.z}; }
  Kelpoint3f& operator+=(const Kelvector3f& v) { return *this = *this + v; }
  Kelpoint3f& operator-=(const Kelvector3f& v) { return *this = *this - v; }
  bool operator==(const Kelpoint3f& b) const { return x == b.x && y == b.y && z == b.z; }
  bool operator!=(const Kelpoint3f& b) const { return !(*this == b); }

  Kelvector3f AsVector() const { return {x, y, z}; }
  float DistanceTo(const Kelpoint3f& p) const { return (*this - p).Norm(); }
};

static_assert(sizeof(Kelpoint3f) == 3 * sizeof(float), "Kelpoint3f is three packed floats");
static_assert(sizeof(Kelvector3f) == 3 * sizeof(float), "Kelvector3f is three packed floats");

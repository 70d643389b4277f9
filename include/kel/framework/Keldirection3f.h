// A 3D direction: a vector of unit length. Building one from a zero vector
// reports "Direction3D : Vecteur nul" and gives (1, 0, 0).
#pragma once

#include <kel/framework/Kelvector3f.h>

class Keldirection3f {
 public:
  float x = 1.0f, y = 0.0f, z = 0.0f;

  Keldirection3f() = default;
  Keldirection3f(float ax, float ay, float az) { Set(Kelvector3f(ax, ay, az)); }
  Keldirection3f(const Kelvector3f& v) { Set(v); }  // NOLINT: a vector converts by normalising

  void Set(const Kelvector3f& v);
  const float* GetCoord() const { return &x; }
  float operator[](int i) const { return (&x)[i]; }
  Kelvector3f AsVector() const { return {x, y, z}; }
  operator Kelvector3f() const { return AsVector(); }  // NOLINT
  Keldirection3f operator-() const { return Unchecked(-x, -y, -z); }
  float operator*(const Keldirection3f& b) const { return x * b.x + y * b.y + z * b.z; }
  bool operator==(const Keldirection3f& b) const { return x == b.x && y == b.y && z == b.z; }

  // A direction whose components are taken as they are (already unit length).
  static Keldirection3f Unchecked(float ax, float ay, float az) {
    Keldirection3f d;
    d.x = ax;
    d.y = ay;
    d.z = az;
    return d;
  }
};

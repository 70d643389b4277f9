// An oriented line: a point and a unit direction. A zero direction is reported
// as "Direction3D : Vecteur nul" and replaced by (1, 0, 0).
#pragma once

#include <kel/framework/KelMathPoint.h>
#include <kel/framework/KelMathVector.h>

class KelMathLine {
 public:
  KelMathLine() = default;
  KelMathLine(const KelMathPoint& origin, const KelMathVector& direction);

  const KelMathPoint& GetOrigin() const { return _origin; }
  const KelMathVector& GetDirection() const { return _direction; }
  // The point at signed distance `t` from the origin.
  KelMathPoint GetPoint(double t) const { return _origin + _direction * t; }
  // The foot of the perpendicular from `p`.
  KelMathPoint Project(const KelMathPoint& p) const { return GetPoint((p - _origin) * _direction); }
  double DistanceTo(const KelMathPoint& p) const { return p.DistanceTo(Project(p)); }

 private:
  KelMathPoint _origin;
  KelMathVector _direction{1.0, 0.0, 0.0};
};

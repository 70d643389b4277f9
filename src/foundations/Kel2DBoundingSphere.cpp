#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/foundations/Kel3x3Matrix.h>

#include <algorithm>
#include <cmath>

KEL_IMPLEMENT_META(Kel2DBoundingSphere, KelBoundingElement)

namespace {
float Distance(const float* a, const float* b) {
  const float dx = b[0] - a[0], dy = b[1] - a[1];
  return std::sqrt(dx * dx + dy * dy);
}
}  // namespace

Kel2DBoundingSphere::Kel2DBoundingSphere(const Kelpoint2f& c, const float r, const float rmm)
    : _center{c.x, c.y}, _radius(r), _radiusMM(rmm) {
  SetState(1);
}

Kel2DBoundingSphere::~Kel2DBoundingSphere() = default;

void Kel2DBoundingSphere::SetCenter(const Kelpoint2f& c) {
  _center[0] = c.x;
  _center[1] = c.y;
}

Kel2DBoundingSphere& Kel2DBoundingSphere::operator+=(const Kel2DBoundingSphere& b) {
  if (!HasFinitePart()) {
    if (b.HasFinitePart()) {
      std::copy(b._center, b._center + 2, _center);
      _radius = b._radius;
      _radiusMM = b._radiusMM;
    }
  } else if (b.HasFinitePart()) {
    if (b.IsInside(*this)) {
      std::copy(b._center, b._center + 2, _center);
      _radius = b._radius;
    } else if (!IsInside(b)) {
      const double vx = static_cast<double>(b._center[0]) - _center[0];
      const double vy = static_cast<double>(b._center[1]) - _center[1];
      const double d = std::sqrt(vx * vx + vy * vy);
      if (d != 0.0) {
        // The smallest circle holding both.
        const double k = (static_cast<double>(b._radius) - _radius) / d;
        _center[0] = static_cast<float>(0.5 * (_center[0] + b._center[0] + k * vx));
        _center[1] = static_cast<float>(0.5 * (_center[1] + b._center[1] + k * vy));
        _radius = static_cast<float>(0.5 * (d + _radius + b._radius));
      } else {
        _radius = std::max(_radius, b._radius);
      }
    }
    _radiusMM = std::max(_radiusMM, b._radiusMM);
  }
  KelBoundingElement::operator+=(b);
  return *this;
}

Kel2DBoundingSphere& Kel2DBoundingSphere::operator-=(const Kel2DBoundingSphere& b) {
  KelBoundingElement::operator-=(b);
  return *this;
}

Kel2DBoundingSphere& Kel2DBoundingSphere::operator*=(const Kel3x3Matrix& m) {
  SetCenter(m * Kelpoint2f(_center));
  const double s = m.GetScaling();
  if (s < 0.999 || s > 1.001) {
    _radius *= m.GetScaling();
    _radiusMM *= m.GetScaling();
  }
  return *this;
}

int Kel2DBoundingSphere::IsInside(const Kel2DBoundingSphere& b) const {
  if (IsEmpty()) return 0;
  if (GetState() == 2) return 1;
  return Distance(_center, b._center) + b._radius < _radius;
}

int Kel2DBoundingSphere::IsOutside(const Kel2DBoundingSphere& b) const {
  if (IsEmpty()) return 1;
  if (GetState() == 2) return 0;
  return Distance(_center, b._center) > b._radius + _radius;
}

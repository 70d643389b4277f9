#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>

#include <algorithm>
#include <cmath>

KEL_IMPLEMENT_META(Kel3DBoundingSphere, KelBoundingElement)

namespace {
float Distance(const float* a, const float* b) {
  const float dx = b[0] - a[0], dy = b[1] - a[1], dz = b[2] - a[2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}
}  // namespace

Kel3DBoundingSphere::Kel3DBoundingSphere(const Kelpoint3f& c, const float r, const float rmm)
    : _center{c.x, c.y, c.z}, _radius(r), _radiusMM(rmm) {
  SetState(1);
}

Kel3DBoundingSphere::~Kel3DBoundingSphere() = default;

void Kel3DBoundingSphere::SetCenter(const Kelpoint3f& c) {
  _center[0] = c.x;
  _center[1] = c.y;
  _center[2] = c.z;
}

Kel3DBoundingSphere& Kel3DBoundingSphere::operator+=(const Kel3DBoundingSphere& b) {
  if (!HasFinitePart()) {
    if (b.HasFinitePart()) {
      std::copy(b._center, b._center + 3, _center);
      _radius = b._radius;
      _radiusMM = b._radiusMM;
    }
  } else if (b.HasFinitePart()) {
    if (b.IsInside(*this)) {
      std::copy(b._center, b._center + 3, _center);
      _radius = b._radius;
    } else if (!IsInside(b)) {
      double v[3], d2 = 0.0;
      for (int i = 0; i < 3; ++i) {
        v[i] = static_cast<double>(b._center[i]) - _center[i];
        d2 += v[i] * v[i];
      }
      const double d = std::sqrt(d2);
      if (d != 0.0) {
        // The smallest sphere holding both: its diameter runs from the far side
        // of this sphere to the far side of b.
        const double k = (static_cast<double>(b._radius) - _radius) / d;
        for (int i = 0; i < 3; ++i)
          _center[i] = static_cast<float>(0.5 * (_center[i] + b._center[i] + k * v[i]));
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

Kel3DBoundingSphere& Kel3DBoundingSphere::operator-=(const Kel3DBoundingSphere& b) {
  KelBoundingElement::operator-=(b);
  return *this;
}

Kel3DBoundingSphere& Kel3DBoundingSphere::operator*=(const Kel4x4Matrix& m) {
  const Kelpoint3f c = m * Kelpoint3f(_center);
  SetCenter(c);
  const double s = m.GetScaling();
  if (s < 0.999 || s > 1.001) {
    _radius *= m.GetScaling();
    _radiusMM *= m.GetScaling();
  }
  return *this;
}

int Kel3DBoundingSphere::IsInside(const Kel3DBoundingSphere& b) const {
  if (IsEmpty()) return 0;
  if (GetState() == 2) return 1;
  return Distance(_center, b._center) + b._radius < _radius;
}

int Kel3DBoundingSphere::IsOutside(const Kel3DBoundingSphere& b) const {
  if (IsEmpty()) return 1;
  if (GetState() == 2) return 0;
  return Distance(_center, b._center) > b._radius + _radius;
}

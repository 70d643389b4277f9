#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>

#include <algorithm>
#include <cmath>

KEL_IMPLEMENT_META(Kel3DBoundingSphere, KelBoundingElement)

namespace {
// Largest singular value of the upper-left 3 x 3 block: the square root of the
// largest eigenvalue of its Gram matrix, in closed form for symmetric 3 x 3.
double LargestStretch(const Kel4x4Matrix& m) {
  const float* a = m.GetMatrix();
  double g[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      g[i][j] = double(a[i]) * a[j] + double(a[4 + i]) * a[4 + j] + double(a[8 + i]) * a[8 + j];
  const double p1 = g[0][1] * g[0][1] + g[0][2] * g[0][2] + g[1][2] * g[1][2];
  const double q = (g[0][0] + g[1][1] + g[2][2]) / 3.0;
  double largest;
  if (p1 <= 1e-30 * (q * q + 1e-300)) {
    largest = std::max(g[0][0], std::max(g[1][1], g[2][2]));
  } else {
    const double p2 = (g[0][0] - q) * (g[0][0] - q) + (g[1][1] - q) * (g[1][1] - q) +
                      (g[2][2] - q) * (g[2][2] - q) + 2.0 * p1;
    const double p = std::sqrt(p2 / 6.0);
    double b[3][3];
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) b[i][j] = (g[i][j] - (i == j ? q : 0.0)) / p;
    const double det = b[0][0] * (b[1][1] * b[2][2] - b[1][2] * b[2][1]) -
                       b[0][1] * (b[1][0] * b[2][2] - b[1][2] * b[2][0]) +
                       b[0][2] * (b[1][0] * b[2][1] - b[1][1] * b[2][0]);
    const double r = std::max(-1.0, std::min(1.0, det / 2.0));
    largest = q + 2.0 * p * std::cos(std::acos(r) / 3.0);
  }
  return std::sqrt(std::max(0.0, largest));
}

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
  // The uniform scaling factor (cube root of the determinant) shrinks a sphere
  // under an unequal scale: diag(2, 0.5, 1) keeps the radius while the sphere
  // reaches twice as far along x. The radius grows by the largest stretch of
  // the linear part instead, which is that same factor for rotations and
  // uniform scalings.
  const double s = LargestStretch(m);
  if (s < 0.999 || s > 1.001) {
    _radius = static_cast<float>(_radius * s);
    _radiusMM = static_cast<float>(_radiusMM * s);
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

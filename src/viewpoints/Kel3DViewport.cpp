#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

void ReportDropped(const char* operation, int dropped) {
  std::fprintf(stderr, "Kel3DViewport::%s: more than %d planes, the last %d dropped.\n", operation,
               Kel3DViewport::MAX_PLANES, dropped);
}

void ReportInvalid(const char* operation) {
  std::fprintf(stderr, "Kel3DViewport::%s: Invalid function parameters.\n", operation);
}

}  // namespace

Kel3DViewport::Kel3DViewport(int n, const float* a, const float* b, const float* c,
                             const float* d) {
  if (n < 0 || (n > 0 && (!a || !b || !c || !d))) {
    ReportInvalid("Kel3DViewport");
    return;
  }
  const int dropped = Store(0, n, a, b, c, d);
  if (dropped) ReportDropped("Kel3DViewport", dropped);
}

Kel3DViewport::Kel3DViewport(int n, const Kelpoint3f* points, const Keldirection3f* normals) {
  if (n < 0 || (n > 0 && (!points || !normals))) {
    ReportInvalid("Kel3DViewport");
    return;
  }
  _nbPlanes = std::min(n, MAX_PLANES);
  for (int i = 0; i < _nbPlanes; ++i) {
    const Keldirection3f& nm = normals[i];
    const Kelpoint3f& p = points[i];
    _a[i] = nm.x;
    _b[i] = nm.y;
    _c[i] = nm.z;
    _d[i] = -(nm.x * p.x + nm.y * p.y + nm.z * p.z);
  }
  if (n > MAX_PLANES) ReportDropped("Kel3DViewport", n - MAX_PLANES);
}

Kel3DViewport::Kel3DViewport(const Kel3DViewport& v) : KelViewport(v) {
  Store(0, v._nbPlanes, v._a, v._b, v._c, v._d);
}

Kel3DViewport::~Kel3DViewport() = default;

Kel3DViewport& Kel3DViewport::operator=(const Kel3DViewport& v) {
  // Whole arrays: fixed sizes copy faster than the planes in use.
  if (this != &v) {
    _nbPlanes = v._nbPlanes;
    std::memcpy(_a, v._a, sizeof _a);
    std::memcpy(_b, v._b, sizeof _b);
    std::memcpy(_c, v._c, sizeof _c);
    std::memcpy(_d, v._d, sizeof _d);
  }
  return *this;
}

Kel3DViewport* Kel3DViewport::Clone() const {
  return new Kel3DViewport(*this);
}

int Kel3DViewport::SizeOf() const {
  return static_cast<int>(sizeof(Kel3DViewport));
}

void Kel3DViewport::GetPlanes(float** a, float** b, float** c, float** d) {
  *a = _a;
  *b = _b;
  *c = _c;
  *d = _d;
}

void Kel3DViewport::GetPlanes(const float** a, const float** b, const float** c,
                              const float** d) const {
  *a = _a;
  *b = _b;
  *c = _c;
  *d = _d;
}

int Kel3DViewport::Store(int at, int n, const float* a, const float* b, const float* c,
                         const float* d) {
  const int kept = std::max(0, std::min(n, MAX_PLANES - at));
  // The source may be this viewport itself (v += v): its first planes are read
  // before any slot they occupy is written, since at >= kept.
  std::copy(a, a + kept, _a + at);
  std::copy(b, b + kept, _b + at);
  std::copy(c, c + kept, _c + at);
  std::copy(d, d + kept, _d + at);
  _nbPlanes = at + kept;
  return n - kept;
}

Kel3DViewport& Kel3DViewport::operator+=(const Kel3DViewport& v) {
  const int dropped = Store(_nbPlanes, v._nbPlanes, v._a, v._b, v._c, v._d);
  if (dropped) ReportDropped("operator+=", dropped);
  return *this;
}

Kel3DViewport& Kel3DViewport::operator*=(const Kel4x4Matrix& m) {
  // A point p moves to p' = p L + t (row vectors). The plane n.p + d = 0 becomes
  // n''.p' + (d - n''.t) = 0 with n'' = L^-1 n (as a column), then normalised.
  // For a rotation with uniform scaling s this is n' = n L / s and d' = d s - n'.t;
  // applying L itself to the normal would tilt the planes under unequal scalings
  // and cull visible Reps.
  Kelvector3f t;
  m.GetTranslation(t);
  const double m00 = m.GetCoefficient(0, 0), m01 = m.GetCoefficient(0, 1),
               m02 = m.GetCoefficient(0, 2), m10 = m.GetCoefficient(1, 0),
               m11 = m.GetCoefficient(1, 1), m12 = m.GetCoefficient(1, 2),
               m20 = m.GetCoefficient(2, 0), m21 = m.GetCoefficient(2, 1),
               m22 = m.GetCoefficient(2, 2);
  // Adjugate of L: L^-1 = adj / det.
  const double j00 = m11 * m22 - m12 * m21, j01 = m02 * m21 - m01 * m22,
               j02 = m01 * m12 - m02 * m11, j10 = m12 * m20 - m10 * m22,
               j11 = m00 * m22 - m02 * m20, j12 = m02 * m10 - m00 * m12,
               j20 = m10 * m21 - m11 * m20, j21 = m01 * m20 - m00 * m21,
               j22 = m00 * m11 - m01 * m10;
  const double det = m00 * j00 + m01 * j10 + m02 * j20;
  const bool invertible = det != 0.0 && std::isfinite(det);
  // A translation leaves the normals as they are: the same values without the
  // products (a zero's sign aside).
  const bool translation = m00 == 1.0 && m11 == 1.0 && m22 == 1.0 && m01 == 0.0 && m02 == 0.0 &&
                           m10 == 0.0 && m12 == 0.0 && m20 == 0.0 && m21 == 0.0;
  for (int i = 0; i < _nbPlanes; ++i) {
    const double a = _a[i], b = _b[i], c = _c[i];
    if (invertible) {
      const double x = translation ? a : (j00 * a + j01 * b + j02 * c) / det;
      const double y = translation ? b : (j10 * a + j11 * b + j12 * c) / det;
      const double z = translation ? c : (j20 * a + j21 * b + j22 * c) / det;
      const double len = std::sqrt(x * x + y * y + z * z);
      if (len > 0.0 && std::isfinite(len)) {
        _a[i] = static_cast<float>(x / len);
        _b[i] = static_cast<float>(y / len);
        _c[i] = static_cast<float>(z / len);
        _d[i] = static_cast<float>((_d[i] - (x * t.x + y * t.y + z * t.z)) / len);
        continue;
      }
    }
    // A flattening matrix has no plane image: the normal is moved as a direction,
    // which reports a collapsed one and takes (1, 0, 0).
    const Keldirection3f n = m * Keldirection3f::Unchecked(_a[i], _b[i], _c[i]);
    _a[i] = n.x;
    _b[i] = n.y;
    _c[i] = n.z;
    _d[i] = _d[i] * m.GetScaling() - (n.x * t.x + n.y * t.y + n.z * t.z);
  }
  return *this;
}

int Kel3DViewport::IsOutside(const Kel3DBoundingSphere& s, float scale) const {
  // An infinite part is never outside, so neither is a mixed volume. Nothing of
  // an empty one can be seen.
  const int state = s.GetState();
  if (state != 1) return state == 0 ? 1 : 0;
  const float* p = s.GetCenter();
  const float r = s.GetRadius() + s.GetRadiusMM() * scale;
  for (int i = _nbPlanes - 1; i >= 0; --i)
    if (_a[i] * p[0] + _b[i] * p[1] + _c[i] * p[2] + _d[i] - r > 0.0f) return 1;
  return 0;
}

int Kel3DViewport::IsInside(const Kel3DBoundingSphere& s, float scale) const {
  // An infinite part is never inside, so neither is a mixed volume: its children
  // keep being tested one by one.
  if (s.GetState() != 1) return 0;
  const float* p = s.GetCenter();
  const float r = s.GetRadius() + s.GetRadiusMM() * scale;
  for (int i = _nbPlanes - 1; i >= 0; --i) {
    const float dist = _a[i] * p[0] + _b[i] * p[1] + _c[i] * p[2] + _d[i];
    if (dist > 0.0f || dist > -r) return 0;
  }
  return 1;
}

int Kel3DViewport::IsOutside(const float* p, float tolerance) const {
  for (int i = _nbPlanes - 1; i >= 0; --i)
    if (_a[i] * p[0] + _b[i] * p[1] + _c[i] * p[2] + _d[i] - tolerance > 0.0f) return 1;
  return 0;
}

int Kel3DViewport::IsInside(const float* p, float tolerance) const {
  for (int i = _nbPlanes - 1; i >= 0; --i) {
    const float dist = _a[i] * p[0] + _b[i] * p[1] + _c[i] * p[2] + _d[i];
    if (dist > 0.0f || dist > -tolerance) return 0;
  }
  return 1;
}

int Kel3DViewport::IsInside(const float* p) const {
  for (int i = _nbPlanes - 1; i >= 0; --i)
    if (_a[i] * p[0] + _b[i] * p[1] + _c[i] * p[2] + _d[i] > 0.0f) return 0;
  return 1;
}

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>

#include <cmath>
#include <cstring>

KEL_IMPLEMENT_META(Kel4x4Matrix, KelExtendable)

namespace {
// Determinants this close to +-1 count as exactly 1, so rigid motions keep
// radii bit for bit.
constexpr float kUnitLow = 0.9999989867210388f;
constexpr float kUnitHigh = 1.0000009536743164f;
// Below this an affine matrix is not inverted.
constexpr double kSingular = 1e-15;

using Array = float[4][4];

void Multiply(const Array& a, const Array& b, Array& out) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j] + a[i][3] * b[3][j];
}
}  // namespace

Kel4x4Matrix::Kel4x4Matrix() {
  SetIdentity();
}

Kel4x4Matrix::Kel4x4Matrix(const Kelvector3f& u, const Kelvector3f& v, const Kelvector3f& w,
                           const Kelvector3f& t) {
  SetComponents(u, v, w, Kelpoint3f(t.x, t.y, t.z));
}

Kel4x4Matrix::Kel4x4Matrix(const Kelvector3f& t) {
  SetIdentity();
  SetTranslation(t, 1.0f);
}

Kel4x4Matrix::Kel4x4Matrix(const float* const* rows, const Kelvector3f& t) {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) _m[i][j] = rows[i][j];
    _m[i][3] = 0.0f;
  }
  _m[3][0] = t.x;
  _m[3][1] = t.y;
  _m[3][2] = t.z;
  _m[3][3] = 1.0f;
  Recompute();
}

Kel4x4Matrix::Kel4x4Matrix(const Kelvector3f& r, const Kelpoint3f& c) {
  const float angle = r.Norm();
  if (angle > KelMath::ZERO_MACHINE)
    SetRotation(Keldirection3f(r / angle), c, angle);
  else
    SetIdentity();
}

Kel4x4Matrix::Kel4x4Matrix(const Kelvector3f& t, const Kelvector3f& r, const Kelpoint3f& c)
    : Kel4x4Matrix(r, c) {
  *this *= Kel4x4Matrix(t);
}

Kel4x4Matrix::Kel4x4Matrix(const Kel4x4Matrix& m) : KelExtendable(m) {
  *this = m;
}

Kel4x4Matrix::~Kel4x4Matrix() = default;

Kel4x4Matrix& Kel4x4Matrix::operator=(const Kel4x4Matrix& m) {
  std::memcpy(_m, m._m, sizeof(_m));
  _determinant = m._determinant;
  _scaling = m._scaling;
  return *this;
}

Kel4x4Matrix Kel4x4Matrix::operator*(const Kel4x4Matrix& b) const {
  Kel4x4Matrix r(*this);
  r *= b;
  return r;
}

Kel4x4Matrix& Kel4x4Matrix::operator*=(const Kel4x4Matrix& b) {
  Array out;
  Multiply(_m, b._m, out);  // b may be this matrix itself
  std::memcpy(_m, out, sizeof(_m));
  Recompute();
  return *this;
}

Kel4x4Matrix Kel4x4Matrix::operator+(const Kel4x4Matrix& b) const {
  Kel4x4Matrix r(*this);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r._m[i][j] += b._m[i][j];
  r.Recompute();
  return r;
}

Kelpoint3f Kel4x4Matrix::operator*(const Kelpoint3f& p) const {
  return {p.x * _m[0][0] + p.y * _m[1][0] + p.z * _m[2][0] + _m[3][0],
          p.x * _m[0][1] + p.y * _m[1][1] + p.z * _m[2][1] + _m[3][1],
          p.x * _m[0][2] + p.y * _m[1][2] + p.z * _m[2][2] + _m[3][2]};
}

Kelvector3f Kel4x4Matrix::operator*(const Kelvector3f& v) const {
  return {v.x * _m[0][0] + v.y * _m[1][0] + v.z * _m[2][0],
          v.x * _m[0][1] + v.y * _m[1][1] + v.z * _m[2][1],
          v.x * _m[0][2] + v.y * _m[1][2] + v.z * _m[2][2]};
}

Keldirection3f Kel4x4Matrix::operator*(const Keldirection3f& d) const {
  // The direction's constructor normalises and reports a collapsed vector.
  return Keldirection3f(*this * d.AsVector());
}

void Kel4x4Matrix::SetTranslation(const Kelvector3f& t, float w) {
  _m[3][0] = t.x;
  _m[3][1] = t.y;
  _m[3][2] = t.z;
  _m[3][3] = w;
}

void Kel4x4Matrix::GetTranslation(Kelvector3f& t) const {
  t = {_m[3][0], _m[3][1], _m[3][2]};
}

void Kel4x4Matrix::SetComponents(const Keldirection3f& u, const Keldirection3f& v,
                                 const Keldirection3f& w, const Kelpoint3f& o) {
  SetComponents(u.AsVector(), v.AsVector(), w.AsVector(), o);
}

void Kel4x4Matrix::SetComponents(const Kelvector3f& u, const Kelvector3f& v, const Kelvector3f& w,
                                 const Kelpoint3f& o) {
  const Kelvector3f rows[3] = {u, v, w};
  for (int i = 0; i < 3; ++i) {
    _m[i][0] = rows[i].x;
    _m[i][1] = rows[i].y;
    _m[i][2] = rows[i].z;
    _m[i][3] = 0.0f;
  }
  _m[3][0] = o.x;
  _m[3][1] = o.y;
  _m[3][2] = o.z;
  _m[3][3] = 1.0f;
  Recompute();
}

void Kel4x4Matrix::GetComponents(Keldirection3f& u, Keldirection3f& v, Keldirection3f& w,
                                 Kelpoint3f& o) const {
  u = Keldirection3f::Unchecked(_m[0][0], _m[0][1], _m[0][2]);
  v = Keldirection3f::Unchecked(_m[1][0], _m[1][1], _m[1][2]);
  w = Keldirection3f::Unchecked(_m[2][0], _m[2][1], _m[2][2]);
  o = {_m[3][0], _m[3][1], _m[3][2]};
}

void Kel4x4Matrix::GetComponents(Kelvector3f& u, Kelvector3f& v, Kelvector3f& w,
                                 Kelpoint3f& o) const {
  u = {_m[0][0], _m[0][1], _m[0][2]};
  v = {_m[1][0], _m[1][1], _m[1][2]};
  w = {_m[2][0], _m[2][1], _m[2][2]};
  o = {_m[3][0], _m[3][1], _m[3][2]};
}

void Kel4x4Matrix::SetRotation(const Keldirection3f& axis, const Kelpoint3f& c,
                               const float& angle) {
  const float ax = axis.x, ay = axis.y, az = axis.z;
  const float n = std::sqrt(ax * ax + ay * ay);
  float a = angle;

  // F: a frame whose third axis is the rotation axis, placed at c.
  Kel4x4Matrix frame;
  if (n < KelMath::ZERO_MACHINE) {
    frame.SetTranslation(Kelvector3f(c.x, c.y, c.z), 1.0f);
    if (!(az > 0.0f)) a = -a;
  } else {
    frame.SetComponents(Kelvector3f(-ay / n, ax / n, 0.0f),
                        Kelvector3f(-ax * az / n, -ay * az / n, n), Kelvector3f(ax, ay, az), c);
  }

  Kel4x4Matrix turn;
  const float ca = std::cos(a), sa = std::sin(a);
  turn._m[0][0] = ca;
  turn._m[0][1] = -sa;
  turn._m[1][0] = sa;
  turn._m[1][1] = ca;

  Kel4x4Matrix inverse;
  frame.GetInvertedMatrix(inverse);
  *this = inverse * turn * frame;  // recomputed by the products
}

void Kel4x4Matrix::GetInvertedMatrix(Kel4x4Matrix& out) const {
  const double det = _determinant;
  if (!(std::fabs(det) > kSingular)) return;
  const double s = 1.0 / det;
  const float(&m)[4][4] = _m;
  // A translation's inverse: the opposite translation (the products below
  // give the same, a zero's sign aside).
  if (m[0][0] == 1.0f && m[1][1] == 1.0f && m[2][2] == 1.0f && m[0][1] == 0.0f && m[0][2] == 0.0f &&
      m[1][0] == 0.0f && m[1][2] == 0.0f && m[2][0] == 0.0f && m[2][1] == 0.0f && m[0][3] == 0.0f &&
      m[1][3] == 0.0f && m[2][3] == 0.0f) {
    static const Array identity = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const float t[3] = {-m[3][0], -m[3][1], -m[3][2]};
    std::memcpy(out._m, identity, sizeof identity);
    for (int j = 0; j < 3; ++j) out._m[3][j] = t[j];
    out._determinant = 1.0f;
    out._scaling = 1.0f;
    return;
  }

  // out may be this matrix: build the inverse aside.
  Array inv;
  inv[0][0] = static_cast<float>((m[1][1] * m[2][2] - m[1][2] * m[2][1]) * s);
  inv[0][1] = static_cast<float>((m[0][2] * m[2][1] - m[0][1] * m[2][2]) * s);
  inv[0][2] = static_cast<float>((m[0][1] * m[1][2] - m[0][2] * m[1][1]) * s);
  inv[1][0] = static_cast<float>((m[1][2] * m[2][0] - m[1][0] * m[2][2]) * s);
  inv[1][1] = static_cast<float>((m[0][0] * m[2][2] - m[0][2] * m[2][0]) * s);
  inv[1][2] = static_cast<float>((m[0][2] * m[1][0] - m[0][0] * m[1][2]) * s);
  inv[2][0] = static_cast<float>((m[1][0] * m[2][1] - m[1][1] * m[2][0]) * s);
  inv[2][1] = static_cast<float>((m[0][1] * m[2][0] - m[0][0] * m[2][1]) * s);
  inv[2][2] = static_cast<float>((m[0][0] * m[1][1] - m[0][1] * m[1][0]) * s);
  for (int i = 0; i < 3; ++i) inv[i][3] = 0.0f;
  for (int j = 0; j < 3; ++j)
    inv[3][j] = -(m[3][0] * inv[0][j] + m[3][1] * inv[1][j] + m[3][2] * inv[2][j]);
  inv[3][3] = 1.0f;

  std::memcpy(out._m, inv, sizeof(inv));
  out.Recompute();
}

void Kel4x4Matrix::ComputeDeterminant() {
  const float(&m)[4][4] = _m;
  _determinant = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                 m[1][0] * (m[0][1] * m[2][2] - m[0][2] * m[2][1]) +
                 m[2][0] * (m[0][1] * m[1][2] - m[1][1] * m[0][2]);
}

void Kel4x4Matrix::ComputeScaling() {
  const float d = _determinant;
  if ((d >= kUnitLow && d <= kUnitHigh) || (d >= -kUnitHigh && d <= -kUnitLow))
    _scaling = 1.0f;
  else
    _scaling = static_cast<float>(std::pow(std::fabs(static_cast<double>(d)), 0.3333333333333333));
}

void Kel4x4Matrix::SetIdentity() {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) _m[i][j] = i == j ? 1.0f : 0.0f;
  _determinant = 1.0f;
  _scaling = 1.0f;
}

void Kel4x4Matrix::Recompute() {
  ComputeDeterminant();
  ComputeScaling();
}

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/framework/KelMath.h>

#include <cmath>
#include <cstring>

KEL_IMPLEMENT_META(Kel3x3Matrix, KelExtendable)

Kel3x3Matrix::Kel3x3Matrix() {
  SetIdentity();
}

Kel3x3Matrix::Kel3x3Matrix(const Kelvector2f& u, const Kelvector2f& v, const Kelpoint2f& o) {
  SetIdentity();
  SetComponents(u, v, o);
}

Kel3x3Matrix::Kel3x3Matrix(const float rows[2][2], const Kelpoint2f& o) {
  SetIdentity();
  SetComponents(Kelvector2f(rows[0][0], rows[0][1]), Kelvector2f(rows[1][0], rows[1][1]), o);
}

Kel3x3Matrix::Kel3x3Matrix(const Kelvector2f& t) {
  SetMatrix(t);
}

Kel3x3Matrix::Kel3x3Matrix(const Kel3x3Matrix& m) : KelExtendable(m) {
  *this = m;
}

Kel3x3Matrix::~Kel3x3Matrix() = default;

Kel3x3Matrix& Kel3x3Matrix::operator=(const Kel3x3Matrix& m) {
  std::memcpy(_m, m._m, sizeof(_m));
  _scaling = m._scaling;
  _determinant = m._determinant;
  return *this;
}

Kel3x3Matrix Kel3x3Matrix::operator*(const Kel3x3Matrix& b) const {
  Kel3x3Matrix r(*this);
  r *= b;
  return r;
}

Kel3x3Matrix& Kel3x3Matrix::operator*=(const Kel3x3Matrix& b) {
  float out[4][4];  // b may be this matrix itself
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      out[i][j] = _m[i][0] * b._m[0][j] + _m[i][1] * b._m[1][j] + _m[i][2] * b._m[2][j] +
                  _m[i][3] * b._m[3][j];
  std::memcpy(_m, out, sizeof(_m));
  Recompute();
  return *this;
}

Kelpoint2f Kel3x3Matrix::operator*(const Kelpoint2f& p) const {
  return {p.x * _m[0][0] + p.y * _m[1][0] + _m[3][0], p.x * _m[0][1] + p.y * _m[1][1] + _m[3][1]};
}

Kelvector2f Kel3x3Matrix::operator*(const Kelvector2f& v) const {
  return {v.x * _m[0][0] + v.y * _m[1][0], v.x * _m[0][1] + v.y * _m[1][1]};
}

Keldirection2f Kel3x3Matrix::operator*(const Keldirection2f& d) const {
  // The direction's constructor normalises and reports a collapsed vector.
  return Keldirection2f(*this * d.AsVector());
}

void Kel3x3Matrix::SetMatrix(const Kelvector2f& t) {
  SetIdentity();
  _m[3][0] = t.x;
  _m[3][1] = t.y;
}

void Kel3x3Matrix::SetComponents(const Kelvector2f& u, const Kelvector2f& v, const Kelpoint2f& o) {
  const float rows[4][4] = {{u.x, u.y, 0.0f, 0.0f},
                            {v.x, v.y, 0.0f, 0.0f},
                            {0.0f, 0.0f, 1.0f, 0.0f},
                            {o.x, o.y, 0.0f, 1.0f}};
  std::memcpy(_m, rows, sizeof(_m));
  Recompute();
}

void Kel3x3Matrix::GetComponents(Kelvector2f& u, Kelvector2f& v, Kelpoint2f& o) const {
  u = {_m[0][0], _m[0][1]};
  v = {_m[1][0], _m[1][1]};
  o = {_m[3][0], _m[3][1]};
}

void Kel3x3Matrix::SetTranslation(const Kelvector2f& t) {
  _m[3][0] = t.x;
  _m[3][1] = t.y;
  _m[3][2] = 0.0f;
  _m[3][3] = 1.0f;
  Recompute();
}

Kelvector2f Kel3x3Matrix::GetTranslation() const {
  return {_m[3][0], _m[3][1]};
}

Kel3x3Matrix Kel3x3Matrix::GetInvertedMatrix() const {
  Kel3x3Matrix inv;
  const double det = _determinant;
  if (std::fabs(det) > KelMath::ZERO_MACHINE) {
    const double s = 1.0 / det;
    const float(&m)[4][4] = _m;
    inv._m[0][0] = static_cast<float>(m[1][1] * s);
    inv._m[0][1] = static_cast<float>(-m[0][1] * s);
    inv._m[1][0] = static_cast<float>(-m[1][0] * s);
    inv._m[1][1] = static_cast<float>(m[0][0] * s);
    inv._m[3][0] = static_cast<float>((m[1][0] * m[3][1] - m[3][0] * m[1][1]) * s);
    inv._m[3][1] = static_cast<float>((m[0][1] * m[3][0] - m[0][0] * m[3][1]) * s);
  }
  inv.Recompute();
  return inv;
}

void Kel3x3Matrix::ComputeDeterminant() {
  _determinant = _m[0][0] * _m[1][1] - _m[1][0] * _m[0][1];
}

void Kel3x3Matrix::ComputeScaling() {
  _scaling = std::sqrt(std::fabs(_determinant));
}

void Kel3x3Matrix::SetIdentity() {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) _m[i][j] = i == j ? 1.0f : 0.0f;
  _scaling = 1.0f;
  _determinant = 1.0f;
}

void Kel3x3Matrix::Recompute() {
  ComputeDeterminant();
  ComputeScaling();
}

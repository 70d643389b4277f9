#include <kel/framework/KelMath.h>
#include <kel/framework/KelMathTransformation.h>

#include <cmath>

KelMathTransformation::KelMathTransformation(const KelMathVector& translation) {
  _t[0] = translation.x;
  _t[1] = translation.y;
  _t[2] = translation.z;
}

KelMathTransformation::KelMathTransformation(const KelMathLine& axis, double angleInDegrees) {
  // Rodrigues: R = cos a I + sin a [u]x + (1 - cos a) u u^T, about the line
  // through c, so t = c - R c.
  const KelMathVector& u = axis.GetDirection();
  const double a = angleInDegrees * KelMath::DEGRERADIANS;
  const double c = std::cos(a), s = std::sin(a), k = 1.0 - c;
  const double ux = u.x, uy = u.y, uz = u.z;
  const double r[3][3] = {{c + k * ux * ux, k * ux * uy - s * uz, k * ux * uz + s * uy},
                          {k * uy * ux + s * uz, c + k * uy * uy, k * uy * uz - s * ux},
                          {k * uz * ux - s * uy, k * uz * uy + s * ux, c + k * uz * uz}};
  const KelMathPoint& o = axis.GetOrigin();
  const double p[3] = {o.x, o.y, o.z};
  for (int i = 0; i < 3; ++i) {
    _t[i] = p[i];
    for (int j = 0; j < 3; ++j) {
      _r[i][j] = r[i][j];
      _t[i] -= r[i][j] * p[j];
    }
  }
}

KelMathTransformation KelMathTransformation::operator*(const KelMathTransformation& b) const {
  // b(a(p)) = Rb (Ra p + ta) + tb
  KelMathTransformation m;
  for (int i = 0; i < 3; ++i) {
    m._t[i] = b._t[i];
    for (int j = 0; j < 3; ++j) {
      m._r[i][j] = 0.0;
      for (int k = 0; k < 3; ++k) m._r[i][j] += b._r[i][k] * _r[k][j];
      m._t[i] += b._r[i][j] * _t[j];
    }
  }
  return m;
}

KelMathPoint KelMathTransformation::Apply(const KelMathPoint& p) const {
  const KelMathVector v = Apply(KelMathVector(p.x, p.y, p.z));
  return {v.x + _t[0], v.y + _t[1], v.z + _t[2]};
}

KelMathVector KelMathTransformation::Apply(const KelMathVector& v) const {
  return {_r[0][0] * v.x + _r[0][1] * v.y + _r[0][2] * v.z,
          _r[1][0] * v.x + _r[1][1] * v.y + _r[1][2] * v.z,
          _r[2][0] * v.x + _r[2][1] * v.y + _r[2][2] * v.z};
}

KelMathTransformation KelMathTransformation::GetInverse() const {
  // A rigid motion: the inverse of R is its transpose.
  KelMathTransformation m;
  for (int i = 0; i < 3; ++i) {
    m._t[i] = 0.0;
    for (int j = 0; j < 3; ++j) {
      m._r[i][j] = _r[j][i];
      m._t[i] -= _r[j][i] * _t[j];
    }
  }
  return m;
}

int KelMathTransformation::IsIdentity(double tolerance) const {
  for (int i = 0; i < 3; ++i) {
    if (std::fabs(_t[i]) > tolerance) return 0;
    for (int j = 0; j < 3; ++j)
      if (std::fabs(_r[i][j] - (i == j ? 1.0 : 0.0)) > tolerance) return 0;
  }
  return 1;
}

void KelMathTransformation::GetMatrix(double matrix[16]) const {
  // Row-vector convention: the matrix is the transpose of the column form.
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) matrix[4 * i + j] = _r[j][i];
    matrix[4 * i + 3] = 0.0;
    matrix[12 + i] = _t[i];
  }
  matrix[15] = 1.0;
}

void KelMathTransformation::GetMatrix(float matrix[16]) const {
  double m[16];
  GetMatrix(m);
  for (int i = 0; i < 16; ++i) matrix[i] = static_cast<float>(m[i]);
}

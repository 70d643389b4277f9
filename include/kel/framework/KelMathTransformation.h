// A rigid motion of space in double precision: translations, rotations about
// lines, and their compositions. Angles are in degrees and turn by the right
// hand about the line's direction: a quarter turn about +z takes +x to +y.
#pragma once

#include <kel/framework/KelMathLine.h>
#include <kel/framework/KelMathPoint.h>
#include <kel/framework/KelMathVector.h>

class KelMathTransformation {
 public:
  // The identity.
  KelMathTransformation() = default;
  explicit KelMathTransformation(const KelMathVector& translation);
  KelMathTransformation(const KelMathLine& axis, double angleInDegrees);

  // `a * b` applies a, then b, as the library's matrices do.
  KelMathTransformation operator*(const KelMathTransformation& b) const;
  KelMathTransformation& operator*=(const KelMathTransformation& b) { return *this = *this * b; }

  KelMathPoint Apply(const KelMathPoint& p) const;
  // A vector only turns.
  KelMathVector Apply(const KelMathVector& v) const;
  KelMathPoint operator*(const KelMathPoint& p) const { return Apply(p); }
  KelMathVector operator*(const KelMathVector& v) const { return Apply(v); }

  KelMathTransformation GetInverse() const;
  KelMathVector GetTranslation() const { return {_t[0], _t[1], _t[2]}; }
  // Element (i, j) of the linear part, acting on column vectors.
  double GetCoefficient(int i, int j) const { return _r[i][j]; }
  int IsIdentity(double tolerance = 0.0) const;

  // The 4 x 4 array, row by row, in the library's row-vector convention: a
  // point is a row vector multiplied on the left, the translation is row 3.
  void GetMatrix(float matrix[16]) const;
  void GetMatrix(double matrix[16]) const;

 private:
  // p' = R p + t
  double _r[3][3] = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}};
  double _t[3] = {0.0, 0.0, 0.0};
};

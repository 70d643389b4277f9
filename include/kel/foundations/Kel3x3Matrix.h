// Affine transformation of the plane in single precision, row-vector convention.
// It keeps a full 4 by 4 array whose z row and column are the identity's, so the
// array can be handed to the graphics driver as a 3D transform.
#pragma once

#include <kel/framework/KelExtendable.h>
#include <kel/framework/Keldirection2f.h>
#include <kel/framework/Kelpoint2f.h>
#include <kel/framework/Kelvector2f.h>

class Kel3x3Matrix : public KelExtendable {
 public:
  // Identity.
  Kel3x3Matrix();
  // Rows (u, 0, 0), (v, 0, 0), (0, 0, 1, 0), (o, 0, 1).
  Kel3x3Matrix(const Kelvector2f& u, const Kelvector2f& v, const Kelpoint2f& o);
  Kel3x3Matrix(const float rows[2][2], const Kelpoint2f& o);
  // Translation by t.
  explicit Kel3x3Matrix(const Kelvector2f& t);
  Kel3x3Matrix(const Kel3x3Matrix& m);
  ~Kel3x3Matrix() override;

  KEL_DECLARE_META(Kel3x3Matrix);

  Kel3x3Matrix& operator=(const Kel3x3Matrix& m);
  // this x b: apply this, then b.
  Kel3x3Matrix operator*(const Kel3x3Matrix& b) const;
  Kel3x3Matrix& operator*=(const Kel3x3Matrix& b);

  Kelpoint2f operator*(const Kelpoint2f& p) const;
  // Linear part only.
  Kelvector2f operator*(const Kelvector2f& v) const;
  // Linear part, then normalised; a collapsed direction gives (1, 0) and an error report.
  Keldirection2f operator*(const Keldirection2f& d) const;

  // Resets the matrix to the translation by t.
  void SetMatrix(const Kelvector2f& t);
  void SetComponents(const Kelvector2f& u, const Kelvector2f& v, const Kelpoint2f& o);
  // (m00, m01), (m10, m11), (m30, m31).
  void GetComponents(Kelvector2f& u, Kelvector2f& v, Kelpoint2f& o) const;
  void SetTranslation(const Kelvector2f& t);
  Kelvector2f GetTranslation() const;

  // The inverse; the identity for a singular matrix.
  Kel3x3Matrix GetInvertedMatrix() const;

  void ComputeDeterminant();
  void ComputeScaling();

  // The 16 coefficients, row 0 first.
  const float* GetMatrix() const { return &_m[0][0]; }
  float GetCoefficient(int row, int column) const { return _m[row][column]; }
  float GetDeterminant() const { return _determinant; }
  float GetScaling() const { return _scaling; }

 private:
  void SetIdentity();
  void Recompute();

  float _scaling;
  float _determinant;
  float _m[4][4];
};

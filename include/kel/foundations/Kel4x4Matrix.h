// Affine transformation of 3D space in single precision. Row-vector convention:
// a point is a row multiplied on the left, the translation lies in row 3.
// The determinant and a uniform scaling factor are cached because bounding
// volumes and renders read them on every transformation.
#pragma once

#include <kel/framework/KelExtendable.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/framework/Kelvector3f.h>

class Kel4x4Matrix : public KelExtendable {
 public:
  // Identity.
  Kel4x4Matrix();
  // Rows (u, 0), (v, 0), (w, 0), (t, 1).
  Kel4x4Matrix(const Kelvector3f& u, const Kelvector3f& v, const Kelvector3f& w,
               const Kelvector3f& t);
  // Translation by t.
  explicit Kel4x4Matrix(const Kelvector3f& t);
  // Rows 0 to 2 from three arrays of three floats; row 3 = (t, 1).
  Kel4x4Matrix(const float* const* rows, const Kelvector3f& t);
  // Rotation by |r| radians about the axis through c along r; identity for a null r.
  Kel4x4Matrix(const Kelvector3f& r, const Kelpoint3f& c);
  // The rotation above followed by the translation t.
  Kel4x4Matrix(const Kelvector3f& t, const Kelvector3f& r, const Kelpoint3f& c);
  Kel4x4Matrix(const Kel4x4Matrix& m);
  ~Kel4x4Matrix() override;

  KEL_DECLARE_META(Kel4x4Matrix);

  Kel4x4Matrix& operator=(const Kel4x4Matrix& m);
  // this x b: apply this, then b.
  Kel4x4Matrix operator*(const Kel4x4Matrix& b) const;
  Kel4x4Matrix& operator*=(const Kel4x4Matrix& b);
  Kel4x4Matrix operator+(const Kel4x4Matrix& b) const;

  Kelpoint3f operator*(const Kelpoint3f& p) const;
  // Linear part only.
  Kelvector3f operator*(const Kelvector3f& v) const;
  // Linear part, then normalised; a collapsed direction gives (1, 0, 0) and an error report.
  Keldirection3f operator*(const Keldirection3f& d) const;

  // Row 3 = (t, w). Leaves the cached determinant and scaling alone: they do not
  // depend on row 3.
  void SetTranslation(const Kelvector3f& t, float w = 1.0f);
  void GetTranslation(Kelvector3f& t) const;

  // Rows (u, 0), (v, 0), (w, 0), (o, 1).
  void SetComponents(const Keldirection3f& u, const Keldirection3f& v, const Keldirection3f& w,
                     const Kelpoint3f& o);
  void SetComponents(const Kelvector3f& u, const Kelvector3f& v, const Kelvector3f& w,
                     const Kelpoint3f& o);
  // The first three elements of each row, as they are.
  void GetComponents(Keldirection3f& u, Keldirection3f& v, Keldirection3f& w, Kelpoint3f& o) const;
  void GetComponents(Kelvector3f& u, Kelvector3f& v, Kelvector3f& w, Kelpoint3f& o) const;

  // Replaces the matrix by the rotation of `angle` radians about the axis along the
  // unit direction through c, clockwise seen from the tip of the axis: about z,
  // (1, 0, 0) goes to (cos a, -sin a, 0).
  void SetRotation(const Keldirection3f& axis, const Kelpoint3f& c, const float& angle);

  // Writes the inverse of this affine matrix into out. A singular matrix leaves
  // out untouched, so callers pass an identity.
  void GetInvertedMatrix(Kel4x4Matrix& out) const;

  void ComputeDeterminant();
  void ComputeScaling();

  float GetDeterminant() const { return _determinant; }
  float GetScaling() const { return _scaling; }
  // The 16 coefficients, row 0 first.
  const float* GetMatrix() const { return &_m[0][0]; }
  float GetCoefficient(int row, int column) const { return _m[row][column]; }

 private:
  void SetIdentity();
  void Recompute();

  float _m[4][4];
  float _determinant;
  float _scaling;
};

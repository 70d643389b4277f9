// Bounding sphere of a 3D Rep. The radius in millimetres covers parts that keep
// a constant size on screen (markers, texts); renders convert it at draw time.
#pragma once

#include <kel/foundations/KelBoundingElement.h>
#include <kel/framework/Kelpoint3f.h>

class Kel4x4Matrix;

class Kel3DBoundingSphere : public KelBoundingElement {
 public:
  // Empty, center (0, 0, 0), radius 1, radius in millimetres 0.
  Kel3DBoundingSphere() = default;
  // Finite.
  Kel3DBoundingSphere(const Kelpoint3f& c, const float r, const float rmm);
  Kel3DBoundingSphere(const Kel3DBoundingSphere& s) = default;
  ~Kel3DBoundingSphere() override;

  KEL_DECLARE_META(Kel3DBoundingSphere);

  Kel3DBoundingSphere& operator=(const Kel3DBoundingSphere& s) = default;
  // Smallest sphere holding both.
  Kel3DBoundingSphere& operator+=(const Kel3DBoundingSphere& b);
  Kel3DBoundingSphere& operator-=(const Kel3DBoundingSphere& b);
  // Moves the center; radii follow the matrix's uniform scaling when it is not 1.
  Kel3DBoundingSphere& operator*=(const Kel4x4Matrix& m);

  // b lies strictly inside this sphere (b's state is not looked at).
  int IsInside(const Kel3DBoundingSphere& b) const;
  // b lies wholly outside this sphere.
  int IsOutside(const Kel3DBoundingSphere& b) const;

  const float* GetCenter() const { return _center; }
  float GetRadius() const { return _radius; }
  float GetRadiusMM() const { return _radiusMM; }
  // Plain setters: the state is left as it is.
  void SetCenter(const Kelpoint3f& c);
  void SetRadius(const float r) { _radius = r; }
  void SetRadiusMM(const float rmm) { _radiusMM = rmm; }

 private:
  float _center[3] = {0.0f, 0.0f, 0.0f};
  float _radius = 1.0f;
  float _radiusMM = 0.0f;
};

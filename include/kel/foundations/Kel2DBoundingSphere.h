// Bounding circle of 2D geometry, used to build 2D bounding boxes.
#pragma once

#include <kel/foundations/KelBoundingElement.h>
#include <kel/framework/Kelpoint2f.h>

class Kel3x3Matrix;

class Kel2DBoundingSphere : public KelBoundingElement {
 public:
  // Empty, center (0, 0), radius 1, radius in millimetres 0.
  Kel2DBoundingSphere() = default;
  // Finite.
  Kel2DBoundingSphere(const Kelpoint2f& c, const float r, const float rmm);
  Kel2DBoundingSphere(const Kel2DBoundingSphere& s) = default;
  ~Kel2DBoundingSphere() override;

  KEL_DECLARE_META(Kel2DBoundingSphere);

  Kel2DBoundingSphere& operator=(const Kel2DBoundingSphere& s) = default;
  // Smallest circle holding both.
  Kel2DBoundingSphere& operator+=(const Kel2DBoundingSphere& b);
  Kel2DBoundingSphere& operator-=(const Kel2DBoundingSphere& b);
  // Moves the center; radii follow the matrix's scaling when it is not 1.
  Kel2DBoundingSphere& operator*=(const Kel3x3Matrix& m);

  // b lies strictly inside this circle (b's state is not looked at).
  int IsInside(const Kel2DBoundingSphere& b) const;
  // b lies wholly outside this circle.
  int IsOutside(const Kel2DBoundingSphere& b) const;

  const float* GetCenter() const { return _center; }
  float GetRadius() const { return _radius; }
  float GetRadiusMM() const { return _radiusMM; }
  // Plain setters: the state is left as it is.
  void SetCenter(const Kelpoint2f& c);
  void SetRadius(const float r) { _radius = r; }
  void SetRadiusMM(const float rmm) { _radiusMM = rmm; }

 private:
  float _center[2] = {0.0f, 0.0f};
  float _radius = 1.0f;
  float _radiusMM = 0.0f;
};

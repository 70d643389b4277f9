// Axis-aligned bounding box of a 2D Rep. Width, height and center always follow
// the extents. The size in millimetres covers parts of constant screen size.
#pragma once

#include <kel/foundations/KelBoundingElement.h>

class Kel2DBoundingSphere;
class Kel3x3Matrix;

class Kel2DBoundingBox : public KelBoundingElement {
 public:
  // Empty, extents -0.5 to 0.5 on both axes.
  Kel2DBoundingBox() = default;
  // Finite; each pair is put in order.
  Kel2DBoundingBox(const float x1, const float x2, const float y1, const float y2);
  // The square around the circle, with its state and size in millimetres.
  explicit Kel2DBoundingBox(const Kel2DBoundingSphere& s);
  Kel2DBoundingBox(const Kel2DBoundingBox& b) = default;
  ~Kel2DBoundingBox() override;

  KEL_DECLARE_META(Kel2DBoundingBox);

  Kel2DBoundingBox& operator=(const Kel2DBoundingBox& b) = default;
  Kel2DBoundingBox& operator+=(const Kel2DBoundingBox& b);
  // Encloses the four transformed corners; the size in millimetres, a size on
  // the screen, stays.
  Kel2DBoundingBox& operator*=(const Kel3x3Matrix& m);

  // b lies wholly outside this box.
  int IsOutside(const Kel2DBoundingBox& b) const;
  // This box lies strictly inside b (the reverse of the spheres' IsInside).
  int IsInside(const Kel2DBoundingBox& b) const;

  const float* GetCenter() const { return _center; }
  void GetParameter(float* xmin, float* xmax, float* ymin, float* ymax) const;
  float GetWidth() const { return _width; }
  float GetHeight() const { return _height; }
  float GetSizeMM() const { return _sizeMM; }
  void SetSizeMM(const float mm) { _sizeMM = mm; }

 private:
  void SetExtents(float xmin, float xmax, float ymin, float ymax);

  float _center[2] = {0.0f, 0.0f};
  float _xmin = -0.5f;
  float _xmax = 0.5f;
  float _ymin = -0.5f;
  float _ymax = 0.5f;
  float _width = 1.0f;
  float _height = 1.0f;
  float _sizeMM = 0.0f;
};

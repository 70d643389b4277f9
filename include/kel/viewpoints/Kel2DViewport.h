// An axis-aligned rectangle of the 2D model: what a 2D camera sees, or the pick
// square around the cursor.
//
// Box state codes: an empty box is outside and not inside; an unbounded one is
// inside and not outside. A mixed box (finite and unbounded parts) is outside
// only when both parts are, so never; and inside when both parts are, that is
// when its finite part is.
#pragma once

#include <kel/viewpoints/KelViewport.h>

class Kel2DBoundingBox;
class Kel3x3Matrix;

class Kel2DViewport : public KelViewport {
 public:
  // All four bounds 0.
  Kel2DViewport() = default;
  // Each pair is put in order.
  Kel2DViewport(float x1, float x2, float y1, float y2);
  Kel2DViewport(const Kel2DViewport& v) = default;
  ~Kel2DViewport() override;

  Kel2DViewport& operator=(const Kel2DViewport& v) = default;

  Kel2DViewport* Clone() const override;
  int SizeOf() const override;

  void GetParameter(float* xmin, float* xmax, float* ymin, float* ymax) const;

  // Keeps the axis-aligned rectangle enclosing the four moved corners.
  Kel2DViewport& operator*=(const Kel3x3Matrix& m);

  // The box grown by GetSizeMM() * scale on every side lies wholly beyond one side.
  int IsOutside(const Kel2DBoundingBox& box, float scale) const;
  // The grown box lies strictly within the rectangle.
  int IsInside(const Kel2DBoundingBox& box, float scale) const;
  // The other rectangle lies wholly beyond one side.
  int IsOutside(const Kel2DViewport& other) const;
  // The other rectangle lies strictly within this one.
  int IsInside(const Kel2DViewport& other) const;

 private:
  float _xmin = 0.0f;
  float _xmax = 0.0f;
  float _ymin = 0.0f;
  float _ymax = 0.0f;
};

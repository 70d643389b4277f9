// An axis-aligned 2D rectangle. The mode is the driver's (docs/driver.md):
// 0 the outline, 1 filled.
#pragma once

#include <kel/primitives/KelGraphicPrimitive.h>

class Kel2DRectangleGP : public KelGraphicPrimitive {
 public:
  // Two opposite corners, in any order.
  Kel2DRectangleGP(const float* corner1, const float* corner2, const int mode);

  void Draw(KelRender& render) override;

  int GetMode() const { return _mode; }
  float GetXMax() const { return _xmax; }
  float GetYMax() const { return _ymax; }
  float GetXMin() const { return _xmin; }
  float GetYMin() const { return _ymin; }

 private:
  int _mode;
  float _xmax;
  float _ymax;
  float _xmin;
  float _ymin;
};

// An arc of circle in the 2D model, cut into as many segments as the render's
// chord tolerance asks for and clipped to the 2D viewport when it is drawn.
// Angles in radians, counter-clockwise from +x; a full turn is 1000 units of
// 0.002 pi, the finest segment 4 units.
#pragma once

#include <kel/primitives/KelDynamicGP.h>

class Kel2DViewport;

class Kel2DArcCircleGP : public KelDynamicGP {
 public:
  // From start to end counter-clockwise: an end below the start is taken one
  // turn further, the start is brought into [0, 2 pi) with the end, and more
  // than a turn is one turn. Mode 0 draws the arc as a polyline, any other
  // value as a polygon (closed by the chord) with that fill argument.
  Kel2DArcCircleGP(const float* center, const float radius, const float start, const float end,
                   const int mode);

  void ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                     const KelViewport* viewport) override;

  static constexpr int MAX_INTERVALS = 6;
  // A whole turn at the finest segment angle, plus the end point.
  static constexpr int MAX_POINTS = 252;

  // The angular intervals of the arc inside the viewport's rectangle, written
  // to the two arrays (room for MAX_INTERVALS each), in increasing angle;
  // answers how many. Outline arcs are cut by the rectangle's sides; filled
  // ones are kept whole unless the rectangle lies beyond the circle. Without
  // a viewport the arc's own range.
  int ClipRectangle(const Kel2DViewport* viewport, double* starts, double* ends) const;
  // The points of [start, end] at chord tolerance s, written to `points` (room
  // for MAX_POINTS): answers how many, 0 for a radius that is not positive.
  int ComputePoints(double start, double end, double s, float* points) const;

  const double* GetCenter() const { return _center; }
  double GetRadius() const { return _radius; }
  double GetStart() const { return _start; }
  double GetEnd() const { return _end; }
  int GetMode() const { return _mode; }

 private:
  double _center[2];
  double _radius;
  double _squaredRadius;
  double _start;
  double _end;
  int _mode;
};

// An arc of circle in 3D, cut into as many segments as the chord error
// tolerated at its place asks for, when it is drawn.
#pragma once

#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/KelDynamicGP.h>

class Kel3DArcCircleGP : public KelDynamicGP {
 public:
  // The circle lies in the plane through center normal to `normal`; angle 0
  // points along `axis` and angles grow towards normal x axis. Angles in
  // radians; an end below the start is taken one turn further. Neither
  // direction is normalised.
  Kel3DArcCircleGP(const float* center, const float* normal, const float* axis, const float radius,
                   const float start, const float end);

  void ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                     const KelViewport* viewport) override;

  // Most points drawn: a whole turn at the finest segment angle, plus one.
  static constexpr int MAX_POINTS = 252;
  // Finest segment angle (250 segments per turn).
  static constexpr double MIN_SEGMENT_ANGLE = 0.025132741;

  const Kel3DBoundingSphere& GetBoundingSphere() const { return _sphere; }
  double GetRadius() const { return _radius; }
  double GetStart() const { return _start; }
  double GetEnd() const { return _end; }
  const Kel4x4Matrix& GetFrame() const { return _frame; }

  // Number of points drawn for a tolerated chord error s; below 3 nothing is.
  int ComputePointCount(double s) const;

 private:
  Kel3DBoundingSphere _sphere;
  double _radius;
  double _start;
  double _end;
  Kel4x4Matrix _frame;
  double _cosStart;
  double _sinStart;
};

// A 2D curve given as points computed for a chord tolerance (its sag, in model
// units), in segments that share their end points. Drawn whole while the
// render's tolerance (Get2DModelSag) is at most the curve's; when zoomed out,
// every k-th point of each segment with k = floor(sqrt(render sag / curve
// sag)), segment ends always kept (docs/2d.md).
#pragma once

#include <kel/primitives/KelDynamicGP.h>

#include <memory>

class Kel2DCurveGP : public KelDynamicGP {
 public:
  // nbPoints (x, y) points in nbSegments segments; a segment of n points
  // shares its first point with the previous segment's last one, so the
  // counts add up to nbPoints + nbSegments - 1. Counts that disagree, a
  // segment of no point, or missing arrays are refused with a message: the
  // curve is then empty. With no segment at all the points are one run.
  Kel2DCurveGP(const float sag, const int nbSegments, const int nbPoints,
               const int* pointsPerSegment, const float* points);
  ~Kel2DCurveGP() override;
  Kel2DCurveGP(const Kel2DCurveGP&) = delete;
  Kel2DCurveGP& operator=(const Kel2DCurveGP&) = delete;

  void ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                     const KelViewport* viewport) override;

  // Every how many points a segment is drawn at the render's tolerance s.
  int ComputeStep(const float s) const;

  float GetSag() const { return _sag; }
  const float* GetPoints() const { return _points.get(); }
  int GetNbSegments() const { return _nbSegments; }
  int GetNbPoints() const { return _nbPoints; }
  const int* GetPointsPerSegment() const { return _pointsPerSegment.get(); }

 private:
  float _sag;
  std::unique_ptr<float[]> _points;
  int _nbSegments = 0;
  int _nbPoints = 0;
  std::unique_ptr<int[]> _pointsPerSegment;
};

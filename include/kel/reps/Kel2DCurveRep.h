// A 2D curve drawn with as many of its points as the zoom needs
// (Kel2DCurveGP).
#pragma once

#include <kel/reps/Kel2DRep.h>

class Kel2DCurveGP;

class Kel2DCurveRep : public Kel2DRep {
 public:
  Kel2DCurveRep(const float sag, const int nbSegments, const int nbPoints,
                const int* pointsPerSegment, const float* points);
  ~Kel2DCurveRep() override;

  void DrawShading(KelRender& render, int inside) override;

  const Kel2DCurveGP* GetCurve() const { return _curve; }

 private:
  Kel2DCurveGP* _curve = nullptr;
};

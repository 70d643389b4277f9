// An arc of circle in the 2D model (Kel2DArcCircleGP, drawn as a polyline).
#pragma once

#include <kel/reps/Kel2DRep.h>

class Kel2DArcCircleGP;

class Kel2DArcCircleRep : public Kel2DRep {
 public:
  // Angles in radians, counter-clockwise from start to end.
  Kel2DArcCircleRep(const float* center, const float radius, const float start, const float end);
  ~Kel2DArcCircleRep() override;

  void DrawShading(KelRender& render, int inside) override;

  const Kel2DArcCircleGP* GetArc() const { return _arc; }

 private:
  Kel2DArcCircleGP* _arc = nullptr;
};

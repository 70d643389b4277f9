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
  // The parameters it was built from.
  const float* GetCenter() const { return _center; }
  float GetRadius() const { return _radius; }
  float GetStart() const { return _start; }
  float GetEnd() const { return _end; }

 private:
  Kel2DArcCircleGP* _arc = nullptr;
  float _center[2] = {0.0f, 0.0f};
  float _radius = 0.0f, _start = 0.0f, _end = 0.0f;
};

// A 2D polygon, outlined (mode 0) or filled.
#pragma once

#include <kel/reps/Kel2DRep.h>

class Kel2DPolygonGP;

class Kel2DPolygonRep : public Kel2DRep {
 public:
  // n (x, y) points, copied.
  Kel2DPolygonRep(const float* points, const int n, const int mode);
  ~Kel2DPolygonRep() override;

  void DrawShading(KelRender& render, int inside) override;

  const Kel2DPolygonGP* GetPolygon() const { return _polygon; }

 private:
  Kel2DPolygonGP* _polygon = nullptr;
};

// A cross over the rectangle c +- (a, b): its two diagonals (k = 0), or four
// segments from the corners towards c that stop at x = c.x +- k. Drawn
// whenever shown (no culling).
#pragma once

#include <kel/framework/Kelpoint2f.h>
#include <kel/reps/Kel2DRep.h>

class Kel2DLineGP;

class Kel2DCrossRep : public Kel2DRep {
 public:
  // A rectangle of no width (a = 0) has no slope to stop on: its diagonals.
  Kel2DCrossRep(Kelpoint2f& c, float a, float b, float k);
  ~Kel2DCrossRep() override;

  void DrawShading(KelRender& render, int inside) override;
  void Modify(Kelpoint2f& c, float a, float b, float k);

  int GetNbSegments() const { return _count; }
  const Kel2DLineGP* GetSegment(int i) const { return _segments[i]; }
  // The parameters of the last build.
  const Kelpoint2f& GetCenter() const { return _center; }
  float GetA() const { return _a; }
  float GetB() const { return _b; }
  float GetK() const { return _k; }

 private:
  void ReleaseSegments();

  Kel2DLineGP* _segments[4] = {nullptr, nullptr, nullptr, nullptr};
  int _count = 0;
  Kelpoint2f _center;
  float _a = 0.0f, _b = 0.0f, _k = 0.0f;
};

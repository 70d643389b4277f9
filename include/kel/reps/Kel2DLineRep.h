// A single 2D segment.
#pragma once

#include <kel/framework/Kelpoint2f.h>
#include <kel/reps/Kel2DRep.h>

class Kel2DLineGP;

class Kel2DLineRep : public Kel2DRep {
 public:
  // Four values: x1, y1, x2, y2.
  explicit Kel2DLineRep(const float* points);
  Kel2DLineRep(const Kelpoint2f& a, const Kelpoint2f& b);
  ~Kel2DLineRep() override;

  void DrawShading(KelRender& render, int inside) override;
  // Rebuilds the segment and the parents' boxes.
  void Modify(const Kelpoint2f& a, const Kelpoint2f& b);

  const Kel2DLineGP* GetLine() const { return _line; }

 private:
  void Build(const float* points);

  Kel2DLineGP* _line = nullptr;
};

// An arrowhead of fixed size in screen millimetres, its tip at a 2D point
// (Kel2DArrowSymbolGP, types 11 to 14).
#pragma once

#include <kel/primitives/SymbolType.h>
#include <kel/reps/Kel2DRep.h>

class Kel2DArrowSymbolGP;

class Kel2DArrowSymbolRep : public Kel2DRep {
 public:
  // size: the head's length in millimetres; halfAngle in radians.
  Kel2DArrowSymbolRep(const float* point, const float* direction, const float size,
                      const float halfAngle, SymbolType type);
  ~Kel2DArrowSymbolRep() override;

  void DrawShading(KelRender& render, int inside) override;

  const Kel2DArrowSymbolGP* GetArrow() const { return _arrow; }

 private:
  Kel2DArrowSymbolGP* _arrow = nullptr;
};

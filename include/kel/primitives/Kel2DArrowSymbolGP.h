// An arrowhead of fixed size in screen millimetres: its tip on the position,
// pointing along the direction, its half-angle at the tip in radians. Types
// 11 (open), 12 (triangle), 13 (triangle filled in the background colour 254)
// and 14 (filled); other types draw nothing.
#pragma once

#include <kel/primitives/Kel2DSymbolGP.h>

class Kel2DArrowSymbolGP : public Kel2DSymbolGP {
 public:
  // size: the head's length in millimetres. The direction is not normalised
  // here; a null one is reported when drawn, and +x used.
  Kel2DArrowSymbolGP(const float* position, const float* direction, const float size,
                     const float halfAngle, SymbolType type);

  void ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                     const KelViewport* viewport) override;

  const float* GetDirection() const { return _direction; }
  float GetHalfAngle() const { return _halfAngle; }

 private:
  float _direction[2];
  float _halfAngle;
};

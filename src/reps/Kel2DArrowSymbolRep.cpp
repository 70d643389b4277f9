#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/primitives/Kel2DArrowSymbolGP.h>
#include <kel/reps/Kel2DArrowSymbolRep.h>

#include <cmath>

Kel2DArrowSymbolRep::Kel2DArrowSymbolRep(const float* point, const float* direction,
                                         const float size, const float halfAngle, SymbolType type)
    : _arrow(new Kel2DArrowSymbolGP(point, direction, size, halfAngle, type)) {
  // The barbs lie size / cos(half-angle) from the tip: a wide head reaches
  // past its length.
  const float reach = std::fabs(size) * std::hypot(1.0f, std::tan(halfAngle));
  SetBoundingElement(Kel2DBoundingBox(
      Kel2DBoundingSphere(Kelpoint2f(point), 0.0f, std::isfinite(reach) ? reach : 0.0f)));
}

Kel2DArrowSymbolRep::~Kel2DArrowSymbolRep() {
  Release(_arrow);
}

void Kel2DArrowSymbolRep::DrawShading(KelRender& render, int) {
  DrawInBox(render, _arrow);
}

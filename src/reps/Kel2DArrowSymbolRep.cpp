#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/primitives/Kel2DArrowSymbolGP.h>
#include <kel/reps/Kel2DArrowSymbolRep.h>

Kel2DArrowSymbolRep::Kel2DArrowSymbolRep(const float* point, const float* direction,
                                         const float size, const float halfAngle, SymbolType type)
    : _arrow(new Kel2DArrowSymbolGP(point, direction, size, halfAngle, type)) {
  SetBoundingElement(Kel2DBoundingBox(Kel2DBoundingSphere(Kelpoint2f(point), 0.0f, size)));
}

Kel2DArrowSymbolRep::~Kel2DArrowSymbolRep() {
  Release(_arrow);
}

void Kel2DArrowSymbolRep::DrawShading(KelRender& render, int) {
  DrawInBox(render, _arrow);
}

#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/primitives/Kel2DSymbolGP.h>
#include <kel/reps/Kel2DSymbolRep.h>

Kel2DSymbolRep::Kel2DSymbolRep(const float* point, const float size, SymbolType type)
    : _symbol(new Kel2DSymbolGP(point, size, type)) {
  SetBoundingElement(Kel2DBoundingBox(Kel2DBoundingSphere(Kelpoint2f(point), 0.0f, size)));
}

Kel2DSymbolRep::~Kel2DSymbolRep() {
  Release(_symbol);
}

void Kel2DSymbolRep::DrawShading(KelRender& render, int) {
  DrawInBox(render, _symbol);
}

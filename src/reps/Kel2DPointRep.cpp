#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/primitives/Kel2DMarkerGP.h>
#include <kel/reps/Kel2DPointRep.h>

Kel2DPointRep::Kel2DPointRep(const float* point, SymbolType type) : _type(type) {
  Modify(point);
}

Kel2DPointRep::~Kel2DPointRep() {
  Release(_marker);
}

void Kel2DPointRep::Modify(const float* point) {
  Replace(_marker, new Kel2DMarkerGP(point, 1, _type, 1));
  SetBoundingElement(Kel2DBoundingBox(Kel2DBoundingSphere(Kelpoint2f(point), 0.0f, 0.0f)));
}

void Kel2DPointRep::Modify(const Kelpoint2f& point) {
  Modify(point.GetCoord());
}

void Kel2DPointRep::DrawShading(KelRender& render, int) {
  DrawInBox(render, _marker);
}

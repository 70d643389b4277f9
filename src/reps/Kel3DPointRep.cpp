#include <kel/reps/Kel3DPointRep.h>

#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/render/KelRender.h>

KEL_IMPLEMENT_META(Kel3DPointRep, Kel3DRep)

Kel3DPointRep::Kel3DPointRep() = default;
Kel3DPointRep::Kel3DPointRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DPointRep::Kel3DPointRep(const float* point, SymbolType type) {
  Build(point, type);
}
Kel3DPointRep::Kel3DPointRep(const float* point, SymbolType type, KelModelIdentificator& id,
                             KelVisuController* controller)
    : Kel3DRep(id, controller) {
  Build(point, type);
}
Kel3DPointRep::Kel3DPointRep(const Kelpoint3f& point, SymbolType type) {
  Build(point.GetCoord(), type);
}
Kel3DPointRep::Kel3DPointRep(const Kelpoint3f& point, SymbolType type, KelModelIdentificator& id,
                             KelVisuController* controller)
    : Kel3DRep(id, controller) {
  Build(point.GetCoord(), type);
}

Kel3DPointRep::~Kel3DPointRep() {
  if (_marker) KelGraphicPrimitive::Destroy(_marker);
}

void Kel3DPointRep::Build(const float* point, SymbolType type) {
  if (_marker) KelGraphicPrimitive::Destroy(_marker);
  _marker = new Kel3DMarkerGP(point, 1, type, 1);
  SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(point), 0.0f, 0.0f));
}

void Kel3DPointRep::Modify(const float* point) {
  Build(point, _marker ? _marker->GetSymbolType() : DEFAULT_SYMBOL);
  ComputeParentsBoundingElement();
}

void Kel3DPointRep::DrawShading(KelRender& render, int) {
  if (_marker && render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this)))
    _marker->Draw(render);
}

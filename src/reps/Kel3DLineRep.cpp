#include <kel/reps/Kel3DLineRep.h>

#include <kel/primitives/Kel3DLineGP.h>
#include <kel/render/KelRender.h>

KEL_IMPLEMENT_META(Kel3DLineRep, Kel3DRep)

Kel3DLineRep::Kel3DLineRep() = default;
Kel3DLineRep::Kel3DLineRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DLineRep::Kel3DLineRep(const Kelpoint3f& a, const Kelpoint3f& b) {
  const float points[6] = {a.x, a.y, a.z, b.x, b.y, b.z};
  Build(points);
}
Kel3DLineRep::Kel3DLineRep(const Kelpoint3f& a, const Kelpoint3f& b, KelModelIdentificator& id,
                           KelVisuController* controller)
    : Kel3DRep(id, controller) {
  const float points[6] = {a.x, a.y, a.z, b.x, b.y, b.z};
  Build(points);
}
Kel3DLineRep::Kel3DLineRep(const float* points) {
  Build(points);
}
Kel3DLineRep::Kel3DLineRep(const float* points, KelModelIdentificator& id,
                           KelVisuController* controller)
    : Kel3DRep(id, controller) {
  Build(points);
}

Kel3DLineRep::~Kel3DLineRep() {
  if (_line) KelGraphicPrimitive::Destroy(_line);
}

void Kel3DLineRep::Build(const float* points) {
  if (_line) KelGraphicPrimitive::Destroy(_line);
  _line = new Kel3DLineGP(points, 2, 1);
  const Kelpoint3f a(points), b(points + 3);
  SetBoundingElement(Kel3DBoundingSphere(a + 0.5f * (b - a), 0.5f * (b - a).Norm(), 0.0f));
}

void Kel3DLineRep::Modify(const Kelpoint3f& a, const Kelpoint3f& b) {
  const float points[6] = {a.x, a.y, a.z, b.x, b.y, b.z};
  Build(points);
  ComputeParentsBoundingElement();
}

void Kel3DLineRep::DrawShading(KelRender& render, int) {
  if (_line && render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this)))
    _line->Draw(render);
}

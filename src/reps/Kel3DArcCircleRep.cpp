#include <kel/reps/Kel3DArcCircleRep.h>

#include <kel/primitives/Kel3DArcCircleGP.h>
#include <kel/render/KelRender.h>

KEL_IMPLEMENT_META(Kel3DArcCircleRep, Kel3DRep)

Kel3DArcCircleRep::Kel3DArcCircleRep() = default;
Kel3DArcCircleRep::Kel3DArcCircleRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DArcCircleRep::Kel3DArcCircleRep(const float* center, const float* normal, const float* axis,
                                     const float radius, const float start, const float end) {
  Build(center, normal, axis, radius, start, end);
}
Kel3DArcCircleRep::Kel3DArcCircleRep(const float* center, const float* normal, const float* axis,
                                     const float radius, const float start, const float end,
                                     KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {
  Build(center, normal, axis, radius, start, end);
}

Kel3DArcCircleRep::~Kel3DArcCircleRep() {
  if (_arc) KelGraphicPrimitive::Destroy(_arc);
}

void Kel3DArcCircleRep::Build(const float* center, const float* normal, const float* axis,
                              const float radius, const float start, const float end) {
  for (int k = 0; k < 3; ++k) {
    _center[k] = center[k];
    _normal[k] = normal[k];
    _axis[k] = axis[k];
  }
  _radius = radius;
  _start = start;
  _end = end;
  _arc = new Kel3DArcCircleGP(center, normal, axis, radius, start, end);
  SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(center), radius, 0.0f));
}

void Kel3DArcCircleRep::DrawShading(KelRender& render, int) {
  if (_arc && render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this)))
    _arc->Draw(render);
}

#include <kel/reps/Kel3DPlanRep.h>

#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelRender.h>

KEL_IMPLEMENT_META(Kel3DPlanRep, Kel3DRep)

Kel3DPlanRep::Kel3DPlanRep() = default;
Kel3DPlanRep::Kel3DPlanRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DPlanRep::~Kel3DPlanRep() {
  if (_primitive) KelGraphicPrimitive::Destroy(_primitive);
}

void Kel3DPlanRep::SetPrimitive(KelGraphicPrimitive* gp) {
  if (gp == _primitive) return;
  if (_primitive) KelGraphicPrimitive::Destroy(_primitive);
  _primitive = gp;
}

void Kel3DPlanRep::DrawShading(KelRender& render, int) {
  if (_primitive &&
      render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this)))
    _primitive->Draw(render);
}

#include <kel/reps/KelLightSourceSetRep.h>

#include <kel/primitives/Kel3DLightSourceGP.h>
#include <kel/reps/KelLightSourceSet.h>

KelLightSourceSetRep::KelLightSourceSetRep(const KelLightSourceSet& set) {
  ModifyWithDirection(set);
}

KelLightSourceSetRep::~KelLightSourceSetRep() {
  ModifyWithDirection();
}

Kel3DLightSourceGP* KelLightSourceSetRep::NewLight(const Keldirection3f& d) {
  const float position[4] = {d.x, d.y, d.z, 0.0f};
  const float direction[3] = {d.x, d.y, d.z};
  return new Kel3DLightSourceGP(position, direction, diffuse, specular, DIRECTIONAL_SL);
}

void KelLightSourceSetRep::ModifyWithDirection(const KelLightSourceSet& set) {
  switch (set.GetLightSourceCount()) {
    case 0:
      ModifyWithDirection();
      break;
    case 1:
      ModifyWithDirection(set.GetFirstDirection());
      break;
    default:
      ModifyWithDirection(set.GetFirstDirection(), set.GetSecondDirection());
      break;
  }
}

void KelLightSourceSetRep::ModifyWithDirection() {
  // Destroy defers the deletion while a recorded frame may still point at them.
  if (_second) KelGraphicPrimitive::Destroy(_second);
  if (_first) KelGraphicPrimitive::Destroy(_first);
  _second = _first = nullptr;
  _count = 0;
}

void KelLightSourceSetRep::ModifyWithDirection(const Keldirection3f& d) {
  if (_first)
    _first->ModifyDirection(d);
  else
    _first = NewLight(d);
  if (_second) KelGraphicPrimitive::Destroy(_second);
  _second = nullptr;
  _count = 1;
}

void KelLightSourceSetRep::ModifyWithDirection(const Keldirection3f& d1, const Keldirection3f& d2) {
  if (_first)
    _first->ModifyDirection(d1);
  else
    _first = NewLight(d1);
  if (_second)
    _second->ModifyDirection(d2);
  else
    _second = NewLight(d2);
  _count = 2;
}

void KelLightSourceSetRep::DrawShading(KelRender& render, int) {
  if (_first) _first->Draw(render);
  if (_count == 2 && _second) _second->Draw(render);
}

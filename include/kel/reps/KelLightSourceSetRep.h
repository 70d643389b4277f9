// The Rep of a light source set: one light primitive per light, drawn without
// any visibility test (a light has no volume: the sphere stays empty).
#pragma once

#include <kel/framework/Keldirection3f.h>
#include <kel/reps/Kel3DRep.h>

class Kel3DLightSourceGP;
class KelLightSourceSet;

class KelLightSourceSetRep : public Kel3DRep {
 public:
  explicit KelLightSourceSetRep(const KelLightSourceSet& set);
  ~KelLightSourceSetRep() override;

  void DrawShading(KelRender& render, int inside) override;

  // Follows the set's count: no light, one or two.
  void ModifyWithDirection(const KelLightSourceSet& set);
  // Releases the lights.
  void ModifyWithDirection();
  // One light along d; a second one is released.
  void ModifyWithDirection(const Keldirection3f& d);
  // Two lights; missing ones are created, existing ones moved.
  void ModifyWithDirection(const Keldirection3f& d1, const Keldirection3f& d2);

  int GetLightSourceCount() const { return _count; }
  Kel3DLightSourceGP* GetFirstLight() const { return _first; }
  Kel3DLightSourceGP* GetSecondLight() const { return _second; }

 private:
  static Kel3DLightSourceGP* NewLight(const Keldirection3f& d);

  int _count = 0;
  Kel3DLightSourceGP* _first = nullptr;
  Kel3DLightSourceGP* _second = nullptr;
};

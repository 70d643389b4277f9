// A Rep holding one primitive supplied by its owner (a fixed plan marking a
// plane, usually); the owner also sets the volume.
#pragma once

#include <kel/reps/Kel3DRep.h>

class KelGraphicPrimitive;

class Kel3DPlanRep : public Kel3DRep {
 public:
  Kel3DPlanRep();
  Kel3DPlanRep(KelModelIdentificator& id, KelVisuController* controller);
  ~Kel3DPlanRep() override;

  KEL_DECLARE_META(Kel3DPlanRep);

  void DrawShading(KelRender& render, int inside) override;

  // Takes ownership of gp and releases the primitive held before.
  void SetPrimitive(KelGraphicPrimitive* gp);
  KelGraphicPrimitive* GetPrimitive() const { return _primitive; }

 private:
  KelGraphicPrimitive* _primitive = nullptr;
};

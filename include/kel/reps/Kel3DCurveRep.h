// A curve with levels of detail: one primitive per level, supplied by the
// owner, and the sag of each level, finest first. The owner sets the volume.
#pragma once

#include <kel/reps/Kel3DRep.h>

#include <memory>

class KelGraphicPrimitive;

class Kel3DCurveRep : public Kel3DRep {
 public:
  // Three empty levels, all sags 0.
  Kel3DCurveRep();
  Kel3DCurveRep(KelModelIdentificator& id, KelVisuController* controller);
  // n empty levels and a copy of the n sags.
  Kel3DCurveRep(int n, const float* sags);
  Kel3DCurveRep(int n, const float* sags, KelModelIdentificator& id, KelVisuController* controller);
  ~Kel3DCurveRep() override;

  KEL_DECLARE_META(Kel3DCurveRep);

  void DrawShading(KelRender& render, int inside) override;

  // Takes ownership of gp for level i and releases the primitive held there. A
  // level out of range is refused: the caller keeps gp.
  void AddWireframeLOD(int i, KelGraphicPrimitive* gp);

  int GetNbLevels() const { return _nbLevels; }
  const float* GetSags() const { return _sags.get(); }
  KelGraphicPrimitive* GetLOD(int i) const;

 private:
  void Init(int n, const float* sags);

  int _nbLevels = 0;
  std::unique_ptr<float[]> _sags;
  std::unique_ptr<KelGraphicPrimitive*[]> _levels;
};

// A single 3D segment.
#pragma once

#include <kel/framework/Kelpoint3f.h>
#include <kel/reps/Kel3DRep.h>

class Kel3DLineGP;

class Kel3DLineRep : public Kel3DRep {
 public:
  Kel3DLineRep();
  Kel3DLineRep(KelModelIdentificator& id, KelVisuController* controller);
  Kel3DLineRep(const Kelpoint3f& a, const Kelpoint3f& b);
  Kel3DLineRep(const Kelpoint3f& a, const Kelpoint3f& b, KelModelIdentificator& id,
               KelVisuController* controller);
  // Six values: the two end points.
  explicit Kel3DLineRep(const float* points);
  Kel3DLineRep(const float* points, KelModelIdentificator& id, KelVisuController* controller);
  ~Kel3DLineRep() override;

  KEL_DECLARE_META(Kel3DLineRep);

  void DrawShading(KelRender& render, int inside) override;
  // Rebuilds the segment and the parents' volumes.
  void Modify(const Kelpoint3f& a, const Kelpoint3f& b);

  const Kel3DLineGP* GetLine() const { return _line; }

 private:
  void Build(const float* points);

  Kel3DLineGP* _line = nullptr;
};

// An arc of circle in 3D, cut to the chord error tolerated where it is seen.
#pragma once

#include <kel/reps/Kel3DRep.h>

class Kel3DArcCircleGP;

class Kel3DArcCircleRep : public Kel3DRep {
 public:
  Kel3DArcCircleRep();
  Kel3DArcCircleRep(KelModelIdentificator& id, KelVisuController* controller);
  // As the arc primitive: angle 0 along `axis`, in the plane normal to `normal`.
  Kel3DArcCircleRep(const float* center, const float* normal, const float* axis, const float radius,
                    const float start, const float end);
  Kel3DArcCircleRep(const float* center, const float* normal, const float* axis, const float radius,
                    const float start, const float end, KelModelIdentificator& id,
                    KelVisuController* controller);
  ~Kel3DArcCircleRep() override;

  KEL_DECLARE_META(Kel3DArcCircleRep);

  void DrawShading(KelRender& render, int inside) override;

  const Kel3DArcCircleGP* GetArc() const { return _arc; }
  // The parameters it was built from.
  const float* GetCenter() const { return _center; }
  const float* GetNormal() const { return _normal; }
  const float* GetAxis() const { return _axis; }
  float GetRadius() const { return _radius; }
  float GetStart() const { return _start; }
  float GetEnd() const { return _end; }

 private:
  void Build(const float* center, const float* normal, const float* axis, const float radius,
             const float start, const float end);

  Kel3DArcCircleGP* _arc = nullptr;
  float _center[3] = {0.0f, 0.0f, 0.0f}, _normal[3] = {0.0f, 0.0f, 0.0f},
        _axis[3] = {0.0f, 0.0f, 0.0f};
  float _radius = 0.0f, _start = 0.0f, _end = 0.0f;
};

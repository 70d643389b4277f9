// A cloud of 3D points drawn as one marker primitive of dots. The owner sets
// the volume.
#pragma once

#include <kel/reps/Kel3DRep.h>

class Kel3DMarkerGP;

class Kel3DCloudOfPointsRep : public Kel3DRep {
 public:
  Kel3DCloudOfPointsRep();
  Kel3DCloudOfPointsRep(KelModelIdentificator& id, KelVisuController* controller);
  // n points of three floats, copied.
  Kel3DCloudOfPointsRep(const float* points, const int n);
  Kel3DCloudOfPointsRep(const float* points, const int n, KelModelIdentificator& id,
                        KelVisuController* controller);
  ~Kel3DCloudOfPointsRep() override;

  KEL_DECLARE_META(Kel3DCloudOfPointsRep);

  void DrawShading(KelRender& render, int inside) override;

  const Kel3DMarkerGP* GetMarker() const { return _marker; }

 private:
  Kel3DMarkerGP* _marker = nullptr;
};

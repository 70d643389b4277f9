// A shaded sphere made of n triangle strips between n + 1 meridians, with
// one outward normal per vertex.
#pragma once

#include <kel/framework/Kelpoint3f.h>
#include <kel/reps/Kel3DRep.h>

class Kel3DFaceGP;

class Kel3DSimpleSphereRep : public Kel3DRep {
 public:
  // Fewest and most meridians; n outside is reported and brought inside.
  static constexpr int MIN_MERIDIANS = 2;
  static constexpr int MAX_MERIDIANS = 1024;

  Kel3DSimpleSphereRep();
  Kel3DSimpleSphereRep(KelModelIdentificator& id, KelVisuController* controller);
  Kel3DSimpleSphereRep(Kelpoint3f center, float radius, int n);
  Kel3DSimpleSphereRep(Kelpoint3f center, float radius, int n, KelModelIdentificator& id,
                       KelVisuController* controller);
  ~Kel3DSimpleSphereRep() override;

  KEL_DECLARE_META(Kel3DSimpleSphereRep);

  void DrawShading(KelRender& render, int inside) override;

  void Modify(Kelpoint3f center, float radius, int n);
  // Keeps the number of meridians.
  void Modify(Kelpoint3f center, float radius);

  int GetNbMeridians() const { return _n; }
  const Kelpoint3f& GetCenter() const { return _center; }
  float GetRadius() const { return _radius; }
  const Kel3DFaceGP* GetFace() const { return _face; }

 protected:
  void BuildFaces(Kelpoint3f center, float radius, int n);

 private:
  int _n = 0;
  Kelpoint3f _center;
  float _radius = 0.0f;
  Kel3DFaceGP* _face = nullptr;
};

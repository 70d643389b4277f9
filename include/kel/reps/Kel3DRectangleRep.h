// A flat parallelogram from a corner and two edge vectors, shaded.
#pragma once

#include <kel/framework/Kelpoint3f.h>
#include <kel/framework/Kelvector3f.h>
#include <kel/reps/Kel3DRep.h>

class Kel3DPlanarFaceGP;

class Kel3DRectangleRep : public Kel3DRep {
 public:
  Kel3DRectangleRep();
  Kel3DRectangleRep(KelModelIdentificator& id, KelVisuController* controller);
  // A colour outside 0 to 255 gives 253.
  Kel3DRectangleRep(const Kelpoint3f& corner, const Kelvector3f& u, const Kelvector3f& v,
                    const int colour);
  Kel3DRectangleRep(const Kelpoint3f& corner, const Kelvector3f& u, const Kelvector3f& v,
                    const int colour, KelModelIdentificator& id, KelVisuController* controller);
  ~Kel3DRectangleRep() override;

  KEL_DECLARE_META(Kel3DRectangleRep);

  void DrawShading(KelRender& render, int inside) override;

  const Kel3DPlanarFaceGP* GetFace() const { return _face; }
  const Kelpoint3f& GetCorner() const { return _corner; }
  const Kelvector3f& GetU() const { return _u; }
  const Kelvector3f& GetV() const { return _v; }

 private:
  void Build(const Kelpoint3f& corner, const Kelvector3f& u, const Kelvector3f& v,
             const int colour);

  Kel3DPlanarFaceGP* _face = nullptr;
  Kelpoint3f _corner;
  Kelvector3f _u, _v;
};

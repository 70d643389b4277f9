// A closed box (a parallelepiped) from a corner and three edge vectors: six
// shaded sides, each facing outwards.
#pragma once

#include <kel/framework/Kelpoint3f.h>
#include <kel/framework/Kelvector3f.h>
#include <kel/reps/Kel3DRep.h>

class Kel3DPlanarFaceGP;

class Kel3DCuboidRep : public Kel3DRep {
 public:
  Kel3DCuboidRep();
  Kel3DCuboidRep(KelModelIdentificator& id, KelVisuController* controller);
  // A colour outside 0 to 255 gives 253.
  Kel3DCuboidRep(const Kelpoint3f& corner, const Kelvector3f& u, const Kelvector3f& v,
                 const Kelvector3f& w, const int colour);
  Kel3DCuboidRep(const Kelpoint3f& corner, const Kelvector3f& u, const Kelvector3f& v,
                 const Kelvector3f& w, const int colour, KelModelIdentificator& id,
                 KelVisuController* controller);
  ~Kel3DCuboidRep() override;

  KEL_DECLARE_META(Kel3DCuboidRep);

  void DrawShading(KelRender& render, int inside) override;

  // Moves the box to a new corner.
  void Modify(const Kelpoint3f& corner);
  // Reshapes the box.
  void Modify(const Kelpoint3f& corner, const Kelvector3f& u, const Kelvector3f& v,
              const Kelvector3f& w);

  // Sides 0 to 5: -w, +w, -v, +v, -u, +u.
  const Kel3DPlanarFaceGP* GetFace(int k) const;
  const Kelpoint3f& GetCorner() const { return _corner; }
  const Kelvector3f& GetU() const { return _u; }
  const Kelvector3f& GetV() const { return _v; }
  const Kelvector3f& GetW() const { return _w; }

 private:
  void Build();
  void Release();

  Kelpoint3f _corner;
  Kelvector3f _u, _v, _w;
  Kel3DPlanarFaceGP* _faces[6] = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
};

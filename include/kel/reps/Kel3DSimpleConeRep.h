// A closed shaded cone: a base disc and a side, each one triangle fan, with
// outward normals.
#pragma once

#include <kel/framework/Kelpoint3f.h>
#include <kel/reps/Kel3DRep.h>

class Kel3DFaceGP;

class Kel3DSimpleConeRep : public Kel3DRep {
 public:
  // Fewest and most facets; a count outside is reported and brought inside.
  static constexpr int MIN_FACETS = 3;
  static constexpr int MAX_FACETS = 4096;

  Kel3DSimpleConeRep();
  Kel3DSimpleConeRep(KelModelIdentificator& id, KelVisuController* controller);
  Kel3DSimpleConeRep(Kelpoint3f base, Kelpoint3f apex, float radius, int facets);
  Kel3DSimpleConeRep(Kelpoint3f base, Kelpoint3f apex, float radius, int facets,
                     KelModelIdentificator& id, KelVisuController* controller);
  ~Kel3DSimpleConeRep() override;

  KEL_DECLARE_META(Kel3DSimpleConeRep);

  void DrawShading(KelRender& render, int inside) override;

  // Keeps the number of facets.
  void Modify(Kelpoint3f base, Kelpoint3f apex, float radius);

  int GetNbFacets() const { return _facets; }
  const Kelpoint3f& GetBase() const { return _base; }
  const Kelpoint3f& GetApex() const { return _apex; }
  float GetRadius() const { return _radius; }
  const Kel3DFaceGP* GetFace() const { return _face; }

 protected:
  void BuildFaces(Kelpoint3f base, Kelpoint3f apex, float radius);

 private:
  void SetFacets(int facets);

  int _facets = MIN_FACETS;
  Kelpoint3f _base, _apex;
  float _radius = 0.0f;
  Kel3DFaceGP* _face = nullptr;
};

// A face with a single normal, skipped when the render finds it facing away
// from the eye (the render applies the test to closed volumes only).
#pragma once

#include <kel/primitives/Kel3DFaceGP.h>

class Kel3DPlanarFaceGP : public Kel3DFaceGP {
 public:
  Kel3DPlanarFaceGP() = default;
  // `normal` is one normal of three floats.
  Kel3DPlanarFaceGP(const float* vertices, const int nbVertexCoords, const float* normal,
                    const int* triangles, const int nbTriangles, const int* strips,
                    const int nbStrips, const int* stripLengths, const int* fans, const int nbFans,
                    const int* fanLengths);

  KEL_DECLARE_META(Kel3DPlanarFaceGP);

  void Draw(KelRender& render) override;

  const float* GetNormal() const { return GetNormals(); }
};

#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/render/KelRender.h>

KEL_IMPLEMENT_META(Kel3DPlanarFaceGP, Kel3DFaceGP)

Kel3DPlanarFaceGP::Kel3DPlanarFaceGP(const float* vertices, const int nbVertexCoords,
                                     const float* normal, const int* triangles,
                                     const int nbTriangles, const int* strips, const int nbStrips,
                                     const int* stripLengths, const int* fans, const int nbFans,
                                     const int* fanLengths)
    : Kel3DFaceGP(vertices, nbVertexCoords, normal, 3, triangles, nbTriangles, strips, nbStrips,
                  stripLengths, fans, nbFans, fanLengths) {}

void Kel3DPlanarFaceGP::Draw(KelRender& render) {
  // Without a vertex and the normal there is nothing to test the facing with.
  if (GetVertexArray() && GetNormal() && !render.IsSeen(GetVertexArray(), GetNormal())) return;
  render.Draw3DPlanarFace(*this);
}

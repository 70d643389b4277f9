#include <kel/primitives/Kel3DBoundingGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/render/KelRender.h>

#include <iostream>

KEL_IMPLEMENT_META(Kel3DEdgeGP, KelGraphicPrimitive)

Kel3DEdgeGP::Kel3DEdgeGP(Kel3DBoundingGP* face1, Kel3DBoundingGP* face2, const int* indices,
                         int n) {
  if (!face1 || !indices || n < 2) {
    std::cerr << "Kel3DEdgeGP::Kel3DEdgeGP: Invalid parameters." << std::endl;
    return;
  }
  if (n >= MAX_POINTS) {
    std::cerr << "Kel3DEdgeGP::Kel3DEdgeGP: Too many points. Maximum allowed=" << MAX_POINTS
              << " Taking maximal number." << std::endl;
    n = MAX_POINTS - 1;
  }

  int allocate = 0;
  float* vertices = nullptr;
  int nbVertexCoords = 0;
  face1->GetVertices(&allocate, &vertices, &nbVertexCoords);
  if (allocate) {
    // The array dies with this call: an edge can only share stored vertices.
    std::cerr << "Kel3DEdgeGP::Kel3DEdgeGP: Cannot share data on a GP that allocates"
              << " it's tesselation parameters. Aborting creation." << std::endl;
    face1->ClearVertices(&allocate, &vertices, &nbVertexCoords);
    return;
  }

  // Every index must name a whole vertex of the face, or drawing and picking
  // would read past its array; 16-bit storage must not wrap it onto another.
  for (int i = 0; i < n; ++i) {
    const int index = indices[i];
    if (!vertices || index < 0 || index % 3 != 0 || index > MAX_INDEX ||
        index + 2 >= nbVertexCoords) {
      std::cerr << "Kel3DEdgeGP::Kel3DEdgeGP: Invalid index " << index << " at position " << i
                << " for a face of " << nbVertexCoords << " vertex coordinates. Aborting creation."
                << std::endl;
      return;
    }
  }

  _face1 = face1;
  _face2 = face2;
  _vertices = vertices;
  _indices.reset(new std::uint16_t[n]);
  for (int i = 0; i < n; ++i) _indices[i] = static_cast<std::uint16_t>(indices[i]);
  _nbIndices = n;
}

Kel3DEdgeGP::~Kel3DEdgeGP() = default;

void Kel3DEdgeGP::Draw(KelRender& render) {
  render.Draw3DEdge(*this);
}

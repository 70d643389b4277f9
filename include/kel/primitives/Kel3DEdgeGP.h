// A polyline along the boundary of tessellated faces, given by indices into the
// first face's vertex array, which it shares (the faces are not the edge's).
// Indices are coordinate positions (three times the vertex number), stored on
// 16 bits.
#pragma once

#include <kel/primitives/KelGraphicPrimitive.h>

#include <cstdint>
#include <memory>

class Kel3DBoundingGP;

class Kel3DEdgeGP : public KelGraphicPrimitive {
 public:
  // Indices above this do not fit the 16-bit storage.
  static constexpr int MAX_INDEX = 65535;
  // An edge holds at most MAX_POINTS - 1 indices.
  static constexpr int MAX_POINTS = 21845;

  Kel3DEdgeGP() = default;
  // Refused, with a message and an empty edge: no face or indices, n < 2, a
  // face whose vertices are made for the call, or an index that is not the
  // position of a vertex of the face (or does not fit 16 bits).
  Kel3DEdgeGP(Kel3DBoundingGP* face1, Kel3DBoundingGP* face2, const int* indices, int n);
  ~Kel3DEdgeGP() override;
  Kel3DEdgeGP(const Kel3DEdgeGP&) = delete;
  Kel3DEdgeGP& operator=(const Kel3DEdgeGP&) = delete;

  KEL_DECLARE_META(Kel3DEdgeGP);

  void Draw(KelRender& render) override;

  Kel3DBoundingGP* GetFirstFace() const { return _face1; }
  Kel3DBoundingGP* GetSecondFace() const { return _face2; }
  const float* GetVertices() const { return _vertices; }
  const std::uint16_t* GetIndices() const { return _indices.get(); }
  int GetNbIndices() const { return _nbIndices; }

 private:
  Kel3DBoundingGP* _face1 = nullptr;
  Kel3DBoundingGP* _face2 = nullptr;
  const float* _vertices = nullptr;
  std::unique_ptr<std::uint16_t[]> _indices;
  int _nbIndices = 0;
};

#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/render/KelRender.h>

#include <algorithm>
#include <climits>
#include <iostream>

KEL_IMPLEMENT_META(Kel3DFaceGP, Kel3DBoundingGP)

namespace {

template <class T>
std::unique_ptr<T[]> CopyOf(const T* source, const int n) {
  if (!source || n <= 0) return nullptr;
  std::unique_ptr<T[]> copy(new T[n]);
  std::copy(source, source + n, copy.get());
  return copy;
}

// Total of n lengths, or -1 when one is negative or the total overflows an int.
int SumOfLengths(const int* lengths, const int n) {
  long long total = 0;
  for (int i = 0; i < n; ++i) {
    if (lengths[i] < 0) return -1;
    total += lengths[i];
    if (total > INT_MAX) return -1;
  }
  return static_cast<int>(total);
}

}  // namespace

Kel3DFaceGP::Kel3DFaceGP(const float* vertices, const int nbVertexCoords, const float* normals,
                         const int nbNormalCoords, const int* triangles, const int nbTriangles,
                         const int* strips, const int nbStrips, const int* stripLengths,
                         const int* fans, const int nbFans, const int* fanLengths) {
  _vertices = CopyOf(vertices, nbVertexCoords);
  if (_vertices) _nbVertexCoords = nbVertexCoords;
  _normals = CopyOf(normals, nbNormalCoords);
  if (_normals) _nbNormalCoords = nbNormalCoords;
  BuildTriangles(triangles, nbTriangles);
  BuildStrips(strips, nbStrips, stripLengths);
  BuildFans(fans, nbFans, fanLengths);
  ComputeBox();
}

Kel3DFaceGP::~Kel3DFaceGP() = default;

void Kel3DFaceGP::BuildTriangles(const int* triangles, const int nbTriangles) {
  GeometryChanged();
  _triangles.reset();
  _nbTriangles = 0;
  if (!triangles || nbTriangles <= 0 || nbTriangles > INT_MAX / 3) return;
  _triangles = CopyOf(triangles, 3 * nbTriangles);
  _nbTriangles = nbTriangles;
}

void Kel3DFaceGP::BuildStrips(const int* strips, const int nbStrips, const int* stripLengths) {
  GeometryChanged();
  _strips.reset();
  _stripLengths.reset();
  _nbStrips = _nbStripIndices = 0;
  if (!strips || !stripLengths || nbStrips <= 0) return;
  const int total = SumOfLengths(stripLengths, nbStrips);
  if (total < 0) {
    std::cerr << "Kel3DFaceGP::BuildStrips: Invalid strip lengths. No strip kept." << std::endl;
    return;
  }
  _stripLengths = CopyOf(stripLengths, nbStrips);
  _strips = CopyOf(strips, total);
  _nbStrips = nbStrips;
  _nbStripIndices = total;
}

void Kel3DFaceGP::BuildFans(const int* fans, const int nbFans, const int* fanLengths) {
  GeometryChanged();
  _fans.reset();
  _fanLengths.reset();
  _nbFans = _nbFanIndices = 0;
  if (!fans || !fanLengths || nbFans <= 0) return;
  const int total = SumOfLengths(fanLengths, nbFans);
  if (total < 0) {
    std::cerr << "Kel3DFaceGP::BuildFans: Invalid fan lengths. No fan kept." << std::endl;
    return;
  }
  _fanLengths = CopyOf(fanLengths, nbFans);
  _fans = CopyOf(fans, total);
  _nbFans = nbFans;
  _nbFanIndices = total;
}

void Kel3DFaceGP::Get(int* allocate, float** vertices, int* nbVertexCoords, float** normals,
                      int* nbNormalCoords, int** triangles, int* nbTriangles, int** strips,
                      int* nbStrips, int** stripLengths, int** fans, int* nbFans,
                      int** fanLengths) {
  *allocate = 0;
  *vertices = _vertices.get();
  *nbVertexCoords = _nbVertexCoords;
  *normals = _normals.get();
  *nbNormalCoords = _nbNormalCoords;
  *triangles = _triangles.get();
  *nbTriangles = _nbTriangles;
  *strips = _strips.get();
  *nbStrips = _nbStrips;
  *stripLengths = _stripLengths.get();
  *fans = _fans.get();
  *nbFans = _nbFans;
  *fanLengths = _fanLengths.get();
}

void Kel3DFaceGP::GetVertices(int* allocate, float** vertices, int* nbVertexCoords) {
  *allocate = 0;
  *vertices = _vertices.get();
  *nbVertexCoords = _nbVertexCoords;
}

void Kel3DFaceGP::ComputeBox() {
  // Called after the arrays changed: what was derived from them goes.
  GeometryChanged();
  if (_nbVertexCoords < 3) return;
  const float* v = _vertices.get();
  float min[3] = {v[0], v[1], v[2]};
  float max[3] = {v[0], v[1], v[2]};
  for (int i = 3; i + 2 < _nbVertexCoords; i += 3)
    for (int k = 0; k < 3; ++k) {
      min[k] = std::min(min[k], v[i + k]);
      max[k] = std::max(max[k], v[i + k]);
    }
  SetBox(min, max);
}

void Kel3DFaceGP::Draw(KelRender& render) {
  render.Draw3DFace(*this);
}

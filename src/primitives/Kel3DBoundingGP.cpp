#include <kel/primitives/Kel3DBoundingGP.h>

#include <cmath>

KEL_IMPLEMENT_META(Kel3DBoundingGP, KelGraphicPrimitive)

void Kel3DBoundingGP::Draw(KelRender&) {}

void Kel3DBoundingGP::Get(int* allocate, float** vertices, int* nbVertexCoords, float** normals,
                          int* nbNormalCoords, int** triangles, int* nbTriangles, int** strips,
                          int* nbStrips, int** stripLengths, int** fans, int* nbFans,
                          int** fanLengths) {
  *allocate = 0;
  *vertices = nullptr;
  *nbVertexCoords = 0;
  *normals = nullptr;
  *nbNormalCoords = 0;
  *triangles = nullptr;
  *nbTriangles = 0;
  *strips = nullptr;
  *nbStrips = 0;
  *stripLengths = nullptr;
  *fans = nullptr;
  *nbFans = 0;
  *fanLengths = nullptr;
}

void Kel3DBoundingGP::GetVertices(int* allocate, float** vertices, int* nbVertexCoords) {
  *allocate = 0;
  *vertices = nullptr;
  *nbVertexCoords = 0;
}

void Kel3DBoundingGP::Clear(int* allocate, float** vertices, int* nbVertexCoords, float** normals,
                            int* nbNormalCoords, int** triangles, int* nbTriangles, int** strips,
                            int* nbStrips, int** stripLengths, int** fans, int* nbFans,
                            int** fanLengths) {
  if (!*allocate) return;
  ClearVertices(allocate, vertices, nbVertexCoords);
  if (*nbNormalCoords) {
    delete[] * normals;
    *normals = nullptr;
    *nbNormalCoords = 0;
  }
  if (*nbTriangles) {
    delete[] * triangles;
    *triangles = nullptr;
    *nbTriangles = 0;
  }
  if (*nbStrips) {
    delete[] * strips;
    delete[] * stripLengths;
    *strips = *stripLengths = nullptr;
    *nbStrips = 0;
  }
  if (*nbFans) {
    delete[] * fans;
    delete[] * fanLengths;
    *fans = *fanLengths = nullptr;
    *nbFans = 0;
  }
  *allocate = 0;
}

void Kel3DBoundingGP::ClearVertices(int* allocate, float** vertices, int* nbVertexCoords) {
  if (!*allocate || !*nbVertexCoords) return;
  delete[] * vertices;
  *vertices = nullptr;
  *nbVertexCoords = 0;
}

void Kel3DBoundingGP::SetBox(const float* min, const float* max) {
  for (int i = 0; i < 3; ++i) {
    _boxCenter[i] = 0.5f * (min[i] + max[i]);
    _boxHalfExtents[i] = 0.5f * (max[i] - min[i]);
    _sphereCenter[i] = _boxCenter[i];
  }
  _sphereRadius =
      std::sqrt(_boxHalfExtents[0] * _boxHalfExtents[0] + _boxHalfExtents[1] * _boxHalfExtents[1] +
                _boxHalfExtents[2] * _boxHalfExtents[2]);
}

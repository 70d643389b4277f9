// Base of the 3D primitives that know their bounding box and hand out their
// tessellation in one uniform form: vertices and normals (three floats each),
// triangles, strips and fans whose indices are coordinate positions (three
// times the vertex number).
//
// The 13 arguments of Get and Clear, in order: allocate flag, vertices, number
// of vertex coordinates, normals, number of normal coordinates, triangle
// indices, number of triangles, strip indices, number of strips, strip lengths,
// fan indices, number of fans, fan lengths. A non-zero allocate flag means the
// arrays were made with new[] for the call and the caller releases them with
// Clear; zero means they belong to the primitive.
#pragma once

#include <kel/primitives/KelGraphicPrimitive.h>

class Kel3DBoundingGP : public KelGraphicPrimitive {
 public:
  Kel3DBoundingGP() = default;

  KEL_DECLARE_META(Kel3DBoundingGP);

  // Draws nothing.
  void Draw(KelRender& render) override;
  // Answers zero for every output.
  virtual void Get(int* allocate, float** vertices, int* nbVertexCoords, float** normals,
                   int* nbNormalCoords, int** triangles, int* nbTriangles, int** strips,
                   int* nbStrips, int** stripLengths, int** fans, int* nbFans, int** fanLengths);
  // The vertex array alone, same ownership rule; zeros here.
  virtual void GetVertices(int* allocate, float** vertices, int* nbVertexCoords);

  // Release what Get answered. Nothing when the allocate flag is 0; the outputs
  // that are freed are reset to null and 0.
  void Clear(int* allocate, float** vertices, int* nbVertexCoords, float** normals,
             int* nbNormalCoords, int** triangles, int* nbTriangles, int** strips, int* nbStrips,
             int** stripLengths, int** fans, int* nbFans, int** fanLengths);
  void ClearVertices(int* allocate, float** vertices, int* nbVertexCoords);

  const float* GetBoxCenter() const { return _boxCenter; }
  const float* GetBoxHalfExtents() const { return _boxHalfExtents; }
  const float* GetSphereCenter() const { return _sphereCenter; }
  float GetSphereRadius() const { return _sphereRadius; }

 protected:
  // The boxes of the coordinate ranges [min, max] on x, y and z.
  void SetBox(const float* min, const float* max);

 private:
  float _boxCenter[3] = {0.0f, 0.0f, 0.0f};
  float _boxHalfExtents[3] = {0.0f, 0.0f, 0.0f};
  float _sphereCenter[3] = {0.0f, 0.0f, 0.0f};
  float _sphereRadius = 0.0f;
};

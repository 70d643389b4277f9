// A stored tessellation: vertices, normals, triangles, strips and fans, all
// owned copies of the caller's arrays. Edges share its vertex array.
#pragma once

#include <kel/primitives/Kel3DBoundingGP.h>

#include <memory>

class Kel3DFaceGP : public Kel3DBoundingGP {
 public:
  Kel3DFaceGP() = default;
  // A count <= 0 or a null array copies nothing of that part. Strips (fans)
  // hold the sum of their lengths in indices.
  Kel3DFaceGP(const float* vertices, const int nbVertexCoords, const float* normals,
              const int nbNormalCoords, const int* triangles, const int nbTriangles,
              const int* strips, const int nbStrips, const int* stripLengths, const int* fans,
              const int nbFans, const int* fanLengths);
  ~Kel3DFaceGP() override;
  Kel3DFaceGP(const Kel3DFaceGP&) = delete;
  Kel3DFaceGP& operator=(const Kel3DFaceGP&) = delete;

  KEL_DECLARE_META(Kel3DFaceGP);

  void Draw(KelRender& render) override;
  // The stored arrays, allocate flag 0: the caller must not free them.
  void Get(int* allocate, float** vertices, int* nbVertexCoords, float** normals,
           int* nbNormalCoords, int** triangles, int* nbTriangles, int** strips, int* nbStrips,
           int** stripLengths, int** fans, int* nbFans, int** fanLengths) override;
  void GetVertices(int* allocate, float** vertices, int* nbVertexCoords) override;
  // Also the way to say that the arrays Get hands out were changed in place:
  // what was derived from them (the pick structure, a driver's buffers) is
  // dropped and made again from the new geometry when next needed.
  virtual void ComputeBox();

  int GetNbVertexCoords() const { return _nbVertexCoords; }
  int GetNbNormalCoords() const { return _nbNormalCoords; }
  int GetNbTriangles() const { return _nbTriangles; }
  int GetNbStrips() const { return _nbStrips; }
  int GetNbFans() const { return _nbFans; }
  int GetFlag() const { return _flag; }
  // Sums of the strip and fan lengths: the sizes of the index arrays.
  int GetNbStripIndices() const { return _nbStripIndices; }
  int GetNbFanIndices() const { return _nbFanIndices; }
  const float* GetVertexArray() const { return _vertices.get(); }
  const float* GetNormals() const { return _normals.get(); }
  const int* GetTriangles() const { return _triangles.get(); }
  const int* GetStrips() const { return _strips.get(); }
  const int* GetStripLengths() const { return _stripLengths.get(); }
  const int* GetFans() const { return _fans.get(); }
  const int* GetFanLengths() const { return _fanLengths.get(); }

 protected:
  void BuildTriangles(const int* triangles, const int nbTriangles);
  void BuildStrips(const int* strips, const int nbStrips, const int* stripLengths);
  void BuildFans(const int* fans, const int nbFans, const int* fanLengths);

 private:
  int _nbVertexCoords = 0;
  int _nbNormalCoords = 0;
  int _nbTriangles = 0;
  int _nbStrips = 0;
  int _nbFans = 0;
  int _flag = 0;
  int _nbStripIndices = 0;
  int _nbFanIndices = 0;
  std::unique_ptr<float[]> _vertices;
  std::unique_ptr<float[]> _normals;
  std::unique_ptr<int[]> _triangles;
  std::unique_ptr<int[]> _strips;
  std::unique_ptr<int[]> _stripLengths;
  std::unique_ptr<int[]> _fans;
  std::unique_ptr<int[]> _fanLengths;
};

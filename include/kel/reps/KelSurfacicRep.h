// A tessellated surface (a CAD face set): faces and the edges along their
// boundaries, each with its own attribute set, and coarser single-face levels
// of detail chosen by the sag the surface would show on screen. Faces are
// culled one by one. Sub-elements of a path number the faces first (face i is
// i), then the edges (edge j is number of faces + j).
//
// The owner sets the bounding sphere (SetBoundingElement) from the geometry it
// adds; the Rep does not compute it.
#pragma once

#include <kel/reps/Kel3DRep.h>

#include <vector>

class Kel3DBoundingGP;
class Kel3DEdgeGP;
class Kel3DFaceGP;

class KelSurfacicRep : public Kel3DRep {
 public:
  // More levels than this (the surface itself included) are not chosen from.
  static constexpr int MAX_LODS = 100;

  KelSurfacicRep();
  KelSurfacicRep(KelModelIdentificator& id, KelVisuController* controller);
  ~KelSurfacicRep() override;

  KEL_DECLARE_META(KelSurfacicRep);

  // The three Add operations take ownership of both arguments, or of neither
  // when they refuse them.
  void AddGeomFace(Kel3DBoundingGP* face, KelGraphicAttributeSet* attributes);
  void AddGeomEdge(Kel3DEdgeGP* edge, KelGraphicAttributeSet* attributes);
  // Levels are kept in the order added; the render expects their sags to grow.
  void AddLOD(Kel3DFaceGP* face, KelGraphicAttributeSet* attributes, const float sag);
  // The chord error of the faces; 0.0 is accepted, a negative sag refused.
  void SetGeomSag(const float sag);
  float GetGeomSag() const { return _sag; }
  // 0 ignores the levels of detail: the faces are always drawn.
  void SetLODMode(const int mode) { _lodMode = mode; }
  int GetLODMode() const { return _lodMode; }

  int GetNbFaces() const { return static_cast<int>(_faces.size()); }
  Kel3DBoundingGP* GetFace(int i) const;
  KelGraphicAttributeSet* GetFaceAttributes(int i) const;
  int GetNbEdges() const { return static_cast<int>(_edges.size()); }
  Kel3DEdgeGP* GetEdge(int j) const;
  KelGraphicAttributeSet* GetEdgeAttributes(int j) const;
  int GetNbLODs() const { return static_cast<int>(_lods.size()); }
  // Level k, 1 to the number of LODs (level 0 is the faces).
  Kel3DFaceGP* GetLODFace(int k) const;
  KelGraphicAttributeSet* GetLODAttributes(int k) const;
  float GetLODSag(int k) const;

  // These reach every face, edge and level attribute set too.
  void HighLightOn() override;
  void HighLightOff() override;
  void TemporyNoshowOn() override;
  void TemporyNoshowOff() override;

  void DrawShading(KelRender& render, int inside) override;
  // With sub-elements, draws those faces and edges only (numbers out of range
  // are skipped); without, the edges only.
  void DrawPath(KelRender& render, int inside, KelRepPath& path) override;

  // Merges the faces, in their order in the Rep, into one tessellation with one
  // normal per vertex; indices are shifted by each face's coordinate offset.
  // The seven arrays are made with new[] and are the caller's (delete[]); all
  // outputs are 0 and null when there is nothing to merge or the merge fails.
  void GroupFaces(float** vertices, int* nbVertexCoords, float** normals, int* nbNormalCoords,
                  int** triangles, int* nbTriangles, int** strips, int* nbStrips,
                  int** stripLengths, int** fans, int* nbFans, int** fanLengths);

 protected:
  // No face, no edge, sag 0.0, no LOD, LOD mode 1.
  void EmptyInit();

 private:
  struct Face {
    Kel3DBoundingGP* gp;
    KelGraphicAttributeSet* attributes;
  };
  struct Edge {
    Kel3DEdgeGP* gp;
    KelGraphicAttributeSet* attributes;
  };
  struct Level {
    Kel3DFaceGP* face;
    KelGraphicAttributeSet* attributes;
    float sag;
  };

  void SetFlag(unsigned char bit, bool on);
  void Release();

  std::vector<Face> _faces;
  std::vector<Edge> _edges;
  float _sag = 0.0f;
  std::vector<Level> _lods;
  int _lodMode = 1;
};

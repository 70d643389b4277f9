// Reads a mesh file through Assimp (STL, OBJ, PLY and the other formats it
// knows) into surfacic Reps under bags that carry the file's node matrices.
//
// Files are hostile: Assimp's own validation runs, and every triangle is
// checked again here (indices inside the vertex array, finite points) before a
// face is built from it. Each mesh becomes one KelSurfacicRep whose faces hold
// at most MAX_FACE_VERTICES vertices, so that its edges - the mesh's
// boundaries and creases - can share the face's vertex array with their 16-bit
// indices.
#pragma once

#include <string>
#include <vector>

class Kel3DBagRep;
class KelSurfacicRep;
struct KelGraphicAttributeSet;

class KelMeshLoader {
 public:
  static constexpr int MAX_FACE_VERTICES = 21845;
  // Adjacent triangles meeting at a sharper angle than this show an edge.
  static constexpr float CREASE_DEGREES = 40.0f;
  // Deeper node trees are cut there (with a warning).
  static constexpr int MAX_NODE_DEPTH = 256;

  // Loads `path` under `root`. Answers a KelRenderStatus: KELRENDER_OK,
  // KELRENDER_INPUT_MISSING (missing or unreadable) or KELRENDER_INPUT_MALFORMED
  // (Assimp refused it, or it holds no triangle), with a message in `error`.
  int Load(const std::string& path, Kel3DBagRep& root, std::string& error);

  // One surface from plain arrays: `nbVertices` points (x, y, z) and as many
  // normals (null: computed from the triangles), `nbTriangles` triples of vertex
  // numbers. Triangles naming a vertex outside the array or a non-finite point
  // are skipped and counted. Null when no triangle is left.
  KelSurfacicRep* BuildSurface(const float* positions, unsigned nbVertices, const float* normals,
                               const unsigned* triangles, unsigned nbTriangles,
                               const KelGraphicAttributeSet& faceAttributes);

  unsigned GetTriangleCount() const { return _triangles; }
  unsigned GetSkippedTriangleCount() const { return _skipped; }
  unsigned GetFaceCount() const { return _faces; }
  unsigned GetEdgeCount() const { return _edges; }
  // Things worth telling the user that did not stop the load.
  const std::vector<std::string>& GetWarnings() const { return _warnings; }

 private:
  unsigned _triangles = 0;
  unsigned _skipped = 0;
  unsigned _faces = 0;
  unsigned _edges = 0;
  std::vector<std::string> _warnings;
};

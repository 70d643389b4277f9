// Reps from the plain arrays of a mesh: a surfacic Rep of triangles with its
// edges, a curve Rep of polylines, points as markers or a cloud of dots. Each
// Rep gets the bounding sphere of the vertices it draws.
//
// Every builder refuses the whole mesh, with a message in `error` and a null
// result, when a vertex is not finite or an index lies outside the array; it
// answers null without a message when there is nothing to draw.
//
// Faces hold at most MAX_FACE_VERTICES vertices, so that the edges (the mesh's
// boundaries and creases) can share the face's vertex array with their 16-bit
// indices.
#pragma once

#include <string>

class Kel3DRep;
class KelSurfacicRep;
struct KelGraphicAttributeSet;

class KelMeshBuilder {
 public:
  static constexpr int MAX_FACE_VERTICES = 21845;
  // Adjacent triangles meeting at a sharper angle than this show an edge.
  static constexpr float CREASE_DEGREES = 40.0f;
  // Sets of more points are clouds of one-pixel dots; smaller ones markers.
  static constexpr unsigned MAX_MARKERS = 256;

  // `nbVertices` points (x, y, z) with as many normals (null: from the
  // triangles), `nbTriangles` triples of vertex numbers.
  KelSurfacicRep* BuildSurface(const float* positions, unsigned nbVertices, const float* normals,
                               const unsigned* triangles, unsigned nbTriangles,
                               const KelGraphicAttributeSet& faceAttributes, std::string& error);
  // `nbSegments` pairs of vertex numbers, joined into polylines.
  Kel3DRep* BuildLines(const float* positions, unsigned nbVertices, const unsigned* segments,
                       unsigned nbSegments, const KelGraphicAttributeSet& attributes,
                       std::string& error);
  // Every vertex is a point.
  Kel3DRep* BuildPoints(const float* positions, unsigned nbVertices,
                        const KelGraphicAttributeSet& attributes, std::string& error);

  unsigned GetTriangleCount() const { return _triangles; }
  unsigned GetFaceCount() const { return _faces; }
  unsigned GetEdgeCount() const { return _edges; }
  unsigned GetSegmentCount() const { return _segments; }
  unsigned GetPointCount() const { return _points; }

 private:
  unsigned _triangles = 0;
  unsigned _faces = 0;
  unsigned _edges = 0;
  unsigned _segments = 0;
  unsigned _points = 0;
};

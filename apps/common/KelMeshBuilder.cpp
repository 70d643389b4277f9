#include "KelMeshBuilder.h"

#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelBagGP.h>
#include <kel/reps/Kel3DCloudOfPointsRep.h>
#include <kel/reps/Kel3DCurveRep.h>
#include <kel/reps/KelSurfacicRep.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr float kPi = 3.14159265358979f;
// Longest polyline made from a file's segments; longer chains are cut.
constexpr size_t kMaxPolylinePoints = 1 << 20;

// ---- Checks: the whole mesh is refused for one bad vertex or index.

bool CheckVertices(const float* positions, unsigned nbVertices, std::string& error) {
  for (unsigned v = 0; v < nbVertices; ++v) {
    const float* p = positions + 3 * static_cast<size_t>(v);
    if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) {
      error = "vertex " + std::to_string(v) + " is not a finite point";
      return false;
    }
  }
  return true;
}

bool CheckIndices(const unsigned* indices, size_t count, unsigned perElement, unsigned nbVertices,
                  const char* element, std::string& error) {
  for (size_t k = 0; k < count; ++k)
    if (indices[k] >= nbVertices) {
      error = std::string(element) + " " + std::to_string(k / perElement) + " names vertex " +
              std::to_string(indices[k]) + " of " + std::to_string(nbVertices);
      return false;
    }
  return true;
}

// The sphere around the vertices named by `indices` (all of them when null).
Kel3DBoundingSphere SphereOf(const float* positions, const unsigned* indices, size_t count) {
  auto point = [&](size_t k) { return positions + 3 * size_t(indices ? indices[k] : k); };
  float lo[3], hi[3];
  for (int i = 0; i < 3; ++i) lo[i] = hi[i] = point(0)[i];
  for (size_t k = 1; k < count; ++k)
    for (int i = 0; i < 3; ++i) {
      lo[i] = std::min(lo[i], point(k)[i]);
      hi[i] = std::max(hi[i], point(k)[i]);
    }
  const float centre[3] = {0.5f * (lo[0] + hi[0]), 0.5f * (lo[1] + hi[1]), 0.5f * (lo[2] + hi[2])};
  float radius2 = 0.0f;
  for (size_t k = 0; k < count; ++k) {
    const float* p = point(k);
    const float d[3] = {p[0] - centre[0], p[1] - centre[1], p[2] - centre[2]};
    radius2 = std::max(radius2, d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  }
  return Kel3DBoundingSphere(Kelpoint3f(centre[0], centre[1], centre[2]), std::sqrt(radius2), 0.0f);
}

// Joins segments into polylines of at most maxPoints points, open chains from
// their ends first so that they come out whole.
std::vector<std::vector<int>> Chain(const std::vector<std::pair<int, int>>& segments,
                                    size_t maxPoints) {
  std::vector<std::pair<int, int>> ends;  // (position, segment)
  ends.reserve(2 * segments.size());
  for (size_t i = 0; i < segments.size(); ++i) {
    ends.emplace_back(segments[i].first, static_cast<int>(i));
    ends.emplace_back(segments[i].second, static_cast<int>(i));
  }
  std::sort(ends.begin(), ends.end());
  std::vector<char> used(segments.size(), 0);
  auto unusedAt = [&](int p) {
    auto it = std::lower_bound(ends.begin(), ends.end(), std::make_pair(p, INT_MIN));
    for (; it != ends.end() && it->first == p; ++it)
      if (!used[static_cast<size_t>(it->second)]) return it->second;
    return -1;
  };
  std::vector<std::vector<int>> lines;
  auto walk = [&](int p) {
    std::vector<int> line{p};
    for (int s; (s = unusedAt(p)) >= 0;) {
      used[static_cast<size_t>(s)] = 1;
      const std::pair<int, int>& seg = segments[static_cast<size_t>(s)];
      p = seg.first == p ? seg.second : seg.first;
      line.push_back(p);
      if (line.size() == maxPoints) {
        lines.push_back(std::move(line));
        line.assign(1, p);
      }
    }
    if (line.size() >= 2) lines.push_back(std::move(line));
  };
  for (size_t i = 0; i < ends.size();) {
    size_t j = i;
    while (j < ends.size() && ends[j].first == ends[i].first) ++j;
    if (j - i != 2)
      while (unusedAt(ends[i].first) >= 0) walk(ends[i].first);
    i = j;
  }
  for (size_t s = 0; s < segments.size(); ++s)
    if (!used[s]) walk(segments[s].first);
  return lines;
}

// ---- The surface's topology.

struct Mesh {
  const float* positions;
  unsigned nbVertices;
  const unsigned* triangles;
  size_t nbTriangles;
  const float* Point(unsigned v) const { return positions + 3 * static_cast<size_t>(v); }
  unsigned Corner(size_t t, int c) const { return triangles[3 * t + static_cast<size_t>(c)]; }
};

// Points, or points with their normals, are the same when their floats are
// bit for bit equal (with -0 taken as 0): meshes repeat a corner once per
// normal or per facet.
struct BitKey {
  std::uint32_t c[6] = {};
  BitKey(const float* point, const float* normal) {
    for (int i = 0; i < 6; ++i) {
      const float* from = i < 3 ? point + i : normal ? normal + i - 3 : nullptr;
      const float f = !from || *from == 0.0f ? 0.0f : *from;
      std::memcpy(&c[i], &f, 4);
    }
  }
  bool operator==(const BitKey& o) const { return std::equal(c, c + 6, o.c); }
};
struct BitKeyHash {
  size_t operator()(const BitKey& k) const {
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint32_t v : k.c) h = (h ^ v) * 1099511628211ull;
    return static_cast<size_t>(h ^ (h >> 29));
  }
};

// The triangles with every vertex replaced by the first one of the same
// point and normal, so that faces share their vertices. (Assimp's joining
// merges vertices closer than an absolute 1e-5, which collapses a part smaller
// than that: it is not used.)
std::vector<unsigned> JoinedTriangles(const float* positions, const float* normals,
                                      const unsigned* triangles, size_t nbTriangles) {
  std::vector<unsigned> joined(triangles, triangles + 3 * nbTriangles);
  std::unordered_map<BitKey, unsigned, BitKeyHash> first;
  first.reserve(joined.size());
  for (unsigned& v : joined)
    v = first
            .emplace(BitKey(positions + 3 * size_t(v), normals ? normals + 3 * size_t(v) : nullptr),
                     v)
            .first->second;
  return joined;
}

// A number per distinct position, for each vertex a triangle uses (-1 else).
std::vector<int> NumberPositions(const Mesh& mesh, int& count) {
  std::vector<int> position(mesh.nbVertices, -1);
  std::unordered_map<BitKey, int, BitKeyHash> numbers;
  for (size_t t = 0; t < mesh.nbTriangles; ++t)
    for (int c = 0; c < 3; ++c) {
      const unsigned v = mesh.Corner(t, c);
      if (position[v] < 0)
        position[v] =
            numbers.emplace(BitKey(mesh.Point(v), nullptr), static_cast<int>(numbers.size()))
                .first->second;
    }
  count = static_cast<int>(numbers.size());
  return position;
}

// Unit normal of a triangle; false when it has no area.
bool TriangleNormal(const float* a, const float* b, const float* c, float n[3]) {
  const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  n[0] = u[1] * v[2] - u[2] * v[1];
  n[1] = u[2] * v[0] - u[0] * v[2];
  n[2] = u[0] * v[1] - u[1] * v[0];
  const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (!(len > 0.0f) || !std::isfinite(len)) {
    n[0] = n[1] = n[2] = 0.0f;
    return false;
  }
  for (int i = 0; i < 3; ++i) n[i] /= len;
  return true;
}

// An edge between two positions, drawn with the face of `triangle`, the
// first triangle along it.
struct Segment {
  int triangle;
  int a, b;
  bool operator<(const Segment& o) const {
    return std::tie(triangle, a, b) < std::tie(o.triangle, o.a, o.b);
  }
};

struct Topology {
  std::vector<float> triangleNormals;  // zero for a triangle without area
  std::vector<char> hasNormal;
  std::vector<Segment> shown;  // by first triangle
};

// Edges shown: boundaries, edges of more than two triangles, and creases.
Topology FindShownEdges(const Mesh& mesh, const std::vector<int>& position) {
  struct EdgeUse {
    int first = -1, second = -1, count = 0;
  };
  Topology topology;
  topology.triangleNormals.resize(3 * mesh.nbTriangles);
  topology.hasNormal.resize(mesh.nbTriangles);
  std::unordered_map<std::uint64_t, EdgeUse> uses;
  uses.reserve(2 * mesh.nbTriangles);
  for (size_t t = 0; t < mesh.nbTriangles; ++t) {
    topology.hasNormal[t] =
        TriangleNormal(mesh.Point(mesh.Corner(t, 0)), mesh.Point(mesh.Corner(t, 1)),
                       mesh.Point(mesh.Corner(t, 2)), &topology.triangleNormals[3 * t]);
    for (int c = 0; c < 3; ++c) {
      const int a = position[mesh.Corner(t, c)], b = position[mesh.Corner(t, (c + 1) % 3)];
      if (a == b) continue;
      const std::uint64_t key =
          (std::uint64_t(std::min(a, b)) << 32) | std::uint32_t(std::max(a, b));
      EdgeUse& use = uses[key];
      if (use.count == 0) use.first = static_cast<int>(t);
      if (use.count == 1) use.second = static_cast<int>(t);
      ++use.count;
    }
  }
  const float creaseCos = std::cos(KelMeshBuilder::CREASE_DEGREES * kPi / 180.0f);
  for (const auto& entry : uses) {
    const EdgeUse& u = entry.second;
    bool show = u.count != 2;
    if (!show && topology.hasNormal[u.first] && topology.hasNormal[u.second]) {
      const float* n0 = &topology.triangleNormals[3 * size_t(u.first)];
      const float* n1 = &topology.triangleNormals[3 * size_t(u.second)];
      show = n0[0] * n1[0] + n0[1] * n1[1] + n0[2] * n1[2] < creaseCos;
    }
    if (show)
      topology.shown.push_back({u.first, static_cast<int>(entry.first >> 32),
                                static_cast<int>(entry.first & 0xffffffffu)});
  }
  std::sort(topology.shown.begin(), topology.shown.end());
  return topology;
}

// The file's normal where usable, else the mean of the triangles' around.
std::vector<float> VertexNormals(const Mesh& mesh, const float* normals, const Topology& topology) {
  std::vector<float> result(3 * static_cast<size_t>(mesh.nbVertices), 0.0f);
  std::vector<char> given(mesh.nbVertices, 0);
  for (unsigned v = 0; normals && v < mesh.nbVertices; ++v) {
    const float* n = normals + 3 * static_cast<size_t>(v);
    const float len2 = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
    if (std::isfinite(len2) && len2 > 1e-12f) {
      const float len = std::sqrt(len2);
      for (int i = 0; i < 3; ++i) result[3 * size_t(v) + i] = n[i] / len;
      given[v] = 1;
    }
  }
  for (size_t t = 0; t < mesh.nbTriangles; ++t)
    for (int c = 0; c < 3; ++c) {
      const unsigned v = mesh.Corner(t, c);
      if (!given[v])
        for (int i = 0; i < 3; ++i)
          result[3 * size_t(v) + i] += topology.triangleNormals[3 * t + i];
    }
  for (unsigned v = 0; v < mesh.nbVertices; ++v) {
    if (given[v]) continue;
    float* n = &result[3 * static_cast<size_t>(v)];
    const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (len > 0.0f && std::isfinite(len))
      for (int i = 0; i < 3; ++i) n[i] /= len;
    else
      n[0] = n[1] = 0.0f, n[2] = 1.0f;
  }
  return result;
}

// Edges in a dark shade of their face.
KelGraphicAttributeSet EdgeAttributes(const KelGraphicAttributeSet& face) {
  KelGraphicAttributeSet edge = face;
  if (edge.color == KelGraphicAttributeSet::RGBA_COLOR) {
    for (int i = 0; i < 3; ++i) edge.rgba[i] = static_cast<unsigned char>(edge.rgba[i] * 3 / 10);
  } else {
    edge.color = 0;  // black
  }
  return edge;
}

// ---- Faces of consecutive triangles, each with its own vertex array.

struct Chunk {
  size_t begin = 0, end = 0;       // triangles
  std::vector<unsigned> vertices;  // mesh vertex of each local vertex
  std::vector<int> indices;        // coordinate positions, three per triangle
};

// The triangles from `begin` on whose vertices fit one face; `local` maps the
// mesh's vertices to the chunk's (and is -1 elsewhere: the caller resets it).
Chunk NextChunk(const Mesh& mesh, size_t begin, std::vector<int>& local) {
  Chunk chunk;
  chunk.begin = chunk.end = begin;
  for (; chunk.end < mesh.nbTriangles; ++chunk.end) {
    int fresh = 0;
    for (int c = 0; c < 3; ++c) {
      const unsigned v = mesh.Corner(chunk.end, c);
      bool seen = local[v] >= 0;
      for (int d = 0; d < c && !seen; ++d) seen = mesh.Corner(chunk.end, d) == v;
      fresh += !seen;
    }
    if (chunk.vertices.size() + size_t(fresh) > size_t(KelMeshBuilder::MAX_FACE_VERTICES)) break;
    for (int c = 0; c < 3; ++c) {
      const unsigned v = mesh.Corner(chunk.end, c);
      if (local[v] < 0) {
        local[v] = static_cast<int>(chunk.vertices.size());
        chunk.vertices.push_back(v);
      }
      chunk.indices.push_back(3 * local[v]);
    }
  }
  return chunk;
}

Kel3DFaceGP* MakeFace(const Mesh& mesh, const Chunk& chunk, const std::vector<float>& normals) {
  std::vector<float> coords, chunkNormals;
  coords.reserve(3 * chunk.vertices.size());
  chunkNormals.reserve(3 * chunk.vertices.size());
  for (unsigned v : chunk.vertices) {
    coords.insert(coords.end(), mesh.Point(v), mesh.Point(v) + 3);
    chunkNormals.insert(chunkNormals.end(), &normals[3 * size_t(v)], &normals[3 * size_t(v)] + 3);
  }
  const int n = static_cast<int>(coords.size());
  return new Kel3DFaceGP(coords.data(), n, chunkNormals.data(), n, chunk.indices.data(),
                         static_cast<int>(chunk.indices.size() / 3), nullptr, 0, nullptr, nullptr,
                         0, nullptr);
}

// The face's edges: the shown segments whose first triangle lies in its chunk,
// from `next` on. Answers how many edges were added.
unsigned AddEdges(KelSurfacicRep& rep, Kel3DFaceGP* face, const Chunk& chunk,
                  const std::vector<int>& position, std::vector<int>& positionLocal,
                  const std::vector<int>& local, const std::vector<Segment>& shown, size_t& next,
                  const KelGraphicAttributeSet& attributes) {
  for (unsigned v : chunk.vertices)
    if (positionLocal[position[v]] < 0) positionLocal[position[v]] = local[v];
  std::vector<std::pair<int, int>> segments;
  for (; next < shown.size() && static_cast<size_t>(shown[next].triangle) < chunk.end; ++next)
    segments.emplace_back(shown[next].a, shown[next].b);
  unsigned added = 0;
  for (const std::vector<int>& line : Chain(segments, Kel3DEdgeGP::MAX_POINTS - 1)) {
    std::vector<int> indices;
    for (int p : line) indices.push_back(3 * positionLocal[p]);
    auto* edge = new Kel3DEdgeGP(face, nullptr, indices.data(), static_cast<int>(indices.size()));
    if (edge->GetNbIndices() == 0) {
      KelGraphicPrimitive::Destroy(edge);
      continue;
    }
    rep.AddGeomEdge(edge, new KelGraphicAttributeSet(attributes));
    ++added;
  }
  for (unsigned v : chunk.vertices) positionLocal[position[v]] = -1;
  return added;
}

}  // namespace

KelSurfacicRep* KelMeshBuilder::BuildSurface(const float* positions, unsigned nbVertices,
                                             const float* normals, const unsigned* triangles,
                                             unsigned nbTriangles,
                                             const KelGraphicAttributeSet& faceAttributes,
                                             std::string& error) {
  error.clear();
  if (!positions || !triangles || nbVertices == 0 || nbTriangles == 0) return nullptr;
  if (!CheckVertices(positions, nbVertices, error) ||
      !CheckIndices(triangles, 3 * size_t(nbTriangles), 3, nbVertices, "triangle", error))
    return nullptr;
  const std::vector<unsigned> joined = JoinedTriangles(positions, normals, triangles, nbTriangles);
  const Mesh mesh{positions, nbVertices, joined.data(), nbTriangles};
  int nbPositions = 0;
  const std::vector<int> position = NumberPositions(mesh, nbPositions);
  const Topology topology = FindShownEdges(mesh, position);
  const std::vector<float> vertexNormals = VertexNormals(mesh, normals, topology);
  const KelGraphicAttributeSet edgeAttributes = EdgeAttributes(faceAttributes);

  auto* rep = new KelSurfacicRep;
  std::vector<int> local(nbVertices, -1), positionLocal(size_t(nbPositions), -1);
  size_t nextEdge = 0;
  for (size_t begin = 0; begin < mesh.nbTriangles;) {
    const Chunk chunk = NextChunk(mesh, begin, local);
    Kel3DFaceGP* face = MakeFace(mesh, chunk, vertexNormals);
    rep->AddGeomFace(face, new KelGraphicAttributeSet(faceAttributes));
    ++_faces;
    _triangles += static_cast<unsigned>(chunk.end - chunk.begin);
    _edges += AddEdges(*rep, face, chunk, position, positionLocal, local, topology.shown, nextEdge,
                       edgeAttributes);
    for (unsigned v : chunk.vertices) local[v] = -1;
    begin = chunk.end;
  }
  rep->SetBoundingElement(SphereOf(positions, triangles, 3 * size_t(nbTriangles)));
  return rep;
}

Kel3DRep* KelMeshBuilder::BuildLines(const float* positions, unsigned nbVertices,
                                     const unsigned* segments, unsigned nbSegments,
                                     const KelGraphicAttributeSet& attributes, std::string& error) {
  error.clear();
  if (!positions || !segments || nbVertices == 0 || nbSegments == 0) return nullptr;
  if (!CheckVertices(positions, nbVertices, error) ||
      !CheckIndices(segments, 2 * size_t(nbSegments), 2, nbVertices, "line", error))
    return nullptr;
  std::vector<std::pair<int, int>> pairs;
  for (size_t s = 0; s < nbSegments; ++s)
    if (segments[2 * s] != segments[2 * s + 1])
      pairs.emplace_back(int(segments[2 * s]), int(segments[2 * s + 1]));
  std::vector<KelGraphicPrimitive*> polylines;
  for (const std::vector<int>& line : Chain(pairs, kMaxPolylinePoints)) {
    std::vector<float> points;
    points.reserve(3 * line.size());
    for (int v : line) points.insert(points.end(), positions + 3 * v, positions + 3 * v + 3);
    polylines.push_back(new Kel3DPolylineGP(points.data(), static_cast<int>(line.size()), 1));
  }
  if (polylines.empty()) return nullptr;
  const float sag = 0.0f;
  auto* rep = new Kel3DCurveRep(1, &sag);
  rep->AddWireframeLOD(0, polylines.size() == 1
                              ? polylines[0]
                              : new KelBagGP(int(polylines.size()), polylines.data()));
  rep->GetGraphicAttributeSet() = attributes;
  rep->SetBoundingElement(SphereOf(positions, segments, 2 * size_t(nbSegments)));
  _segments += static_cast<unsigned>(pairs.size());
  return rep;
}

Kel3DRep* KelMeshBuilder::BuildPoints(const float* positions, unsigned nbVertices,
                                      const KelGraphicAttributeSet& attributes,
                                      std::string& error) {
  error.clear();
  if (!positions || nbVertices == 0) return nullptr;
  if (!CheckVertices(positions, nbVertices, error)) return nullptr;
  Kel3DRep* rep;
  if (nbVertices > MAX_MARKERS) {
    rep = new Kel3DCloudOfPointsRep(positions, static_cast<int>(nbVertices));
  } else {
    const float sag = 0.0f;
    auto* markers = new Kel3DCurveRep(1, &sag);
    markers->AddWireframeLOD(
        0, new Kel3DMarkerGP(positions, static_cast<int>(nbVertices), DEFAULT_SYMBOL, 1));
    rep = markers;
  }
  rep->GetGraphicAttributeSet() = attributes;
  rep->SetBoundingElement(SphereOf(positions, nullptr, nbVertices));
  _points += nbVertices;
  return rep;
}

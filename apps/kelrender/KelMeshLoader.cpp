#include "KelMeshLoader.h"

#include "KelRenderStatus.h"

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelSurfacicRep.h>

#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <tuple>
#include <unordered_map>
#include <utility>

static_assert(sizeof(aiVector3D) == 3 * sizeof(float), "Assimp built with single-precision reals");

namespace {

constexpr float kPi = 3.14159265358979f;

bool Finite3(const float* p) {
  return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
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

// Points are the same vertex when their coordinates are bit for bit equal
// (with -0 taken as 0): meshes repeat a corner once per normal or per facet.
struct PositionKey {
  std::uint32_t c[3];
  bool operator==(const PositionKey& o) const {
    return c[0] == o.c[0] && c[1] == o.c[1] && c[2] == o.c[2];
  }
};
struct PositionHash {
  size_t operator()(const PositionKey& k) const {
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint32_t v : k.c) h = (h ^ v) * 1099511628211ull;
    return static_cast<size_t>(h ^ (h >> 29));
  }
};
PositionKey KeyOf(const float* p) {
  PositionKey k;
  for (int i = 0; i < 3; ++i) {
    const float f = p[i] == 0.0f ? 0.0f : p[i];
    std::memcpy(&k.c[i], &f, 4);
  }
  return k;
}

struct EdgeUse {
  int first = -1;
  int second = -1;
  int count = 0;
};

struct Segment {
  int triangle;  // the first triangle along it: the edge goes to that one's face
  int a, b;      // position numbers
  bool operator<(const Segment& o) const {
    return std::tie(triangle, a, b) < std::tie(o.triangle, o.a, o.b);
  }
};

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
      p = segments[static_cast<size_t>(s)].first == p ? segments[static_cast<size_t>(s)].second
                                                      : segments[static_cast<size_t>(s)].first;
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

// Assimp's matrices act on column vectors; the library's on row vectors with
// the translation in the last row: the transpose of the affine part.
bool ToKelMatrix(const aiMatrix4x4& m, Kel4x4Matrix& out) {
  const float* f = &m.a1;
  for (int i = 0; i < 16; ++i)
    if (!std::isfinite(f[i])) return false;
  const float r0[3] = {m.a1, m.b1, m.c1};
  const float r1[3] = {m.a2, m.b2, m.c2};
  const float r2[3] = {m.a3, m.b3, m.c3};
  const float* rows[3] = {r0, r1, r2};
  out = Kel4x4Matrix(rows, Kelvector3f(m.a4, m.b4, m.c4));
  return true;
}

KelGraphicAttributeSet MaterialAttributes(const aiScene& scene, const aiMesh& mesh) {
  KelGraphicAttributeSet a;
  a.color = KelGraphicAttributeSet::RGBA_COLOR;
  float rgb[3] = {0.72f, 0.74f, 0.78f};
  if (mesh.mMaterialIndex < scene.mNumMaterials && scene.mMaterials &&
      scene.mMaterials[mesh.mMaterialIndex]) {
    aiColor4D c;
    if (scene.mMaterials[mesh.mMaterialIndex]->Get(AI_MATKEY_COLOR_DIFFUSE, c) == AI_SUCCESS &&
        std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b)) {
      rgb[0] = c.r;
      rgb[1] = c.g;
      rgb[2] = c.b;
    }
  }
  for (int i = 0; i < 3; ++i)
    a.rgba[i] = static_cast<unsigned char>(std::lround(255.0f * std::clamp(rgb[i], 0.0f, 1.0f)));
  a.rgba[3] = 255;
  return a;
}

}  // namespace

KelSurfacicRep* KelMeshLoader::BuildSurface(const float* positions, unsigned nbVertices,
                                            const float* normals, const unsigned* triangles,
                                            unsigned nbTriangles,
                                            const KelGraphicAttributeSet& faceAttributes) {
  if (!positions || !triangles || nbVertices == 0 || nbTriangles == 0) {
    _skipped += nbTriangles;
    return nullptr;
  }
  // Triangles naming a vertex outside the array or a non-finite point go.
  std::vector<unsigned> kept;
  for (unsigned t = 0; t < nbTriangles; ++t) {
    const unsigned* v = triangles + 3 * static_cast<size_t>(t);
    bool ok = true;
    for (int c = 0; c < 3 && ok; ++c)
      ok = v[c] < nbVertices && Finite3(positions + 3 * static_cast<size_t>(v[c]));
    if (ok) kept.push_back(t);
  }
  _skipped += nbTriangles - static_cast<unsigned>(kept.size());
  if (kept.empty()) return nullptr;
  auto corner = [&](size_t k, int c) { return triangles[3 * static_cast<size_t>(kept[k]) + c]; };
  auto point = [&](unsigned v) { return positions + 3 * static_cast<size_t>(v); };

  // Position numbers shared by coincident vertices.
  std::vector<int> position(nbVertices, -1);
  std::unordered_map<PositionKey, int, PositionHash> numbers;
  for (size_t k = 0; k < kept.size(); ++k)
    for (int c = 0; c < 3; ++c) {
      const unsigned v = corner(k, c);
      if (position[v] < 0)
        position[v] =
            numbers.emplace(KeyOf(point(v)), static_cast<int>(numbers.size())).first->second;
    }

  // Triangle normals, and the triangles along each edge between positions.
  std::vector<float> triangleNormals(3 * kept.size());
  std::vector<char> hasNormal(kept.size());
  std::unordered_map<std::uint64_t, EdgeUse> uses;
  uses.reserve(2 * kept.size());
  for (size_t k = 0; k < kept.size(); ++k) {
    hasNormal[k] = TriangleNormal(point(corner(k, 0)), point(corner(k, 1)), point(corner(k, 2)),
                                  &triangleNormals[3 * k]);
    for (int c = 0; c < 3; ++c) {
      const int a = position[corner(k, c)], b = position[corner(k, (c + 1) % 3)];
      if (a == b) continue;
      const std::uint64_t key =
          (std::uint64_t(std::min(a, b)) << 32) | std::uint32_t(std::max(a, b));
      EdgeUse& use = uses[key];
      if (use.count == 0) use.first = static_cast<int>(k);
      if (use.count == 1) use.second = static_cast<int>(k);
      ++use.count;
    }
  }
  // Edges shown: boundaries, edges of more than two triangles, and creases.
  const float creaseCos = std::cos(CREASE_DEGREES * kPi / 180.0f);
  std::vector<Segment> sharp;
  for (const auto& entry : uses) {
    const EdgeUse& u = entry.second;
    bool show = u.count != 2;
    if (!show && hasNormal[u.first] && hasNormal[u.second]) {
      const float* n0 = &triangleNormals[3 * u.first];
      const float* n1 = &triangleNormals[3 * u.second];
      show = n0[0] * n1[0] + n0[1] * n1[1] + n0[2] * n1[2] < creaseCos;
    }
    if (show)
      sharp.push_back({u.first, static_cast<int>(entry.first >> 32),
                       static_cast<int>(entry.first & 0xffffffffu)});
  }
  std::sort(sharp.begin(), sharp.end());

  // Vertex normals: the file's when usable, else the mean of the triangles'.
  std::vector<float> vertexNormals(3 * static_cast<size_t>(nbVertices), 0.0f);
  std::vector<char> given(nbVertices, 0);
  if (normals)
    for (unsigned v = 0; v < nbVertices; ++v) {
      const float* n = normals + 3 * static_cast<size_t>(v);
      const float len2 = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
      if (Finite3(n) && len2 > 1e-12f) {
        const float len = std::sqrt(len2);
        for (int i = 0; i < 3; ++i) vertexNormals[3 * v + i] = n[i] / len;
        given[v] = 1;
      }
    }
  for (size_t k = 0; k < kept.size(); ++k)
    for (int c = 0; c < 3; ++c) {
      const unsigned v = corner(k, c);
      if (!given[v])
        for (int i = 0; i < 3; ++i) vertexNormals[3 * v + i] += triangleNormals[3 * k + i];
    }
  for (unsigned v = 0; v < nbVertices; ++v)
    if (!given[v]) {
      float* n = &vertexNormals[3 * static_cast<size_t>(v)];
      const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      if (len > 0.0f && std::isfinite(len))
        for (int i = 0; i < 3; ++i) n[i] /= len;
      else
        n[0] = n[1] = 0.0f, n[2] = 1.0f;
    }

  KelGraphicAttributeSet edgeAttributes = faceAttributes;
  if (edgeAttributes.color == KelGraphicAttributeSet::RGBA_COLOR) {
    // Edges in a dark shade of their face.
    for (int i = 0; i < 3; ++i)
      edgeAttributes.rgba[i] = static_cast<unsigned char>(edgeAttributes.rgba[i] * 3 / 10);
  } else {
    edgeAttributes.color = 0;  // black
  }

  auto* rep = new KelSurfacicRep;
  std::vector<int> local(nbVertices, -1);
  std::vector<int> positionLocal(numbers.size(), -1);
  size_t nextSegment = 0;
  // Faces over consecutive triangles, cut where the vertex count would pass
  // what an edge can index.
  for (size_t begin = 0; begin < kept.size();) {
    std::vector<unsigned> chunkVertices;
    std::vector<int> indices;
    size_t end = begin;
    for (; end < kept.size(); ++end) {
      int fresh = 0;
      for (int c = 0; c < 3; ++c) {
        const unsigned v = corner(end, c);
        bool seen = local[v] >= 0;
        for (int d = 0; d < c && !seen; ++d) seen = corner(end, d) == v;
        fresh += !seen;
      }
      if (chunkVertices.size() + static_cast<size_t>(fresh) > MAX_FACE_VERTICES) break;
      for (int c = 0; c < 3; ++c) {
        const unsigned v = corner(end, c);
        if (local[v] < 0) {
          local[v] = static_cast<int>(chunkVertices.size());
          chunkVertices.push_back(v);
        }
        indices.push_back(3 * local[v]);
      }
    }
    std::vector<float> coords, chunkNormals;
    coords.reserve(3 * chunkVertices.size());
    chunkNormals.reserve(3 * chunkVertices.size());
    for (unsigned v : chunkVertices) {
      coords.insert(coords.end(), point(v), point(v) + 3);
      chunkNormals.insert(chunkNormals.end(), &vertexNormals[3 * static_cast<size_t>(v)],
                          &vertexNormals[3 * static_cast<size_t>(v)] + 3);
    }
    const int nbCoords = static_cast<int>(coords.size());
    // Every index must be a whole vertex inside this face's array.
    bool indicesOk = true;
    for (int index : indices)
      indicesOk = indicesOk && index >= 0 && index % 3 == 0 && index + 2 < nbCoords;
    if (indicesOk) {
      auto* face = new Kel3DFaceGP(coords.data(), nbCoords, chunkNormals.data(), nbCoords,
                                   indices.data(), static_cast<int>(indices.size() / 3), nullptr, 0,
                                   nullptr, nullptr, 0, nullptr);
      rep->AddGeomFace(face, new KelGraphicAttributeSet(faceAttributes));
      ++_faces;
      _triangles += static_cast<unsigned>(end - begin);

      // This face's edges: those whose first triangle lies in it.
      for (unsigned v : chunkVertices)
        if (positionLocal[position[v]] < 0) positionLocal[position[v]] = local[v];
      std::vector<std::pair<int, int>> segments;
      for (; nextSegment < sharp.size() && static_cast<size_t>(sharp[nextSegment].triangle) < end;
           ++nextSegment)
        segments.emplace_back(sharp[nextSegment].a, sharp[nextSegment].b);
      for (const std::vector<int>& line : Chain(segments, Kel3DEdgeGP::MAX_POINTS - 1)) {
        std::vector<int> edgeIndices;
        for (int p : line) edgeIndices.push_back(3 * positionLocal[p]);
        auto* edge = new Kel3DEdgeGP(face, nullptr, edgeIndices.data(),
                                     static_cast<int>(edgeIndices.size()));
        if (edge->GetNbIndices() == 0) {
          KelGraphicPrimitive::Destroy(edge);
          continue;
        }
        rep->AddGeomEdge(edge, new KelGraphicAttributeSet(edgeAttributes));
        ++_edges;
      }
      for (unsigned v : chunkVertices) positionLocal[position[v]] = -1;
    } else {
      _skipped += static_cast<unsigned>(end - begin);
      _warnings.push_back("a face with bad indices was left out");
    }
    for (unsigned v : chunkVertices) local[v] = -1;
    begin = end;
  }
  if (rep->GetNbFaces() == 0) {
    rep->Destroy();
    return nullptr;
  }

  float lo[3], hi[3];
  for (int i = 0; i < 3; ++i) lo[i] = hi[i] = point(corner(0, 0))[i];
  for (size_t k = 0; k < kept.size(); ++k)
    for (int c = 0; c < 3; ++c)
      for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], point(corner(k, c))[i]);
        hi[i] = std::max(hi[i], point(corner(k, c))[i]);
      }
  const float centre[3] = {0.5f * (lo[0] + hi[0]), 0.5f * (lo[1] + hi[1]), 0.5f * (lo[2] + hi[2])};
  float radius2 = 0.0f;
  for (size_t k = 0; k < kept.size(); ++k)
    for (int c = 0; c < 3; ++c) {
      const float* p = point(corner(k, c));
      const float d[3] = {p[0] - centre[0], p[1] - centre[1], p[2] - centre[2]};
      radius2 = std::max(radius2, d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    }
  rep->SetBoundingElement(
      Kel3DBoundingSphere(Kelpoint3f(centre[0], centre[1], centre[2]), std::sqrt(radius2), 0.0f));
  return rep;
}

namespace {

// Bags for a node and its children, holding the meshes they name; null for a
// node that shows nothing.
Kel3DBagRep* BuildNode(const aiNode& node, int depth, const std::vector<KelSurfacicRep*>& meshes,
                       std::vector<std::string>& warnings) {
  auto* bag = new Kel3DBagRep;
  if (!node.mTransformation.IsIdentity()) {
    Kel4x4Matrix m;
    if (!ToKelMatrix(node.mTransformation, m)) {
      warnings.push_back("node '" + std::string(node.mName.C_Str()) +
                         "' has a non-finite matrix: left out");
      bag->Destroy();
      return nullptr;
    }
    bag->SetMatrix(m);
  }
  for (unsigned i = 0; i < node.mNumMeshes && node.mMeshes; ++i) {
    const unsigned index = node.mMeshes[i];
    if (index < meshes.size() && meshes[index]) bag->AddChild(*meshes[index]);
  }
  if (node.mNumChildren > 0 && node.mChildren) {
    if (depth + 1 >= KelMeshLoader::MAX_NODE_DEPTH) {
      warnings.push_back("nodes deeper than " + std::to_string(KelMeshLoader::MAX_NODE_DEPTH) +
                         " levels left out");
    } else {
      for (unsigned i = 0; i < node.mNumChildren; ++i)
        if (node.mChildren[i])
          if (Kel3DBagRep* child = BuildNode(*node.mChildren[i], depth + 1, meshes, warnings))
            bag->AddChild(*child);
    }
  }
  if (bag->GetChildren()->Count() == 0) {
    bag->Destroy();
    return nullptr;
  }
  return bag;
}

}  // namespace

int KelMeshLoader::Load(const std::string& path, Kel3DBagRep& root, std::string& error) {
  // Say plainly why a file cannot be read before Assimp gives its own words.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    error = "cannot open mesh file '" + path + "': " + std::strerror(errno);
    return KELRENDER_INPUT_MISSING;
  }
  if (S_ISDIR(st.st_mode)) {
    error = "cannot read mesh file '" + path + "': it is a directory";
    return KELRENDER_INPUT_MISSING;
  }
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
  } else {
    error = "cannot read mesh file '" + path + "': " + std::strerror(errno);
    return KELRENDER_INPUT_MISSING;
  }
  if (S_ISREG(st.st_mode) && st.st_size == 0) {
    error = "cannot load mesh file '" + path + "': the file is empty";
    return KELRENDER_INPUT_MALFORMED;
  }

  Assimp::Importer importer;
  importer.SetPropertyFloat(AI_CONFIG_PP_GSN_MAX_SMOOTHING_ANGLE, CREASE_DEGREES);
  importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                              aiPrimitiveType_POINT | aiPrimitiveType_LINE);
  unsigned flags = aiProcess_Triangulate | aiProcess_GenSmoothNormals |
                   aiProcess_JoinIdenticalVertices | aiProcess_SortByPType |
                   aiProcess_ValidateDataStructure;
  // STL carries one normal per facet only: smooth them up to the crease angle.
  std::string lower = path;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".stl") == 0)
    flags |= aiProcess_ForceGenNormals;
  const aiScene* scene = importer.ReadFile(path, flags);
  if (!scene) {
    const char* why = importer.GetErrorString();
    error = "cannot load mesh file '" + path + "': " + (why && *why ? why : "unknown error");
    return KELRENDER_INPUT_MALFORMED;
  }
  if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode) {
    error = "cannot load mesh file '" + path + "': the file holds no complete scene";
    return KELRENDER_INPUT_MALFORMED;
  }

  std::vector<KelSurfacicRep*> meshes(scene->mMeshes ? scene->mNumMeshes : 0, nullptr);
  for (size_t m = 0; m < meshes.size(); ++m) {
    const aiMesh* mesh = scene->mMeshes[m];
    if (!mesh || !mesh->mVertices || !mesh->mFaces) continue;
    std::vector<unsigned> triangles;
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      if (face.mNumIndices != 3 || !face.mIndices) continue;
      triangles.insert(triangles.end(), face.mIndices, face.mIndices + 3);
    }
    meshes[m] = BuildSurface(&mesh->mVertices[0].x, mesh->mNumVertices,
                             mesh->mNormals ? &mesh->mNormals[0].x : nullptr, triangles.data(),
                             static_cast<unsigned>(triangles.size() / 3),
                             MaterialAttributes(*scene, *mesh));
  }
  if (_skipped > 0)
    _warnings.push_back(std::to_string(_skipped) +
                        " triangles with a vertex outside their mesh or a non-finite point "
                        "left out");
  Kel3DBagRep* top = BuildNode(*scene->mRootNode, 0, meshes, _warnings);
  // Meshes no node names are not drawn.
  for (KelSurfacicRep* mesh : meshes)
    if (mesh && mesh->GetParents().Count() == 0) mesh->Destroy();
  if (!top) {
    error = "mesh file '" + path + "' holds no triangle to draw";
    return KELRENDER_INPUT_MALFORMED;
  }
  root.AddChild(*top);
  return KELRENDER_OK;
}

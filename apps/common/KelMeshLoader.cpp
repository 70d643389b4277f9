#include "KelMeshLoader.h"

#include "KelAppStatus.h"
#include "KelAppText.h"
#include "KelMeshFileCheck.h"

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelGraphicAttributeSet.h>
#include <kel/reps/KelSurfacicRep.h>

#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

static_assert(sizeof(aiVector3D) == 3 * sizeof(float), "Assimp built with single-precision reals");

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KEL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define KEL_SANITIZED 1
#endif
#endif

namespace {

using KelAppText::Extension;

// While it lives the process's address space may grow by `bytes` only: a
// reader that believes a hostile count meets bad_alloc, which Assimp reports
// as a failed read, instead of taking the machine's memory. Sanitizers reserve
// terabytes of shadow memory, so there the budget is not set.
class AddressSpaceBudget {
 public:
  explicit AddressSpaceBudget(unsigned long long bytes) {
#ifndef KEL_SANITIZED
    long pages = 0;
    std::ifstream statm("/proc/self/statm");
    if (!(statm >> pages) || ::getrlimit(RLIMIT_AS, &_saved) != 0) return;
    const unsigned long long limit =
        static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(::getpagesize()) +
        bytes;
    if (_saved.rlim_cur != RLIM_INFINITY && _saved.rlim_cur <= limit) return;
    struct rlimit budget = _saved;
    budget.rlim_cur = static_cast<rlim_t>(limit);
    _set = ::setrlimit(RLIMIT_AS, &budget) == 0;
#else
    (void)bytes;
#endif
  }
  ~AddressSpaceBudget() {
    if (_set) ::setrlimit(RLIMIT_AS, &_saved);
  }
  AddressSpaceBudget(const AddressSpaceBudget&) = delete;
  AddressSpaceBudget& operator=(const AddressSpaceBudget&) = delete;

 private:
  struct rlimit _saved = {};
  bool _set = false;
};

// Triangles (as Triangulate will make them), lines and points, and vertices,
// of the scene as read, against the limits.
bool CheckCounts(const aiScene& scene, const KelMeshLimits& limits, std::string& error) {
  unsigned long long elements = 0, vertices = 0;
  for (unsigned m = 0; scene.mMeshes && m < scene.mNumMeshes; ++m) {
    const aiMesh* mesh = scene.mMeshes[m];
    if (!mesh) continue;
    vertices += mesh->mNumVertices;
    if (!mesh->mFaces || mesh->mNumFaces == 0) {
      elements += mesh->mNumVertices;  // a cloud of points
      continue;
    }
    for (unsigned f = 0; f < mesh->mNumFaces; ++f)
      elements += std::max(mesh->mFaces[f].mNumIndices, 3u) - 2;
  }
  if (elements > static_cast<unsigned long long>(limits.maxTriangles)) {
    error = "it holds " + std::to_string(elements) +
            " triangles, lines and points, more than the limit of " +
            std::to_string(limits.maxTriangles) + " (--max-triangles raises it)";
    return false;
  }
  if (vertices > static_cast<unsigned long long>(limits.maxVertices)) {
    error = "it holds " + std::to_string(vertices) + " vertices, more than the limit of " +
            std::to_string(limits.maxVertices) + " (--max-vertices raises it)";
    return false;
  }
  return true;
}

// Some readers leave a cloud of points as vertices without faces, which
// Assimp's own validation refuses: give each vertex its point.
void AddPointFaces(aiScene& scene) {
  for (unsigned m = 0; scene.mMeshes && m < scene.mNumMeshes; ++m) {
    aiMesh* mesh = scene.mMeshes[m];
    if (!mesh || mesh->mNumFaces != 0 || mesh->mNumVertices == 0 || !mesh->mVertices) continue;
    delete[] mesh->mFaces;
    mesh->mFaces = new aiFace[mesh->mNumVertices];
    for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
      mesh->mFaces[v].mNumIndices = 1;
      mesh->mFaces[v].mIndices = new unsigned[1]{v};
    }
    mesh->mNumFaces = mesh->mNumVertices;
    mesh->mPrimitiveTypes = aiPrimitiveType_POINT;
  }
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

// The Reps of one mesh: its triangles, its lines and its points, each kind
// in a Rep of its own. False with a message when the mesh is corrupt.
bool BuildMesh(const aiScene& scene, const aiMesh& mesh, KelMeshBuilder& builder,
               std::vector<Kel3DRep*>& reps, std::string& error) {
  if (!mesh.mVertices || !mesh.mFaces) return true;
  std::vector<unsigned> byKind[4];  // indices of the faces of 1, 2 and 3 corners
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    const aiFace& face = mesh.mFaces[f];
    if (face.mNumIndices >= 1 && face.mNumIndices <= 3 && face.mIndices)
      byKind[face.mNumIndices].insert(byKind[face.mNumIndices].end(), face.mIndices,
                                      face.mIndices + face.mNumIndices);
  }
  const KelGraphicAttributeSet attributes = MaterialAttributes(scene, mesh);
  const float* positions = &mesh.mVertices[0].x;
  const unsigned n = mesh.mNumVertices;
  Kel3DRep* built[3] = {
      builder.BuildSurface(positions, n, mesh.mNormals ? &mesh.mNormals[0].x : nullptr,
                           byKind[3].data(), unsigned(byKind[3].size() / 3), attributes, error),
      nullptr, nullptr};
  if (error.empty())
    built[1] = builder.BuildLines(positions, n, byKind[2].data(), unsigned(byKind[2].size() / 2),
                                  attributes, error);
  if (error.empty() && !byKind[1].empty()) {
    // Points name vertices; a cloud draws them all, once each.
    std::vector<float> points;
    points.reserve(3 * byKind[1].size());
    for (unsigned v : byKind[1])
      if (v < n)
        points.insert(points.end(), positions + 3 * size_t(v), positions + 3 * size_t(v) + 3);
    if (points.size() / 3 != byKind[1].size())
      error = "a point names a vertex outside its mesh";
    else
      built[2] = builder.BuildPoints(points.data(), unsigned(byKind[1].size()), attributes, error);
  }
  for (Kel3DRep* rep : built)
    if (rep) reps.push_back(rep);
  return error.empty();
}

// Bags for a node and its children, holding the Reps of the meshes they name;
// null for a node that shows nothing.
Kel3DBagRep* BuildNode(const aiNode& node, int depth,
                       const std::vector<std::vector<Kel3DRep*>>& meshes,
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
    if (index < meshes.size())
      for (Kel3DRep* rep : meshes[index]) bag->AddChild(*rep);
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

void DestroyUnparented(const std::vector<std::vector<Kel3DRep*>>& meshes) {
  for (const std::vector<Kel3DRep*>& reps : meshes)
    for (Kel3DRep* rep : reps)
      if (rep->GetParents().Count() == 0) rep->Destroy();
}

}  // namespace

KelMeshLoader::KelMeshLoader(const KelMeshLimits& limits) : _limits(limits) {}

int KelMeshLoader::Read(const std::string& path, Assimp::Importer& importer, std::string& error) {
  // Say plainly why a file cannot be read before Assimp gives its own words.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    error = "cannot open mesh file '" + path + "': " + std::strerror(errno);
    return KELAPP_INPUT_MISSING;
  }
  if (!S_ISREG(st.st_mode)) {
    error = "cannot read mesh file '" + path +
            "': " + (S_ISDIR(st.st_mode) ? "it is a directory" : "it is not a regular file");
    return KELAPP_INPUT_MISSING;
  }
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
  } else {
    error = "cannot read mesh file '" + path + "': " + std::strerror(errno);
    return KELAPP_INPUT_MISSING;
  }
  std::string why;
  if (st.st_size == 0) why = "the file is empty";
  if (why.empty()) KelMeshFileCheck::CheckHeader(path, _limits, why);
  if (!why.empty()) {
    error = "cannot load mesh file '" + path + "': " + why;
    return KELAPP_INPUT_MALFORMED;
  }

  // Room for the file, and per triangle and vertex what Assimp's steps take
  // at their peak.
  const unsigned long long budget = (256ull << 20) + static_cast<unsigned long long>(st.st_size) +
                                    256ull * static_cast<unsigned long long>(_limits.maxTriangles) +
                                    128ull * static_cast<unsigned long long>(_limits.maxVertices);
  AddressSpaceBudget guard(budget);
  const aiScene* scene = importer.ReadFile(path, 0);
  if (scene && !CheckCounts(*scene, _limits, why)) {
    error = "cannot load mesh file '" + path + "': " + why;
    return KELAPP_INPUT_MALFORMED;
  }
  if (scene) {
    AddPointFaces(*const_cast<aiScene*>(scene));
    // STL carries one normal per facet only: smooth them up to the crease angle.
    unsigned steps = aiProcess_ValidateDataStructure | aiProcess_Triangulate |
                     aiProcess_GenSmoothNormals | aiProcess_SortByPType;
    if (Extension(path) == "stl") steps |= aiProcess_ForceGenNormals;
    scene = importer.ApplyPostProcessing(steps);
  }
  if (!scene) {
    std::string message = importer.GetErrorString() ? importer.GetErrorString() : "";
    if (message.find("bad_alloc") != std::string::npos)
      message = "reading it takes more memory than files within the limits may (" +
                std::to_string(_limits.maxTriangles) + " triangles, " +
                std::to_string(_limits.maxVertices) +
                " vertices; --max-triangles and --max-vertices raise them)";
    error =
        "cannot load mesh file '" + path + "': " + (message.empty() ? "unknown error" : message);
    return KELAPP_INPUT_MALFORMED;
  }
  if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode) {
    error = "cannot load mesh file '" + path + "': the file holds no complete scene";
    return KELAPP_INPUT_MALFORMED;
  }
  return KELAPP_OK;
}

int KelMeshLoader::Load(const std::string& path, Kel3DBagRep& root, std::string& error) {
  Assimp::Importer importer;
  importer.SetPropertyFloat(AI_CONFIG_PP_GSN_MAX_SMOOTHING_ANGLE, KelMeshBuilder::CREASE_DEGREES);
  const int status = Read(path, importer, error);
  if (status != KELAPP_OK) return status;
  const aiScene& scene = *importer.GetScene();

  const std::string ext = Extension(path);
  if (ext == "gltf" || ext == "glb" || ext == "dae") _upAxis = KEL_UP_Y;
  int axis = 0;
  if (scene.mMetaData && scene.mMetaData->Get("UpAxis", axis) && axis >= 0 && axis <= 2)
    _upAxis = static_cast<KelUpAxis>(axis);

  std::vector<std::vector<Kel3DRep*>> meshes(scene.mMeshes ? scene.mNumMeshes : 0);
  for (size_t m = 0; m < meshes.size(); ++m) {
    std::string why;
    if (scene.mMeshes[m] && !BuildMesh(scene, *scene.mMeshes[m], _builder, meshes[m], why)) {
      DestroyUnparented(meshes);
      error = "cannot load mesh file '" + path + "': mesh " + std::to_string(m) + ": " + why;
      return KELAPP_INPUT_MALFORMED;
    }
  }
  Kel3DBagRep* top = BuildNode(*scene.mRootNode, 0, meshes, _warnings);
  // Meshes no node names are not drawn.
  DestroyUnparented(meshes);
  if (!top) {
    error = "mesh file '" + path + "' holds nothing to draw";
    return KELAPP_INPUT_MALFORMED;
  }
  root.AddChild(*top);
  return KELAPP_OK;
}

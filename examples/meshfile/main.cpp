// Kelvis, meshes: a mesh file (STL, OBJ, PLY, glTF...) into surfacic Reps,
// drawn off-screen.
//
//   meshfile part.stl [picture.tif]
//
// Assimp reads the file; each of its meshes becomes a KelSurfacicRep holding
// one face primitive (Kel3DFaceGP): a vertex array, a normal per vertex and
// triangles as indices. Indices are positions in the coordinate array: three
// times the vertex number. A surfacic Rep can also hold edges and coarser
// levels of detail; kelrender (apps/common/KelMeshBuilder.cpp) shows both, and
// the checks that a file from elsewhere deserves.
#include <kel/images/KelPixelImage.h>
#include <kel/images/WriteTIFFPixelImage.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/render/KelDriver.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelSurfacicRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

// One mesh of triangles as a surfacic Rep, or null when it has none.
KelSurfacicRep* SurfaceOf(const aiMesh& mesh) {
  std::vector<int> indices;
  for (unsigned f = 0; f < mesh.mNumFaces; ++f)
    if (mesh.mFaces[f].mNumIndices == 3)
      for (int c = 0; c < 3; ++c) indices.push_back(3 * int(mesh.mFaces[f].mIndices[c]));
  if (indices.empty() || !mesh.mNormals) return nullptr;
  const int coords = 3 * int(mesh.mNumVertices);
  // The face copies the arrays it is given.
  auto* face =
      new Kel3DFaceGP(&mesh.mVertices[0].x, coords, &mesh.mNormals[0].x, coords, indices.data(),
                      int(indices.size() / 3), nullptr, 0, nullptr, nullptr, 0, nullptr);
  auto* attributes = new KelGraphicAttributeSet;  // the Rep owns it
  attributes->color = KelGraphicAttributeSet::RGBA_COLOR;
  attributes->rgba[0] = 90, attributes->rgba[1] = 150, attributes->rgba[2] = 200;
  attributes->rgba[3] = 255;
  auto* surface = new KelSurfacicRep;
  surface->AddGeomFace(face, attributes);

  // The owner of a surfacic Rep gives it its bounding sphere: culling and
  // framing go by it.
  aiVector3D lo = mesh.mVertices[0], hi = lo;
  for (unsigned v = 1; v < mesh.mNumVertices; ++v) {
    lo = aiVector3D(std::min(lo.x, mesh.mVertices[v].x), std::min(lo.y, mesh.mVertices[v].y),
                    std::min(lo.z, mesh.mVertices[v].z));
    hi = aiVector3D(std::max(hi.x, mesh.mVertices[v].x), std::max(hi.y, mesh.mVertices[v].y),
                    std::max(hi.z, mesh.mVertices[v].z));
  }
  const aiVector3D centre = (lo + hi) * 0.5f;
  float radius = 0;
  for (unsigned v = 0; v < mesh.mNumVertices; ++v)
    radius = std::max(radius, (mesh.mVertices[v] - centre).Length());
  surface->SetBoundingElement(
      Kel3DBoundingSphere(Kelpoint3f(centre.x, centre.y, centre.z), radius, 0.0f));
  return surface;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: meshfile MESH-FILE [PICTURE.tif]\n");
    return 2;
  }
  const char* picture = argc > 2 ? argv[2] : "meshfile.tif";

  // Triangles with smooth normals, node matrices applied to the vertices.
  Assimp::Importer importer;
  const aiScene* scene =
      importer.ReadFile(argv[1], aiProcess_ValidateDataStructure | aiProcess_Triangulate |
                                     aiProcess_GenSmoothNormals | aiProcess_JoinIdenticalVertices |
                                     aiProcess_PreTransformVertices);
  if (!scene) {
    std::fprintf(stderr, "meshfile: %s\n", importer.GetErrorString());
    return 1;
  }
  auto* root = new Kel3DBagRep;
  for (unsigned m = 0; m < scene->mNumMeshes; ++m)
    if (KelSurfacicRep* surface = SurfaceOf(*scene->mMeshes[m])) root->AddChild(*surface);
  std::printf("%s: %d surfaces\n", argv[1], root->GetChildCount());

  // Drawn as in the first example.
  KelPixelImage image(640, 480, PixelImageRGB);
  std::unique_ptr<KelSupport> support(createSupport(nullptr, &image));
  if (!support) return 1;
  auto* camera = new Kel3DViewpoint;
  support->AddViewpoint(camera, 1);
  camera->AddRep(root);
  float width = 0, height = 0;
  support->GetWidthAndHeight(width, height);
  camera->Reframe(width, height, support->GetMMInSupportUnit(), support->GetRatioWH());
  support->Draw();
  const int written = WriteTIFFPixelImage(&image, picture, CodingNone);
  std::printf("%s: %s\n", picture, written == 0 ? "written" : "NOT written");

  camera->RemoveRep(root);
  support.reset();
  root->Destroy();
  return written == 0 ? 0 : 1;
}

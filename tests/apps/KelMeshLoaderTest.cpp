// Mesh files into surfacic Reps: triangles checked before any face is built,
// edges at boundaries and creases only, faces cut so that edges can index
// them, node matrices turned into the library's row-vector form.
#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelSurfacicRep.h>

#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "KelMeshLoader.h"
#include "KelRenderMeshFiles.h"
#include "KelRenderStatus.h"
#include "KelTestEnv.h"

namespace {

using kelrendertest::Bracket;

struct RepDeleter {
  void operator()(KelRep* r) const {
    if (r) r->Destroy();
  }
};
using SurfacePtr = std::unique_ptr<KelSurfacicRep, RepDeleter>;

KelGraphicAttributeSet Grey() {
  KelGraphicAttributeSet a;
  a.color = KelGraphicAttributeSet::RGBA_COLOR;
  a.rgba[0] = a.rgba[1] = a.rgba[2] = 200;
  a.rgba[3] = 255;
  return a;
}

// Segments of all the edges of a Rep, and a check that every index of every
// edge and face is a whole vertex of its own face.
int CheckedSegments(const KelSurfacicRep& rep) {
  int segments = 0;
  for (int i = 0; i < rep.GetNbFaces(); ++i) {
    auto* face = static_cast<Kel3DFaceGP*>(rep.GetFace(i));
    for (int k = 0; k < 3 * face->GetNbTriangles(); ++k) {
      const int index = face->GetTriangles()[k];
      EXPECT_TRUE(index >= 0 && index % 3 == 0 && index + 2 < face->GetNbVertexCoords()) << index;
    }
    EXPECT_LE(face->GetNbVertexCoords(), 3 * KelMeshLoader::MAX_FACE_VERTICES);
  }
  for (int j = 0; j < rep.GetNbEdges(); ++j) {
    const Kel3DEdgeGP* edge = rep.GetEdge(j);
    auto* face = static_cast<Kel3DFaceGP*>(edge->GetFirstFace());
    EXPECT_EQ(edge->GetVertices(), face->GetVertexArray());
    for (int k = 0; k < edge->GetNbIndices(); ++k)
      EXPECT_LT(edge->GetIndices()[k] + 2, face->GetNbVertexCoords());
    segments += edge->GetNbIndices() - 1;
  }
  return segments;
}

// Flat arrays of a triangle soup: three vertices per triangle, as STL has.
void Soup(const std::vector<kelrendertest::Triangle>& ts, std::vector<float>& v,
          std::vector<unsigned>& t) {
  for (const auto& tr : ts)
    for (const auto& p : tr.v) {
      t.push_back(static_cast<unsigned>(v.size() / 3));
      v.insert(v.end(), p, p + 3);
    }
}

TEST(KelMeshLoader, BoxShowsItsTwelveEdgesNotItsDiagonals) {
  std::vector<float> v;
  std::vector<unsigned> t;
  Soup(kelrendertest::Box(0, 0, 0, 2, 3, 4), v, t);
  KelMeshLoader loader;
  SurfacePtr rep(loader.BuildSurface(v.data(), static_cast<unsigned>(v.size() / 3), nullptr,
                                     t.data(), static_cast<unsigned>(t.size() / 3), Grey()));
  ASSERT_TRUE(rep);
  EXPECT_EQ(rep->GetNbFaces(), 1);
  EXPECT_EQ(loader.GetTriangleCount(), 12u);
  EXPECT_EQ(CheckedSegments(*rep), 12);
  // Edges in a dark shade of the face's colour.
  EXPECT_EQ(rep->GetEdgeAttributes(0)->color, KelGraphicAttributeSet::RGBA_COLOR);
  EXPECT_EQ(rep->GetEdgeAttributes(0)->rgba[0], 60);
  const Kel3DBoundingSphere& s = rep->GetBoundingElement();
  EXPECT_NEAR(s.GetCenter()[2], 2.0f, 1e-5f);
  EXPECT_NEAR(s.GetRadius(), std::sqrt(29.0f) / 2, 1e-4f);
}

TEST(KelMeshLoader, BadTrianglesAreSkippedAndCounted) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float v[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, nan, 0, 0};
  // Fine, index past the end, huge index, NaN point, fine.
  const unsigned t[] = {0, 1, 2, 1, 3, 5, 0, 4000000000u, 1, 0, 1, 4, 1, 3, 2};
  KelMeshLoader loader;
  SurfacePtr rep(loader.BuildSurface(v, 5, nullptr, t, 5, Grey()));
  ASSERT_TRUE(rep);
  EXPECT_EQ(loader.GetTriangleCount(), 2u);
  EXPECT_EQ(loader.GetSkippedTriangleCount(), 3u);
  auto* face = static_cast<Kel3DFaceGP*>(rep->GetFace(0));
  EXPECT_EQ(face->GetNbVertexCoords(), 12);  // the NaN point is not copied
  EXPECT_EQ(face->GetNbNormalCoords(), 12);
  for (int i = 0; i < 12; ++i) EXPECT_TRUE(std::isfinite(face->GetNormals()[i]));
  // The square's outline: four boundary segments, not its diagonal.
  EXPECT_EQ(CheckedSegments(*rep), 4);

  // Nothing left: no Rep.
  KelMeshLoader none;
  const unsigned allBad[] = {0, 1, 9};
  EXPECT_EQ(none.BuildSurface(v, 5, nullptr, allBad, 1, Grey()), nullptr);
  EXPECT_EQ(none.GetSkippedTriangleCount(), 1u);
  EXPECT_EQ(none.BuildSurface(nullptr, 0, nullptr, nullptr, 0, Grey()), nullptr);
}

TEST(KelMeshLoader, LargeMeshIsCutIntoFacesItsEdgesCanIndex) {
  // A flat grid of 200 x 200 squares: 40401 shared vertices.
  const int n = 200;
  std::vector<float> v;
  std::vector<unsigned> t;
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i) v.insert(v.end(), {float(i), float(j), 0.0f});
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const unsigned a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
      t.insert(t.end(), {a, b, d, a, d, c});
    }
  KelMeshLoader loader;
  SurfacePtr rep(loader.BuildSurface(v.data(), static_cast<unsigned>(v.size() / 3), nullptr,
                                     t.data(), static_cast<unsigned>(t.size() / 3), Grey()));
  ASSERT_TRUE(rep);
  EXPECT_GE(rep->GetNbFaces(), 2);
  EXPECT_EQ(loader.GetTriangleCount(), unsigned(2 * n * n));
  // Only the outline, whole: 4 n segments.
  EXPECT_EQ(CheckedSegments(*rep), 4 * n);
}

class MeshFiles : public testing::Test {
 protected:
  std::string Path(const std::string& name) { return keltest::OutputPath("loader-" + name); }
  void SetUp() override { root = new Kel3DBagRep; }
  void TearDown() override { root->Destroy(); }
  Kel3DBagRep* root = nullptr;
};

TEST_F(MeshFiles, AsciiAndBinaryStlGiveTheSameSurface) {
  const std::string ascii = Path("bracket-ascii.stl"), binary = Path("bracket-binary.stl");
  kelrendertest::WriteAsciiStl(ascii, Bracket());
  kelrendertest::WriteBinaryStl(binary, Bracket());
  for (const std::string& path : {ascii, binary}) {
    KelMeshLoader loader;
    std::string error;
    ASSERT_EQ(loader.Load(path, *root, error), KELRENDER_OK) << path << ": " << error;
    EXPECT_EQ(loader.GetTriangleCount(), 24u) << path;
    EXPECT_EQ(loader.GetSkippedTriangleCount(), 0u) << path;
    EXPECT_GT(loader.GetEdgeCount(), 0u) << path;
  }
  const Kel3DBoundingSphere& s = root->GetBoundingElement();
  EXPECT_NEAR(s.GetCenter()[0], 20.0f, 1e-3f);
  EXPECT_NEAR(s.GetCenter()[2], 15.0f, 1e-3f);
}

TEST_F(MeshFiles, ObjPolygonsAreTriangulatedPerObject) {
  const std::string path = Path("nut.obj");
  kelrendertest::WriteObj(path);
  KelMeshLoader loader;
  std::string error;
  ASSERT_EQ(loader.Load(path, *root, error), KELRENDER_OK) << error;
  // 24 quads of the prism and the pyramid's square base: two triangles each.
  EXPECT_EQ(loader.GetTriangleCount(), 24u * 2 + 2 + 4);
}

TEST_F(MeshFiles, NodeMatricesAreTransposedIntoBags) {
  // A glTF node turning its triangle a quarter turn about z and moving it by
  // (10, 20, 30); glTF stores the matrix column by column.
  const std::string path = Path("moved.gltf");
  std::ofstream(path) << R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],
"nodes":[{"mesh":0,"matrix":[0,1,0,0, -1,0,0,0, 0,0,1,0, 10,20,30,1]}],
"meshes":[{"primitives":[{"attributes":{"POSITION":0}}]}],
"buffers":[{"byteLength":36,"uri":"data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}],
"bufferViews":[{"buffer":0,"byteLength":36}],
"accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]}]})";
  KelMeshLoader loader;
  std::string error;
  ASSERT_EQ(loader.Load(path, *root, error), KELRENDER_OK) << error;
  // Find the bag with a matrix and map the triangle's corner (1, 0, 0).
  const Kel4x4Matrix* m = nullptr;
  std::vector<KelRep*> todo{root};
  while (!todo.empty() && !m) {
    KelRep* r = todo.back();
    todo.pop_back();
    if (auto* bag = dynamic_cast<Kel3DBagRep*>(r)) {
      if (bag->GetMatrix()) m = bag->GetMatrix();
      for (int i = 0; i < bag->GetChildren()->Count(); ++i)
        todo.push_back((*bag->GetChildren())[i]);
    }
  }
  ASSERT_NE(m, nullptr);
  const Kelpoint3f p = *m * Kelpoint3f(1, 0, 0);
  EXPECT_NEAR(p.x, 10.0f, 1e-5f);
  EXPECT_NEAR(p.y, 21.0f, 1e-5f);
  EXPECT_NEAR(p.z, 30.0f, 1e-5f);
}

TEST_F(MeshFiles, EachKindOfBadFileHasItsStatusAndMessage) {
  struct Case {
    std::string path;
    const char* content;  // null: not created
    int status;
    const char* message;
  };
  const std::string dir = Path("a-directory.stl");
  mkdir(dir.c_str(), 0755);
  const Case cases[] = {
      {Path("missing.stl"), nullptr, KELRENDER_INPUT_MISSING, "No such file or directory"},
      {dir, nullptr, KELRENDER_INPUT_MISSING, "directory"},
      {Path("empty.stl"), "", KELRENDER_INPUT_MALFORMED, "empty"},
      {Path("garbage.stl"), "garbage\n", KELRENDER_INPUT_MALFORMED, "STL"},
      {Path("garbage.xyzzy"), "garbage\n", KELRENDER_INPUT_MALFORMED, "cannot load"},
      {Path("lines.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\nl 2 3\n", KELRENDER_INPUT_MALFORMED,
       "mesh file"},
      {Path("bad-index.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 7\n", KELRENDER_INPUT_MALFORMED,
       "mesh file"},
  };
  for (const Case& c : cases) {
    if (c.content) std::ofstream(c.path) << c.content;
    KelMeshLoader loader;
    std::string error;
    EXPECT_EQ(loader.Load(c.path, *root, error), c.status) << c.path << ": " << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.path << ": " << error;
    EXPECT_NE(error.find(c.path), std::string::npos) << error;
  }
  EXPECT_EQ(root->GetChildren()->Count(), 0);
}

}  // namespace

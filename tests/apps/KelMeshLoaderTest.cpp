// Mesh files into Reps: edges at boundaries and creases only, faces cut so
// that edges can index them, lines and points kept, node matrices turned into
// the library's row-vector form; and hostile files refused before they cost.
#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelBagGP.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCurveRep.h>
#include <kel/reps/KelSurfacicRep.h>

#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "KelAppStatus.h"
#include "KelMeshFileCheck.h"
#include "KelMeshLoader.h"
#include "KelRenderMeshFiles.h"
#include "KelTestEnv.h"

namespace {

struct RepDeleter {
  void operator()(KelRep* r) const {
    if (r) r->Destroy();
  }
};
template <class R>
using RepPtr = std::unique_ptr<R, RepDeleter>;

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
    EXPECT_LE(face->GetNbVertexCoords(), 3 * KelMeshBuilder::MAX_FACE_VERTICES);
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

TEST(KelMeshBuilder, EdgesAreBoundariesAndCreasesInFacesTheyCanIndex) {
  KelMeshBuilder builder;
  std::string error;
  auto build = [&](const std::vector<float>& v, const std::vector<unsigned>& t) {
    return RepPtr<KelSurfacicRep>(builder.BuildSurface(v.data(), unsigned(v.size() / 3), nullptr,
                                                       t.data(), unsigned(t.size() / 3),
                                                       KelGraphicAttributeSet(), error));
  };
  // A box as a triangle soup (three vertices a triangle, as STL has): its
  // twelve edges, not the diagonals of its sides.
  std::vector<float> v;
  std::vector<unsigned> t;
  kelrendertest::Soup(kelrendertest::Box(0, 0, 0, 2, 3, 4), v, t);
  RepPtr<KelSurfacicRep> box = build(v, t);
  ASSERT_TRUE(box) << error;
  EXPECT_EQ(box->GetNbFaces(), 1);
  EXPECT_EQ(CheckedSegments(*box), 12);
  EXPECT_NEAR(box->GetBoundingElement().GetCenter()[2], 2.0f, 1e-5f);
  EXPECT_NEAR(box->GetBoundingElement().GetRadius(), std::sqrt(29.0f) / 2, 1e-4f);

  // A flat grid of 200 x 200 squares, 40401 shared vertices: more faces than
  // one, and only the outline, whole.
  const unsigned n = 200;
  v.clear();
  t.clear();
  for (unsigned j = 0; j <= n; ++j)
    for (unsigned i = 0; i <= n; ++i) v.insert(v.end(), {float(i), float(j), 0.0f});
  for (unsigned j = 0; j < n; ++j)
    for (unsigned i = 0; i < n; ++i) {
      const unsigned a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
      t.insert(t.end(), {a, b, d, a, d, c});
    }
  RepPtr<KelSurfacicRep> grid = build(v, t);
  ASSERT_TRUE(grid) << error;
  EXPECT_GE(grid->GetNbFaces(), 2);
  EXPECT_EQ(CheckedSegments(*grid), int(4 * n));
}

TEST(KelMeshBuilder, SegmentsJoinIntoPolylines) {
  // A square's outline given as four segments in no order, and a lone one.
  const float v[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 5, 5, 5, 6, 5, 5};
  const unsigned segments[] = {2, 3, 0, 1, 3, 0, 1, 2, 4, 5};
  KelMeshBuilder builder;
  std::string error;
  RepPtr<Kel3DRep> lines(builder.BuildLines(v, 6, segments, 5, KelGraphicAttributeSet(), error));
  ASSERT_TRUE(lines) << error;
  auto* bag = dynamic_cast<KelBagGP*>(static_cast<Kel3DCurveRep*>(lines.get())->GetLOD(0));
  ASSERT_TRUE(bag);
  ASSERT_EQ(bag->GetCount(), 2);
  int points = 0;
  for (int i = 0; i < 2; ++i)
    points += static_cast<Kel3DPolylineGP*>(bag->Get_Son(i))->GetNbPoints();
  EXPECT_EQ(points, 5 + 2);  // the loop closes on its first point
}

TEST(KelMeshFileCheck, HeaderCountsAreCheckedAgainstSizeAndLimits) {
  const std::string ply =
      "ply\nformat binary_little_endian 1.0\nelement vertex 1000000000\n"
      "property float x\nproperty float y\nproperty float z\nend_header\n";
  const std::string plyFaces =
      "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\n"
      "element face 50\nproperty list uchar int vertex_indices\n"
      "end_header\n";
  std::string stl(84, '\0');
  stl[80] = 2;  // two triangles: 184 bytes
  struct Case {
    std::string head;
    unsigned long long size;
    const char* extension;
    const char* refusal;  // null: accepted
  };
  KelMeshLimits limits;
  limits.maxTriangles = 40;
  const Case cases[] = {
      {ply, ply.size() + 12000000000ull, "ply", "more than the limit of 30000000 (--max-vertices"},
      {plyFaces, plyFaces.size() + 6 + 100, "ply", "50 faces, more than the limit of 40"},
      {"ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nend_header\n", 80, "ply",
       nullptr},
      {"OFF\n# comment\n5000000 1 0\n", 200, "off", "only"},
      {"OFF\n3 1 0\n", 40, "off", nullptr},
      {stl, 184, "stl", nullptr},
      {std::string(84, '\0'), 1u << 30, "stl", "not an STL file"},  // a sparse gigabyte
      {std::string(80, ' ') + "\x29" + std::string(3, '\0'), 84 + 50 * 41, "stl",
       "41 triangles, more than the limit of 40"},
      {"  solid part\n", 1u << 20, "stl", nullptr},
  };
  for (const Case& c : cases) {
    std::string error;
    const bool accepted = KelMeshFileCheck::CheckHeader(c.head, c.size, c.extension, limits, error);
    EXPECT_EQ(accepted, c.refusal == nullptr) << c.head << ": " << error;
    if (c.refusal) {
      EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
    }
  }
}

class MeshFiles : public testing::Test {
 protected:
  void SetUp() override { root = new Kel3DBagRep; }
  void TearDown() override { root->Destroy(); }
  int Load(const std::string& path, std::string& error, const KelMeshLimits& limits = {}) {
    loader = KelMeshLoader(limits);
    return loader.Load(path, *root, error);
  }
  Kel3DBagRep* root = nullptr;
  KelMeshLoader loader;
};

TEST_F(MeshFiles, EachFormatGivesWhatItHolds) {
  const std::string dir = keltest::OutputPath("");
  kelrendertest::WriteAsciiStl(dir + "ascii.stl", kelrendertest::Bracket());
  kelrendertest::WriteBinaryStl(dir + "binary.stl", kelrendertest::Bracket());
  std::ofstream(dir + "polygons.obj") << "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 2 1 0\n"
                                         "v 3 0 0\nf 1 2 3 4\nf 2 5 7 6 3\n";
  kelrendertest::WriteObjLines(dir + "lines.obj");
  kelrendertest::WritePlyPoints(dir + "cloud.ply", 20);
  kelrendertest::WriteGltfBox(dir + "box.gltf", 1, 3, 1);
  struct Case {
    const char* name;
    unsigned triangles, segments, points;
  };
  const Case cases[] = {
      {"ascii.stl", 24, 0, 0},       {"binary.stl", 24, 0, 0},
      {"polygons.obj", 2 + 3, 0, 0},  // a quad and a pentagon split
      {"lines.obj", 0, 6, 0},        {"cloud.ply", 0, 0, 400},
      {"box.gltf", 12, 0, 0},
  };
  for (const Case& c : cases) {
    std::string error;
    ASSERT_EQ(Load(dir + c.name, error), KELAPP_OK) << c.name << ": " << error;
    EXPECT_EQ(loader.GetBuilder().GetTriangleCount(), c.triangles) << c.name;
    EXPECT_EQ(loader.GetBuilder().GetSegmentCount(), c.segments) << c.name;
    EXPECT_EQ(loader.GetBuilder().GetPointCount(), c.points) << c.name;
  }
}

TEST_F(MeshFiles, NodeMatricesAreTransposedIntoBags) {
  // A glTF node turning its triangle a quarter turn about z and moving it by
  // (10, 20, 30); glTF stores the matrix column by column.
  const std::string path = keltest::OutputPath("moved.gltf");
  std::ofstream(path) << R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],
"nodes":[{"mesh":0,"matrix":[0,1,0,0, -1,0,0,0, 0,0,1,0, 10,20,30,1]}],
"meshes":[{"primitives":[{"attributes":{"POSITION":0}}]}],
"buffers":[{"byteLength":36,"uri":"data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}],
"bufferViews":[{"buffer":0,"byteLength":36}],
"accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]}]})";
  std::string error;
  ASSERT_EQ(Load(path, error), KELAPP_OK) << error;
  // The root of the file's node tree is the node itself.
  auto* node = dynamic_cast<Kel3DBagRep*>(root->GetChild(0));
  ASSERT_TRUE(node && node->GetMatrix());
  const Kel4x4Matrix* m = node->GetMatrix();
  const Kelpoint3f p = *m * Kelpoint3f(1, 0, 0);
  EXPECT_NEAR(p.x, 10.0f, 1e-5f);
  EXPECT_NEAR(p.y, 21.0f, 1e-5f);
  EXPECT_NEAR(p.z, 30.0f, 1e-5f);
}

TEST_F(MeshFiles, EachKindOfBadFileHasItsStatusAndMessage) {
  struct Case {
    std::string name;
    const char* content;  // null: not created
    int status;
    const char* message;
  };
  const std::string dir = keltest::OutputPath("a-directory.stl");
  mkdir(dir.c_str(), 0755);
  KelMeshLimits small;
  small.maxTriangles = 5;
  const Case cases[] = {
      {"a-directory.stl", nullptr, KELAPP_INPUT_MISSING, "directory"},
      {"empty.stl", "", KELAPP_INPUT_MALFORMED, "empty"},
      {"garbage.xyzzy", "garbage\n", KELAPP_INPUT_MALFORMED, "cannot load"},
      {"bad-index.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 7\n", KELAPP_INPUT_MALFORMED, "load"},
      {"nan.stl", nullptr, KELAPP_INPUT_MALFORMED, "not a finite point"},
      {"inf.obj", "v 0 0 0\nv 1 0 0\nv 1e999 1 0\nl 1 3\n", KELAPP_INPUT_MALFORMED,
       "not a finite point"},
      {"lines.obj", nullptr, KELAPP_INPUT_MALFORMED, "more than the limit of 5 (--max-triangles"},
  };
  kelrendertest::WriteBinaryStl(keltest::OutputPath("nan.stl"),
                                {kelrendertest::Box(0, 0, 0, 1, std::nanf(""), 1)[6]});
  kelrendertest::WriteObjLines(keltest::OutputPath("lines.obj"));  // 6 segments
  for (const Case& c : cases) {
    const std::string path = keltest::OutputPath(c.name);
    if (c.content) std::ofstream(path) << c.content;
    std::string error;
    EXPECT_EQ(Load(path, error, small), c.status) << c.name << ": " << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
    EXPECT_NE(error.find(path), std::string::npos) << error;
  }
  EXPECT_EQ(root->GetChildren()->Count(), 0);
}

}  // namespace

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
#include <kel/reps/Kel3DCloudOfPointsRep.h>
#include <kel/reps/Kel3DCurveRep.h>
#include <kel/reps/KelSurfacicRep.h>

#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <limits>
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

TEST(KelMeshBuilder, BoxShowsItsTwelveEdgesNotItsDiagonals) {
  // A triangle soup, three vertices per triangle, as STL has.
  std::vector<float> v;
  std::vector<unsigned> t;
  for (const auto& tr : kelrendertest::Box(0, 0, 0, 2, 3, 4))
    for (const auto& p : tr.v) {
      t.push_back(static_cast<unsigned>(v.size() / 3));
      v.insert(v.end(), p, p + 3);
    }
  KelGraphicAttributeSet grey;
  grey.color = KelGraphicAttributeSet::RGBA_COLOR;
  grey.rgba[0] = 200;
  KelMeshBuilder builder;
  std::string error;
  RepPtr<KelSurfacicRep> rep(builder.BuildSurface(v.data(), unsigned(v.size() / 3), nullptr,
                                                  t.data(), unsigned(t.size() / 3), grey, error));
  ASSERT_TRUE(rep) << error;
  EXPECT_EQ(rep->GetNbFaces(), 1);
  EXPECT_EQ(CheckedSegments(*rep), 12);
  EXPECT_EQ(rep->GetEdgeAttributes(0)->rgba[0], 60);  // a dark shade of the face
  const Kel3DBoundingSphere& s = rep->GetBoundingElement();
  EXPECT_NEAR(s.GetCenter()[2], 2.0f, 1e-5f);
  EXPECT_NEAR(s.GetRadius(), std::sqrt(29.0f) / 2, 1e-4f);
}

TEST(KelMeshBuilder, LargeMeshIsCutIntoFacesItsEdgesCanIndex) {
  // A flat grid of 200 x 200 squares: 40401 shared vertices.
  const unsigned n = 200;
  std::vector<float> v;
  std::vector<unsigned> t;
  for (unsigned j = 0; j <= n; ++j)
    for (unsigned i = 0; i <= n; ++i) v.insert(v.end(), {float(i), float(j), 0.0f});
  for (unsigned j = 0; j < n; ++j)
    for (unsigned i = 0; i < n; ++i) {
      const unsigned a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
      t.insert(t.end(), {a, b, d, a, d, c});
    }
  KelMeshBuilder builder;
  std::string error;
  RepPtr<KelSurfacicRep> rep(builder.BuildSurface(v.data(), unsigned(v.size() / 3), nullptr,
                                                  t.data(), unsigned(t.size() / 3),
                                                  KelGraphicAttributeSet(), error));
  ASSERT_TRUE(rep) << error;
  EXPECT_GE(rep->GetNbFaces(), 2);
  EXPECT_EQ(builder.GetTriangleCount(), 2 * n * n);
  EXPECT_EQ(CheckedSegments(*rep), int(4 * n));  // only the outline, whole
}

TEST(KelMeshBuilder, OneBadVertexOrIndexRefusesTheMesh) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float good[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  const float notANumber[] = {0, 0, 0, 1, nan, 0, 0, 1, 0};
  const float infinite[] = {0, 0, 0, 1, 0, 0, 0, inf, 0};
  const unsigned fine[] = {0, 1, 2}, outside[] = {0, 1, 3};
  const KelGraphicAttributeSet a;
  KelMeshBuilder b;
  std::string error;
  EXPECT_EQ(b.BuildSurface(notANumber, 3, nullptr, fine, 1, a, error), nullptr);
  EXPECT_NE(error.find("vertex 1 is not a finite point"), std::string::npos) << error;
  EXPECT_EQ(b.BuildPoints(infinite, 3, a, error), nullptr);
  EXPECT_NE(error.find("vertex 2"), std::string::npos) << error;
  EXPECT_EQ(b.BuildSurface(good, 3, nullptr, outside, 1, a, error), nullptr);
  EXPECT_NE(error.find("triangle 0 names vertex 3 of 3"), std::string::npos) << error;
  EXPECT_EQ(b.BuildLines(good, 3, outside + 1, 1, a, error), nullptr);
  EXPECT_NE(error.find("line 0 names vertex 3"), std::string::npos) << error;
}

TEST(KelMeshBuilder, SegmentsJoinIntoPolylinesAndFewPointsAreMarkers) {
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

  std::vector<float> cloud(3 * (KelMeshBuilder::MAX_MARKERS + 1), 1.0f);
  RepPtr<Kel3DRep> few(builder.BuildPoints(cloud.data(), KelMeshBuilder::MAX_MARKERS,
                                           KelGraphicAttributeSet(), error));
  RepPtr<Kel3DRep> many(builder.BuildPoints(cloud.data(), KelMeshBuilder::MAX_MARKERS + 1,
                                            KelGraphicAttributeSet(), error));
  EXPECT_TRUE(dynamic_cast<Kel3DCurveRep*>(few.get()));
  EXPECT_TRUE(dynamic_cast<Kel3DCloudOfPointsRep*>(many.get()));
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
      {ply, ply.size() + 1200, "ply", "1000000000 'vertex' elements of at least 12 bytes"},
      {ply, ply.size() + 12000000000ull, "ply", "more than the limit of 10000000 (--max-vertices"},
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
  kelrendertest::WriteObj(dir + "nut.obj");
  kelrendertest::WriteObjLines(dir + "lines.obj");
  kelrendertest::WritePlyPoints(dir + "cloud.ply", 20);
  kelrendertest::WriteGltfBox(dir + "box.gltf", 1, 3, 1);
  struct Case {
    const char* name;
    unsigned triangles, segments, points;
    KelUpAxis up;
  };
  const Case cases[] = {
      {"ascii.stl", 24, 0, 0, KEL_UP_FROM_FILE},
      {"binary.stl", 24, 0, 0, KEL_UP_FROM_FILE},
      {"nut.obj", 24 * 2 + 2 + 4, 0, 0, KEL_UP_FROM_FILE},  // quads and the pyramid's base split
      {"lines.obj", 0, 6, 0, KEL_UP_FROM_FILE},
      {"cloud.ply", 0, 0, 400, KEL_UP_FROM_FILE},
      {"box.gltf", 12, 0, 0, KEL_UP_Y},
  };
  for (const Case& c : cases) {
    std::string error;
    ASSERT_EQ(Load(dir + c.name, error), KELAPP_OK) << c.name << ": " << error;
    EXPECT_EQ(loader.GetBuilder().GetTriangleCount(), c.triangles) << c.name;
    EXPECT_EQ(loader.GetBuilder().GetSegmentCount(), c.segments) << c.name;
    EXPECT_EQ(loader.GetBuilder().GetPointCount(), c.points) << c.name;
    EXPECT_EQ(loader.GetFileUpAxis(), c.up) << c.name;
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
  const Kel4x4Matrix* m = nullptr;
  for (Kel3DBagRep* bag = root; bag && !m; bag = dynamic_cast<Kel3DBagRep*>(bag->GetChild(0)))
    m = bag->GetMatrix();
  ASSERT_NE(m, nullptr);
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
  small.maxTriangles = 50;
  const Case cases[] = {
      {"missing.stl", nullptr, KELAPP_INPUT_MISSING, "No such file or directory"},
      {"a-directory.stl", nullptr, KELAPP_INPUT_MISSING, "directory"},
      {"empty.stl", "", KELAPP_INPUT_MALFORMED, "empty"},
      {"garbage.stl", "garbage\n", KELAPP_INPUT_MALFORMED, "not an STL file"},
      {"garbage.xyzzy", "garbage\n", KELAPP_INPUT_MALFORMED, "cannot load"},
      {"bad-index.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 7\n", KELAPP_INPUT_MALFORMED, "load"},
      {"nan.stl", nullptr, KELAPP_INPUT_MALFORMED, "not a finite point"},
      {"inf.obj", "v 0 0 0\nv 1 0 0\nv 1e999 1 0\nl 1 3\n", KELAPP_INPUT_MALFORMED,
       "not a finite point"},
      {"big.obj", nullptr, KELAPP_INPUT_MALFORMED, "more than the limit of 50 (--max-triangles"},
  };
  kelrendertest::WriteBinaryStl(keltest::OutputPath("nan.stl"),
                                kelrendertest::Box(0, 0, 0, 1, std::nanf(""), 1));
  {
    std::ofstream big(keltest::OutputPath("big.obj"));
    for (int i = 0; i < 60; ++i) big << "v " << i << " 0 0\nv " << i << " 1 0\nv " << i << " 0 1\n";
    for (int i = 0; i < 60; ++i)
      big << "f " << 3 * i + 1 << " " << 3 * i + 2 << " " << 3 * i + 3 << "\n";
  }
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

// Faces, planar faces, edges and cylinders: boxes, refused parts, the
// tessellation protocol and the visibility of planar faces; edges share their
// first face's vertices, and constructions that could make them read outside
// those are refused; who owns the points of lines, polylines and markers.
// Deferred destruction under the primitive lock, and bags.
#include <kel/framework/Kelvector3f.h>
#include <kel/primitives/Kel3DBoundingGP.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelBagGP.h>
#include <kel/primitives/KelGraphicPrimitive.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "KelRecordingRender.h"
#include "KelTestEnv.h"
#include "KelTestScene.h"

namespace {

using keltest::ExpectXYZ;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

const float kSquare[12] = {0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0};
const float kUp[3] = {0, 0, 1};

Kelvector3f V(const float* v) {
  return Kelvector3f(v);
}

// The 13 outputs of Get and Clear.
struct Tessellation {
  int allocate = -1, nv = -1, nn = -1, ntri = -1, nst = -1, nfa = -1;
  float *v = nullptr, *n = nullptr;
  int *tri = nullptr, *st = nullptr, *stl = nullptr, *fa = nullptr, *fal = nullptr;
  void Get(Kel3DBoundingGP& gp) {
    gp.Get(&allocate, &v, &nv, &n, &nn, &tri, &ntri, &st, &nst, &stl, &fa, &nfa, &fal);
  }
  void Clear(Kel3DBoundingGP& gp) {
    gp.Clear(&allocate, &v, &nv, &n, &nn, &tri, &ntri, &st, &nst, &stl, &fa, &nfa, &fal);
  }
};

// A tessellation made for each call.
class OnDemandGP : public Kel3DBoundingGP {
 public:
  void GetVertices(int* allocate, float** vertices, int* count) override {
    *allocate = 1;
    *vertices = new float[9]();
    *count = 9;
  }
  void Get(int* allocate, float** v, int* nv, float** n, int* nn, int** tri, int* ntri, int** st,
           int* nst, int** stl, int** fa, int* nfa, int** fal) override {
    *allocate = 1;
    *v = new float[9](), *n = new float[9]();
    *nv = *nn = 9;
    *tri = new int[3]{0, 3, 6}, *st = new int[3]{0, 3, 6}, *fa = new int[3]{0, 3, 6};
    *stl = new int[1]{3}, *fal = new int[1]{3};
    *ntri = *nst = *nfa = 1;
  }
};

TEST(Kel3DFaceGP, BoxOfASquareAndRefusedParts) {
  Kel3DFaceGP face(kSquare, 12, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, nullptr, 0, nullptr);
  ExpectXYZ(V(face.GetBoxHalfExtents()), 1, 1, 0);
  ExpectXYZ(V(face.GetSphereCenter()), 1, 1, 0);
  EXPECT_FLOAT_EQ(face.GetSphereRadius(), std::sqrt(2.0f));

  // Negative counts and lengths that do not add up keep nothing.
  const int triangles[3] = {0, 3, 6}, strips[4] = {0, 3, 6, 9}, badLengths[2] = {5, -1};
  CaptureStderr();
  Kel3DFaceGP bad(kSquare, -12, kUp, 0, triangles, -1, strips, 2, badLengths, strips, 1, nullptr);
  EXPECT_EQ(GetCapturedStderr(),
            "Kel3DFaceGP::BuildStrips: Invalid strip lengths. No strip kept.\n");
  EXPECT_EQ(bad.GetVertexArray(), nullptr);
  EXPECT_EQ(bad.GetNbNormalCoords() + bad.GetNbTriangles() + bad.GetNbStrips() + bad.GetNbFans(),
            0);
  EXPECT_EQ(bad.GetSphereRadius(), 0.0f);
  const int badFanLengths[1] = {-3};
  CaptureStderr();
  Kel3DFaceGP fans(kSquare, 12, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, strips, 1,
                   badFanLengths);
  EXPECT_EQ(GetCapturedStderr(), "Kel3DFaceGP::BuildFans: Invalid fan lengths. No fan kept.\n");
  EXPECT_EQ(fans.GetNbFans(), 0);
  EXPECT_EQ(fans.GetNbVertexCoords(), 12);
}

TEST(Kel3DBoundingGP, ClearReleasesOnlyWhatWasMadeForTheCall) {
  // A face hands its own arrays out: Clear leaves them.
  Kel3DFaceGP face(kSquare, 12, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, nullptr, 0, nullptr);
  Tessellation own;
  own.Get(face);
  EXPECT_EQ(own.allocate, 0);
  EXPECT_EQ(own.v, face.GetVertexArray());
  own.Clear(face);
  EXPECT_EQ(face.GetVertexArray()[3], 2.0f);
  // Seven arrays made by Get; a leak or a double free shows under the sanitizers.
  OnDemandGP onDemand;
  Tessellation made;
  made.Get(onDemand);
  made.Clear(onDemand);
  EXPECT_EQ(made.v, nullptr);
  EXPECT_EQ(made.fal, nullptr);
  made.Clear(onDemand);
}

TEST(Kel3DPlanarFaceGP, DrawnOnlyWhenTheRenderSeesItsFront) {
  // Keeps what IsSeen was asked.
  struct FacingRender : KelRecordingRender {
    const float *point = nullptr, *normal = nullptr;
    int IsSeen(const float* p, const float* n) override {
      point = p, normal = n;
      return KelRecordingRender::IsSeen(p, n);
    }
  } render;
  const int strip[4] = {0, 3, 9, 6}, length[1] = {4};
  Kel3DPlanarFaceGP face(kSquare, 12, kUp, nullptr, 0, strip, 1, length, nullptr, 0, nullptr);
  face.Draw(render);
  render.seen = 0;
  face.Draw(render);
  EXPECT_EQ(render.Joined(), "IsSeen, Draw3DPlanarFace, IsSeen");
  EXPECT_EQ(render.point, face.GetVertexArray());
  ExpectXYZ(V(render.normal), 0, 0, 1);
}

TEST(Kel3DCylinderGP, BoundsBothCirclesAndRefusesMoreThan300Points) {
  const float points[12] = {2, 0, 0, 0, 2, 0, -2, 0, 0, 0, -2, 0}, origin[3] = {0, 0, 0};
  Kel3DCylinderGP cylinder(points, 4, kUp, 3.0f, origin, 2.0f);
  EXPECT_FLOAT_EQ(cylinder.GetInverseRadius(), 0.5f);
  ExpectXYZ(V(cylinder.GetBoxCenter()), 0, 0, 1.5f);
  ExpectXYZ(V(cylinder.GetBoxHalfExtents()), 2, 2, 1.5f);
  EXPECT_FLOAT_EQ(cylinder.GetSphereRadius(), std::sqrt(10.25f));

  std::vector<float> many(3 * 301, 1.0f);
  Kel3DCylinderGP tooMany(many.data(), 301, kUp, 1.0f, origin, 1.0f);
  EXPECT_EQ(tooMany.GetPoints(), nullptr);
  EXPECT_EQ(tooMany.GetSphereRadius(), 0.0f);
  Kel3DCylinderGP largest(many.data(), 300, kUp, 1.0f, origin, 1.0f);
  EXPECT_EQ(largest.GetNbPoints(), 300);
  ExpectXYZ(V(largest.GetBoxCenter()), 1, 1, 1.5f);
}

TEST(Kel3DLineGP, SharedPointsAreTheCallersAndAllocatedOnesACopy) {
  float points[6] = {0, 0, 0, 1, 2, 3};
  {
    Kel3DLineGP shared(points, 2, 0);
    Kel3DPolylineGP copied(points, 2, 1);
    Kelpoint3f objects[2] = {{1, 2, 3}, {4, 5, 6}};
    Kel3DMarkerGP marker(objects, 2, CLOUD_POINT_SYMBOL, 1);
    points[4] = 7.0f;
    objects[1].z = 60.0f;
    EXPECT_EQ(shared.GetPoints()[4], 7.0f);
    EXPECT_EQ(copied.GetPoints()[4], 2.0f);
    EXPECT_EQ(marker.GetPoints()[5], 6.0f);
  }
  // The shared line left the caller's array alone (a free of it fails under ASan).
  EXPECT_EQ(points[4], 7.0f);

  // No points: nothing copied.
  for (int n : {0, -4}) {
    EXPECT_EQ(Kel3DLineGP(points, n, 1).GetPoints(), nullptr);
    EXPECT_EQ(Kel3DMarkerGP(points, n, CLOUD_POINT_SYMBOL, 0).GetPoints(), nullptr);
  }
  EXPECT_EQ(Kel3DLineGP(static_cast<const float*>(nullptr), 3, 1).GetNbPoints(), 0);
  EXPECT_EQ(
      Kel3DMarkerGP(static_cast<const Kelpoint3f*>(nullptr), 3, DEFAULT_SYMBOL, 1).GetNbPoints(),
      0);
}

// A face of n vertices, vertex k at (k, 0, 0).
std::unique_ptr<Kel3DFaceGP> Row(int n) {
  std::vector<float> v(3 * static_cast<size_t>(n), 0.0f);
  for (int k = 0; k < n; ++k) v[3 * k] = float(k);
  return std::make_unique<Kel3DFaceGP>(v.data(), int(v.size()), nullptr, 0, nullptr, 0, nullptr, 0,
                                       nullptr, nullptr, 0, nullptr);
}

TEST(Kel3DEdgeGP, SharesTheFirstFacesVerticesAndCopiesItsIndices) {
  auto face = Row(4), other = Row(2);
  int indices[4] = {9, 6, 3, 0};
  Kel3DEdgeGP edge(face.get(), other.get(), indices, 4);
  indices[0] = 0;
  EXPECT_EQ(edge.GetVertices(), face->GetVertexArray());
  ASSERT_EQ(edge.GetNbIndices(), 4);
  EXPECT_EQ(edge.GetVertices()[edge.GetIndices()[0]], 3.0f);

  // 21846 indices: the first 21845 fit 16 bits of positions.
  auto wide = Row(21847);
  std::vector<int> many(21846);
  for (int i = 0; i < 21846; ++i) many[i] = 3 * i;
  CaptureStderr();
  Kel3DEdgeGP kept(wide.get(), nullptr, many.data(), 21846);
  EXPECT_EQ(GetCapturedStderr(),
            "Kel3DEdgeGP::Kel3DEdgeGP: Too many points. Maximum allowed=21845 Taking maximal "
            "number.\n");
  ASSERT_EQ(kept.GetNbIndices(), 21844);
  EXPECT_EQ(kept.GetIndices()[21843], 3 * 21843);
  const int highest[2] = {0, 65535};
  EXPECT_EQ(Kel3DEdgeGP(wide.get(), nullptr, highest, 2).GetNbIndices(), 2);
}

TEST(Kel3DEdgeGP, RefusedConstructionsLeaveAnEmptyEdge) {
  auto face = Row(4);  // positions 0, 3, 6, 9
  auto wide = Row(21847);
  OnDemandGP onDemand;
  Kel3DCylinderGP cylinder;  // its vertices are computed by the render
  const std::string prefix = "Kel3DEdgeGP::Kel3DEdgeGP: ";
  struct Case {
    Kel3DBoundingGP *first, *second;
    std::vector<int> indices;
    int count;
    std::string message;  // start of it
  } cases[] = {
      {face.get(), nullptr, {0, 3}, 1, "Invalid parameters."},
      {nullptr, face.get(), {0, 3}, 2, "Invalid parameters."},
      {face.get(), nullptr, {}, 2, "Invalid parameters."},
      {&onDemand, nullptr, {0, 3}, 2, "Cannot share data on a GP that allocates it's tesselation"},
      {face.get(), nullptr, {0, -3, 3}, 3, "Invalid index -3"},
      {face.get(), nullptr, {0, 12, 3}, 3, "Invalid index 12"},  // past the last vertex
      {face.get(), nullptr, {0, 10, 3}, 3, "Invalid index 10"},  // runs past the array
      {face.get(), nullptr, {0, 4, 3}, 3, "Invalid index 4"},    // not a vertex
      {&cylinder, nullptr, {0, 3}, 2, "Invalid index 0"},
      // A vertex of the face, but 65538 would wrap to 2 in 16 bits.
      {wide.get(), nullptr, {65535, 65538}, 2, "Invalid index 65538 at position 1 for a face of"},
  };
  for (const Case& c : cases) {
    CaptureStderr();
    Kel3DEdgeGP edge(c.first, c.second, c.indices.empty() ? nullptr : c.indices.data(), c.count);
    EXPECT_EQ(GetCapturedStderr().rfind(prefix + c.message, 0), 0u) << c.message;
    EXPECT_EQ(edge.GetNbIndices(), 0);
    EXPECT_EQ(edge.GetIndices(), nullptr);
    EXPECT_EQ(edge.GetVertices(), nullptr);
  }
  // The on-demand face's array was released: LeakSanitizer checks it.
}

// ---- Deferred destruction under the primitive lock, and bags.

using keltest::NamedGP;
using Names = std::vector<std::string>;

// Releases another primitive from its destructor, as a Rep does with its GPs.
class ReleasingGP : public NamedGP {
 public:
  ReleasingGP(std::string name, KelGraphicPrimitive* other)
      : NamedGP(std::move(name)), _other(other) {}
  ~ReleasingGP() override { KelGraphicPrimitive::Destroy(_other); }

 private:
  KelGraphicPrimitive* _other;
};

class KelGraphicPrimitiveTest : public ::testing::Test {
 protected:
  void SetUp() override { NamedGP::deleted.clear(); }
  void TearDown() override {
    // Every test leaves the process-wide state as it found it.
    EXPECT_EQ(KelGraphicPrimitive::_nb_lock, 0);
    EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Count(), 0);
  }
};

TEST_F(KelGraphicPrimitiveTest, LockedDestructionWaitsForTheLastUnlockInRequestOrder) {
  KelGraphicPrimitive::Destroy(new NamedGP("now"));
  KelGraphicPrimitive::Destroy(nullptr);
  EXPECT_EQ(NamedGP::deleted, Names{"now"});

  auto* twice = new NamedGP("twice");
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Destroy(new NamedGP("a"));
  KelGraphicPrimitive::Destroy(twice);
  KelGraphicPrimitive::Destroy(twice);  // parked once
  KelGraphicPrimitive::Destroy(nullptr);
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(NamedGP::deleted, Names{"now"});
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(NamedGP::deleted, (Names{"now", "a", "twice"}));
}

TEST_F(KelGraphicPrimitiveTest, UnbalancedUnlockDoesNotDisableTheNextLock) {
  KelGraphicPrimitive::Unlock();
  KelGraphicPrimitive::Unlock();
  // A counter left below 0 would make this Lock() leave deletion immediate.
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Destroy(new NamedGP("a"));
  EXPECT_TRUE(NamedGP::deleted.empty());
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(NamedGP::deleted, Names{"a"});
}

TEST_F(KelGraphicPrimitiveTest, ParkedPrimitiveReleasingAnotherOnDeletion) {
  auto* inner = new NamedGP("inner");
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Destroy(new ReleasingGP("outer", inner));
  KelGraphicPrimitive::Destroy(new NamedGP("last"));
  KelGraphicPrimitive::Unlock();
  // "outer" logs itself after its destructor body has released "inner".
  EXPECT_EQ(NamedGP::deleted, (Names{"inner", "outer", "last"}));
}

TEST_F(KelGraphicPrimitiveTest, BagDrawsInOrderAndDeletesItsChildrenEvenWhenLocked) {
  KelGraphicPrimitive* children[3] = {new NamedGP("a"), new NamedGP("b"), new NamedGP("c")};
  auto* bag = new KelBagGP(3, children);
  children[0] = children[1] = children[2] = nullptr;  // the bag copied the pointers
  KelRecordingRender render;
  bag->Draw(render);
  EXPECT_EQ(render.Joined(), "Draw a, Draw b, Draw c");
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Delete(bag);
  EXPECT_EQ(NamedGP::deleted, (Names{"a", "b", "c"}));
  KelGraphicPrimitive::Unlock();
}

}  // namespace

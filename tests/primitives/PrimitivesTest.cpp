// The primitives. 3D faces, planar faces, edges and cylinders: boxes, refused
// parts, the tessellation protocol and the visibility of planar faces; edges
// share their first face's vertices, and constructions that could make them
// read outside those are refused; who owns the points of lines, polylines and
// markers. Deferred destruction under the primitive lock, and bags.
// Screen-sized 3D primitives. The 2D arcs, curve and arrowheads.
#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/framework/Kelvector3f.h>
#include <kel/primitives/Kel2DArcCircleGP.h>
#include <kel/primitives/Kel2DArrowSymbolGP.h>
#include <kel/primitives/Kel2DCurveGP.h>
#include <kel/primitives/Kel3DArcCircleGP.h>
#include <kel/primitives/Kel3DBoundingGP.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DFixedArrowGP.h>
#include <kel/primitives/Kel3DFixedPlanGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelBagGP.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel2DViewport.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

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

TEST(Kel3DBoundingGP, ClearReleasesWhatWasMadeForTheCallOnce) {
  // Seven arrays made by Get; a leak or a double free shows under the sanitizers.
  // (A face's own arrays, handed out and left by Clear: the surfacic Rep's merge.)
  OnDemandGP onDemand;
  Tessellation made;
  made.Get(onDemand);
  made.Clear(onDemand);
  EXPECT_EQ(made.v, nullptr);
  EXPECT_EQ(made.fal, nullptr);
  made.Clear(onDemand);
}

// (The point and normal it shows the render: the closed solids of the
// reference pictures, whose front faces would go.)
TEST(Kel3DPlanarFaceGP, DrawnOnlyWhenTheRenderSeesItsFront) {
  KelRecordingRender render;
  const int strip[4] = {0, 3, 9, 6}, length[1] = {4};
  Kel3DPlanarFaceGP face(kSquare, 12, kUp, nullptr, 0, strip, 1, length, nullptr, 0, nullptr);
  face.Draw(render);
  render.seen = 0;
  face.Draw(render);
  EXPECT_EQ(render.Joined(), "IsSeen, Draw3DPlanarFace, IsSeen");
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

// ---- Screen-sized 3D primitives: fixed arrow, fixed plan, arc of circle and
// annotation text, drawn at fixed scales and through a moving conic camera.

constexpr double kPi = KelMath::PI;
using ScreenRender = KelCameraRender;

float Distance(const float* a, const float* b) {
  return (Kelpoint3f(a) - Kelpoint3f(b)).Norm();
}
float PixelDistance(const Kelpoint2f& a, const Kelpoint2f& b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// The one polyline a primitive draws afresh (none when it draws none or more).
std::vector<float> Outline(KelGraphicPrimitive& gp, ScreenRender& render) {
  render.polylines.clear();
  gp.Draw(render);
  return render.polylines.size() == 1 ? render.polylines[0] : std::vector<float>();
}

TEST(ScreenSizedArrow, EndOnDrawsNothing) {
  const Keldirection3f diagonal(1, 1, 1);
  const Keldirection3f sights[] = {Keldirection3f(1, 0, 0), Keldirection3f(-1, 0, 0), -diagonal};
  const Keldirection3f directions[] = {Keldirection3f(1, 0, 0), Keldirection3f(1, 0, 0), diagonal};
  for (int k = 0; k < 3; ++k) {
    Kel3DFixedArrowGP arrow(Kelpoint3f(), directions[k], 10, 2);
    arrow.AssociateText("X");
    ScreenRender render;
    const Kel3DViewpoint camera(Kelpoint3f(0, 0, 50), sights[k], Keldirection3f(0, 0, 1), 1.0f,
                                1000.0f, CONIC_PROJECTION, 50.0f);
    const long errors = KelMath::ErrorCount();
    arrow.ImmediateDraw(render, &camera, nullptr);
    EXPECT_TRUE(render.polylines.empty()) << k;
    EXPECT_TRUE(render.texts.empty()) << k;
    EXPECT_EQ(KelMath::ErrorCount(), errors) << "no null side direction reported";
  }
}

TEST(ScreenSizedArrow, KeepsItsMillimetresWhenTheCameraMovesAway) {
  Kel3DFixedArrowGP arrow(Kelpoint3f(1, 2, 3), Keldirection3f(1, 0, 0), 10, 5);
  arrow.AssociateText("first");
  arrow.AssociateText("X");  // the first copy is freed
  for (float distance : {20.0f, 200.0f, 2000.0f}) {
    ScreenRender render;
    render.LookFrom(distance);
    const std::vector<float> p = Outline(arrow, render);
    ASSERT_EQ(p.size(), 18u);
    // From the origin along +x: 10 mm of shaft and 4 pixels per millimetre,
    // 40 pixels to the tip, 20 to the head base; barbs 1 mm off the axis, the
    // label 3 mm on the side d x e = (1, 0, 0) x (0, 0, -1) = (0, 1, 0).
    ExpectXYZ(Kelpoint3f(p.data()), 1, 2, 3);
    EXPECT_GT(p[9], p[0]);
    EXPECT_NEAR(PixelDistance(render.Pixel(&p[0]), render.Pixel(&p[9])), 40.0f, 0.05f) << distance;
    EXPECT_NEAR(PixelDistance(render.Pixel(&p[0]), render.Pixel(&p[3])), 20.0f, 0.05f);
    EXPECT_NEAR(PixelDistance(render.Pixel(&p[3]), render.Pixel(&p[6])), 4.0f, 0.05f);
    ASSERT_EQ(render.texts.size(), 1u);
    EXPECT_EQ(render.texts[0].text, "X");
    EXPECT_GT(render.texts[0].position[1], p[4]);
    EXPECT_NEAR(PixelDistance(render.Pixel(&p[3]), render.Pixel(render.texts[0].position.data())),
                12.0f, 0.05f);
  }
}

TEST(ScreenSizedPlan, SquareOfFixedMillimetres) {
  // Sides along x and y: corners on the diagonals (1, 1) and (1, -1).
  Kel3DFixedPlanGP plan(Kelpoint3f(1, 1, 1), Keldirection3f(1, 0, 0), Keldirection3f(0, 1, 0),
                        10.0f);
  ScreenRender render(2.0f);  // one millimetre is 2 model units
  const std::vector<float> p = Outline(plan, render);
  ASSERT_EQ(p.size(), 15u);
  const float c[3] = {1, 1, 1}, s = 10.0f / std::sqrt(2.0f);
  for (int k = 0; k < 5; ++k) EXPECT_NEAR(Distance(&p[3 * k], c), 10.0f, 1e-5) << k;
  for (int k : {0, 1, 3}) EXPECT_NEAR(p[k], 1 + s, 1e-5);
  EXPECT_NEAR(p[4], 1 - s, 1e-5);
  EXPECT_EQ(std::vector<float>(p.begin(), p.begin() + 3),
            std::vector<float>(p.begin() + 12, p.end()))
      << "the outline is closed";
  // Millimetres through a moving camera: the arrow test above.
}

// Angle of a point of the arc about (1, 2, 3) in the xy plane, in [0, 2pi).
double AngleOf(const float* p) {
  double a = std::atan2(p[1] - 2.0, p[0] - 1.0);
  return a < 0 ? a + 2 * kPi : a;
}

TEST(ScreenSizedArc, AnglesAndFrame) {
  const float centre[3] = {1, 2, 3}, z[3] = {0, 0, 1}, x[3] = {1, 0, 0};
  // An end before the start, or a negative start, is moved up a turn.
  EXPECT_NEAR(Kel3DArcCircleGP(centre, z, x, 1.0f, 3.0f, 1.0f).GetEnd(), 1.0 + 2 * kPi, 1e-12);
  EXPECT_NEAR(Kel3DArcCircleGP(centre, z, x, 1.0f, -1.0f, 1.0f).GetStart(), -1.0 + 2 * kPi, 1e-12);

  // From 350 to 10 degrees: 20 degrees through 0. At a null sag a turn is 250
  // segments: int(0.349066 * 250 / 2pi + 0.5) = 14 points.
  const float start = float(350 * kPi / 180), end = float(10 * kPi / 180);
  Kel3DArcCircleGP arc(centre, z, x, 2.0f, start, end);
  ScreenRender render;
  const std::vector<float> p = Outline(arc, render);
  ASSERT_EQ(p.size(), 3u * 14u);
  EXPECT_NEAR(AngleOf(&p[0]), 350 * kPi / 180, 1e-5);
  EXPECT_NEAR(AngleOf(&p[3 * 13]), 10 * kPi / 180, 1e-5);
  int passed = 0;
  for (int k = 0; k < 14; ++k) {
    EXPECT_NEAR(Distance(&p[3 * k], centre), 2.0f, 1e-5);
    if (k > 0 && p[3 * k + 1] >= 2.0f && p[3 * k - 2] < 2.0f) ++passed;
  }
  EXPECT_EQ(passed, 1) << "crosses angle 0 once";

  // Angle 0 along the axis, growing towards normal x axis: with normal x and
  // axis y, a quarter turn points along z.
  const float y[3] = {0, 1, 0};
  Kel3DArcCircleGP upright(centre, x, y, 2.0f, float(kPi / 2), float(kPi));
  const std::vector<float> q = Outline(upright, render);
  ASSERT_FALSE(q.empty());
  EXPECT_NEAR(Distance(&q[0], std::vector<float>{1, 2, 5}.data()), 0.0f, 1e-5);
  EXPECT_NEAR(q[q.size() - 2], 0.0f, 1e-4) << "half a turn: along -y";
}

TEST(ScreenSizedArc, SegmentCountsAndDegenerateArcs) {
  const float centre[3] = {0, 0, 0}, z[3] = {0, 0, 1}, x[3] = {1, 0, 0};
  // Finest cut: 250 segments per turn, a full turn gives 250 points, first on last.
  Kel3DArcCircleGP circle(centre, z, x, 1.0f, 0.0f, float(2 * kPi));
  ScreenRender render;
  const std::vector<float> p = Outline(circle, render);
  ASSERT_EQ(p.size(), 3u * 250u);
  EXPECT_NEAR(Distance(&p[0], &p[3 * 249]), 0.0f, 1e-4);
  EXPECT_NEAR(Distance(&p[0], &p[3]), 2 * std::sin(kPi / 249), 1e-5);

  // Ten full turns draw the circle once.
  Kel3DArcCircleGP wound(centre, z, x, 1.0f, 0.0f, float(20 * kPi));
  EXPECT_EQ(wound.ComputePointCount(0.0), 250);

  // 0.01 radian: int(0.4 + 0.5) = 0 points.
  Kel3DArcCircleGP tiny(centre, z, x, 1.0f, 0.0f, 0.01f);
  EXPECT_TRUE(Outline(tiny, render).empty());

  // No radius, or a sag beyond the diameter (whose 1 - s/r has no arc cosine):
  // nothing, and no runaway point count.
  Kel3DArcCircleGP flat(centre, z, x, 0.0f, 0.0f, 3.0f);
  Kel3DArcCircleGP inverted(centre, z, x, -1.0f, 0.0f, 3.0f);
  flat.Draw(render);
  inverted.Draw(render);
  EXPECT_TRUE(render.polylines.empty());
  EXPECT_EQ(circle.ComputePointCount(5.0), 1);
  EXPECT_EQ(circle.ComputePointCount(std::nan("")), 250);

  Kel3DArcCircleGP small(centre, z, x, 0.001f, 0.0f, float(2 * kPi));
  ScreenRender camera;
  camera.LookFrom(100.0f);  // tolerated sag about 0.21, 200 radii
  small.Draw(camera);
  EXPECT_TRUE(camera.polylines.empty());
}

// ---- The 2D primitives of the model: arcs of circle (normalised angles,
// tessellation to the tolerance, clipping to the view's rectangle), the
// adaptive curve, and arrowheads of fixed millimetre size (how they look is
// checked against reference pictures by the 2D drawing tests).

const float kOrigin[2] = {0, 0};

// The intervals as start, end, start, end ...
std::vector<double> Clip(const Kel2DArcCircleGP& arc, const Kel2DViewport& view) {
  double s[Kel2DArcCircleGP::MAX_INTERVALS], e[Kel2DArcCircleGP::MAX_INTERVALS];
  std::vector<double> out;
  for (int i = 0, k = arc.ClipRectangle(&view, s, e); i < k; ++i)
    out.insert(out.end(), {s[i], e[i]});
  return out;
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-5) << i;
}

TEST(Arc2D, PointsOnTheCircleAtEveryTolerance) {
  const float centre[2] = {1, 2};
  const Kel2DArcCircleGP arc(centre, 10.0f, 0.0f, 6.2831855f, 0);
  float p[2 * Kel2DArcCircleGP::MAX_POINTS];
  // Finest: 4 units a segment, 250 steps over a turn, and the end point.
  ASSERT_EQ(arc.ComputePoints(0.0, 2 * kPi, 1e-9, p), 252);
  EXPECT_EQ(std::vector<float>(p, p + 2), (std::vector<float>{11, 2}));
  EXPECT_EQ(std::vector<float>(p + 502, p + 504), (std::vector<float>{11, 2}));
  // A sag of r (1 - cos(pi / 20)): segments of pi / 10, a half turn in 10.
  EXPECT_EQ(arc.ComputePoints(0.0, kPi, 10.0 * (1.0 - std::cos(kPi / 20)), p), 12);
  // Whatever the tolerance, past the diameter too: points on the circle,
  // from the start to the end.
  for (double s = 0.01; s < 30.0; s *= 1.37) {
    const int n = arc.ComputePoints(0.3, 2.9, s, p);
    ASSERT_GE(n, 2) << s;
    for (int i = 0; i < n; ++i) {
      const double dx = p[2 * i] - 1.0, dy = p[2 * i + 1] - 2.0;
      EXPECT_NEAR(std::hypot(dx, dy), 10.0, 1e-4) << s << " " << i;
      EXPECT_LE(std::atan2(dy, dx), 2.9 + 1e-3) << s << " " << i;
    }
  }
  EXPECT_EQ(Kel2DArcCircleGP(centre, 0.0f, 0.0f, 1.0f, 0).ComputePoints(0.0, 1.0, 0.1, p), 0);
  EXPECT_EQ(Kel2DArcCircleGP(centre, -1.0f, 0.0f, 1.0f, 0).ComputePoints(0.0, 1.0, 0.1, p), 0);
}

TEST(Arc2D, AStartBeyondATurnDrawsItsArc) {
  // Start 7, end 8: from 0.7168 to 1.7168, units 114 to 273, 39 steps.
  Kel2DArcCircleGP arc(kOrigin, 10.0f, 7.0f, 8.0f, 0);
  KelRecordingRender render;
  arc.ImmediateDraw(render, nullptr, nullptr);
  EXPECT_EQ(render.Joined(), "ImmediateDraw2DPolyline 41");
  const std::vector<float>& p = render.shapes2D.at(0).points;
  for (size_t i = 0; i < p.size(); i += 2) {
    EXPECT_GE(std::atan2(p[i + 1], p[i]), 7.0 - 2 * kPi - 1e-5) << i;
    EXPECT_LE(std::atan2(p[i + 1], p[i]), 8.0 - 2 * kPi + 1e-5) << i;
  }
}

TEST(Arc2D, ClippedToTheViewQuadrantByQuadrant) {
  const Kel2DArcCircleGP circle(kOrigin, 10.0f, 0.0f, 6.2831855f, 0);
  const Kel2DArcCircleGP disc(kOrigin, 10.0f, 0.0f, 6.2831855f, 1);
  const double a = std::acos(0.8);
  // The first quadrant's view; a band through the centre; a square whose
  // corners stick out, one piece about each diagonal.
  ExpectNear(Clip(circle, Kel2DViewport(0, 20, 0, 20)), {0, kPi / 2});
  ExpectNear(Clip(circle, Kel2DViewport(-5, 5, -20, 20)),
             {kPi / 3, 2 * kPi / 3, 4 * kPi / 3, 5 * kPi / 3});
  ExpectNear(Clip(circle, Kel2DViewport(-8, 8, -8, 8)),
             {a, kPi / 2 - a, kPi / 2 + a, kPi - a, kPi + a, 3 * kPi / 2 - a, 3 * kPi / 2 + a,
              2 * kPi - a});
  // Inside the circle an outline shows nothing, a disc all of itself.
  EXPECT_TRUE(Clip(circle, Kel2DViewport(-1, 1, -1, 1)).empty());
  ExpectNear(Clip(disc, Kel2DViewport(-1, 1, -1, 1)), {0, 2 * kPi});
  EXPECT_TRUE(Clip(disc, Kel2DViewport(11, 20, -5, 5)).empty());
  // An arc over the start of the turn, seen in the first quadrant.
  const Kel2DArcCircleGP wrapping(kOrigin, 10.0f, float(3 * kPi / 2), float(kPi / 2), 0);
  ExpectNear(Clip(wrapping, Kel2DViewport(0, 20, 0, 20)), {0, kPi / 2});
}

// The adaptive curve. The indices of the points drawn, in drawing order (point i is (i, i^2)).
std::vector<int> Drawn(Kel2DCurveGP& curve, float zoom) {
  // One pixel a millimetre: the render's tolerance is 0.5 / zoom.
  Kel2DViewpoint camera(Kelpoint2f(0, 0), zoom);
  KelRecordingRender render;
  render.immediate = 1;
  render.LookThrough(camera, 100, 100, 1);
  curve.Draw(render);
  render.EndDraw(camera);
  std::vector<int> indices;
  for (const auto& shape : render.shapes2D)
    for (size_t i = 0; i < shape.points.size(); i += 2) {
      EXPECT_EQ(shape.points[i + 1], shape.points[i] * shape.points[i]);
      indices.push_back(int(shape.points[i]));
    }
  return indices;
}

std::vector<float> Points(int n) {
  std::vector<float> p;
  for (int i = 0; i < n; ++i) p.insert(p.end(), {float(i), float(i * i)});
  return p;
}

TEST(Curve2D, RefusesCountsThatDoNotMatchItsPoints) {
  const std::vector<float> p = Points(10);
  const int fives[2] = {5, 5}, empty[2] = {10, 0};
  testing::internal::CaptureStderr();
  Kel2DCurveGP wrongSum(0.01f, 2, 10, fives, p.data());
  Kel2DCurveGP emptySegment(0.01f, 2, 10, empty, p.data());
  Kel2DCurveGP noCounts(0.01f, 2, 9, nullptr, p.data());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel2DCurveGP::Kel2DCurveGP: Invalid function parameters.\n"
            "Kel2DCurveGP::Kel2DCurveGP: Invalid function parameters.\n"
            "Kel2DCurveGP::Kel2DCurveGP: Invalid function parameters.\n");
  for (Kel2DCurveGP* c : {&wrongSum, &emptySegment, &noCounts}) {
    EXPECT_EQ(c->GetNbPoints(), 0);
    EXPECT_TRUE(Drawn(*c, 5).empty());
  }
  Kel2DCurveGP none(0.01f, 0, 0, nullptr, nullptr);
  EXPECT_TRUE(Drawn(none, 5).empty());
  // No tolerance of its own: always every point.
  Kel2DCurveGP untoleranced(0.0f, 2, 9, fives, p.data());
  EXPECT_EQ(Drawn(untoleranced, 1e-3f).size(), 9u);
}

// Arrowheads.
const float kAt[2] = {3, 4};

struct Drawing {
  std::string log;
  std::vector<KelRecordingRender::Shape2D> shapes;
};

// Drawn where one millimetre is half a model unit.
Drawing DrawnHalfUnit(KelDynamicGP& gp) {
  KelRecordingRender render;
  render.SetModelPerPixel(0.5f);
  gp.ImmediateDraw(render, nullptr, nullptr);
  return {render.Joined(), render.shapes2D};
}

// How the four arrowheads look, in four directions: the 2D drawing tests'
// reference picture.
TEST(ArrowSymbol2D, NoDirectionIsReportedAndTakenAsXAndOtherSymbolsDrawNothing) {
  // Head 4 mm = 2 units long, half-angle pi / 4: barbs 2 units off the axis.
  const float none[2] = {0, 0};
  Kel2DArrowSymbolGP lost(kAt, none, 4.0f, float(KelMath::PI / 4), HOLLOW_TRIANGLE_ARROW_SYMBOL);
  const long errors = KelMath::ErrorCount();
  const Drawing hollow = DrawnHalfUnit(lost);
  EXPECT_EQ(KelMath::ErrorCount(), errors + 1);
  EXPECT_THAT(hollow.shapes.at(1).points, keltest::Near({1, 2, 3, 4, 1, 6}, 1e-5f));

  const float up[2] = {0, 3};
  for (SymbolType t : {FILLED_SQUARE_SYMBOL, SymbolType(10)}) {
    Kel2DArrowSymbolGP other(kAt, up, 4.0f, 0.5f, t);
    EXPECT_EQ(DrawnHalfUnit(other).log, "") << t;
  }
}

}  // namespace

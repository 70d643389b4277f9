#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/picking/KelPickingRender.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <cmath>
#include <memory>
#include <vector>

#include "PickingTestScene.h"

namespace {

constexpr float kEps = 1e-4f;
constexpr unsigned char kFaces = 0x30;  // element kind 3
constexpr unsigned char kNotPickable = KelGraphicAttributeSet::NOT_PICKABLE;
constexpr unsigned char kHidden = KelGraphicAttributeSet::TEMPORY_HIDDEN;

KelGraphicAttributeSet Flags(unsigned char flags) {
  KelGraphicAttributeSet a;
  a.flags = flags;
  return a;
}

using keltest::SquareFace;

Kel4x4Matrix Translation(float x, float y, float z) {
  return Kel4x4Matrix(Kelvector3f(x, y, z));
}

class PickingRenderTest : public ::testing::Test {
 protected:
  PickingRenderTest() : camera(keltest::TopCamera()) { support.SetCullingPrecision(0); }
  ~PickingRenderTest() override {
    hits.Reset();
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) delete *it;
  }

  GPLeaf& Leaf(std::vector<KelGraphicPrimitive*> gps, Kelpoint3f centre = Kelpoint3f(0, 0, 0),
               float radius = 3.0f, unsigned char flags = 0) {
    auto* leaf = new GPLeaf({}, centre, radius);
    leaf->SetGraphicAttributeSet(Flags(flags));
    leaf->gps = std::move(gps);
    owned.push_back(leaf);
    return *leaf;
  }
  Kel3DBagRep& Bag(std::vector<Kel3DRep*> children, const Kel4x4Matrix* m = nullptr) {
    auto* bag = new Kel3DBagRep;
    if (m) bag->SetMatrix(*m);
    for (Kel3DRep* c : children) bag->AddChild(*c);
    owned.push_back(bag);
    return *bag;
  }
  void Show(Kel3DRep& rep) { camera->AddRep(&rep); }
  void ShowOnly(Kel3DRep& rep) {
    camera->GetRepList().Free();
    Show(rep);
  }

  int Pick(float x = 100.0f, float y = 100.0f, int size = 5) {
    return keltest::Pick(support, *camera, hits, x, y, size);
  }
  KelPickPath& HitAt(int i) { return keltest::HitAt(hits, i); }

  keltest::TestSupport support{200, 200};
  std::unique_ptr<Kel3DViewpoint> camera;
  KelPickPathList hits;
  std::vector<Kel3DRep*> owned;
};

// Point or direction.
template <class V>
void Expect3(const V& p, float x, float y, float z, float eps = kEps) {
  EXPECT_NEAR(p.x, x, eps);
  EXPECT_NEAR(p.y, y, eps);
  EXPECT_NEAR(p.z, z, eps);
}

TEST_F(PickingRenderTest, FaceHitKeepsTheNearestTriangleAndPicksBackFaces) {
  // Two squares in one face, at z = 0 and z = 1, the upper one listed first
  // and wound clockwise seen from the eye (a back face).
  const float v[24] = {-1, -1, 1, -1, 1,  1, 1, 1, 1, 1,  -1, 1,
                       -1, -1, 0, 1,  -1, 0, 1, 1, 0, -1, 1,  0};
  const int t[12] = {0, 3, 6, 0, 6, 9, 12, 15, 18, 12, 18, 21};
  GPLeaf& leaf =
      Leaf({new Kel3DFaceGP(v, 24, nullptr, 0, t, 4, nullptr, 0, nullptr, nullptr, 0, nullptr)},
           Kelpoint3f(0, 0, 0), 3.0f, kFaces);
  Show(leaf);
  ASSERT_EQ(Pick(), 1);
  KelPickPath& hit = HitAt(0);
  EXPECT_NEAR(hit.GetDeep(), DepthAt(1.0f), 1e-6f);
  Expect3(hit.GetIntersection(), 0, 0, 1);
  Expect3(hit.GetNormal(), 0, 0, -1);  // the back face's own normal
  EXPECT_EQ(hit.GetDimension(), 2.0f);
  EXPECT_EQ(hit.GetZBuffer(), 1);
  EXPECT_EQ(hit.GetTopRep(), &leaf);
  EXPECT_EQ(hit.GetViewpoint(), camera.get());
  EXPECT_EQ(Pick(100.0f + 1.5f / PixelAt(1.0f), 100.0f), 0);
}

TEST_F(PickingRenderTest, FansStripsAndPlanarFaceNormal) {
  // A fan and a strip side by side at z = 0: x in [-2, 0] and [0, 2].
  const float v[18] = {-2, -1, 0, 0, -1, 0, 0, 1, 0, -2, 1, 0, 2, -1, 0, 2, 1, 0};
  const int fan[4] = {0, 3, 6, 9};
  const int fanLength[1] = {4};
  const int strip[4] = {3, 12, 6, 15};
  const int stripLength[1] = {4};
  Show(Leaf(
      {new Kel3DFaceGP(v, 18, nullptr, 0, nullptr, 0, strip, 1, stripLength, fan, 1, fanLength)}));
  const float px = PixelAt(0.0f);
  // Both triangles of the strip, and the fan, give the same upward normal.
  for (float x : {-1.5f, 0.7f, 1.7f}) {
    ASSERT_EQ(Pick(100.0f + x / px, 100.0f + 0.5f / px), 1) << x;
    Expect3(HitAt(0).GetIntersection(), x, -0.5f, 0.0f, 1e-3f);
    Expect3(HitAt(0).GetNormal(), 0, 0, 1);
  }

  // A planar face hands its own normal over, whatever its winding.
  const float n[3] = {0.0f, 0.0f, 2.0f};
  const float w[9] = {-1, -1, 2, -1, 1, 2, 1, 0, 2};
  const int t[3] = {0, 3, 6};
  ShowOnly(Leaf({new Kel3DPlanarFaceGP(w, 9, n, t, 1, nullptr, 0, nullptr, nullptr, 0, nullptr)}));
  ASSERT_EQ(Pick(), 1);
  Expect3(HitAt(0).GetNormal(), 0, 0, 1);
  EXPECT_NEAR(HitAt(0).GetDeep(), DepthAt(2.0f), 1e-6f);
}

TEST_F(PickingRenderTest, TriangleTestRequiresDepthStrictlyBetweenThePlanes) {
  KelPickingRender render(support, 5, 100.0f, 100.0f, hits);
  render.BeginDraw(*camera);
  const Kelpoint3f n = render.GetNearPoint();
  Expect3(n, 0, 0, 9);
  Expect3(render.GetFarPoint(), 0, 0, -90, 1e-3f);
  // A triangle around the near point, in the near plane: t = 0.
  const float a[3] = {n.x - 1, n.y - 1, n.z}, b[3] = {n.x + 1, n.y - 1, n.z},
              c[3] = {n.x, n.y + 1, n.z};
  EXPECT_EQ(render.PickTriangle3D(a, b, c, nullptr), 0);
  // The ray along the triangle's plane, and a triangle beyond the far plane.
  const float e[3] = {0, -1, 5}, f[3] = {0, 1, 5}, g[3] = {0, 0, -5};
  EXPECT_EQ(render.PickTriangle3D(e, f, g, nullptr), 0);
  const float h[3] = {-1, -1, -95}, i[3] = {1, -1, -95}, j[3] = {0, 1, -95};
  EXPECT_EQ(render.PickTriangle3D(h, i, j, nullptr), 0);
  EXPECT_EQ(render.GetCurrentPath()->GetDeep(), 1.0f);
  render.EndDraw(*camera);
}

TEST_F(PickingRenderTest, LineCrossingTheSquareIsPickedAtItsClippedMiddle) {
  const float seg[12] = {0.05f, -5, 0, 0.05f, 5, 0,   // crosses the square, no end inside
                         3,     -5, 0, 3,     5, 0};  // wholly outside
  Show(Leaf({new Kel3DLineGP(seg, 4, 1)}));
  ASSERT_EQ(Pick(), 1);
  KelPickPath& hit = HitAt(0);
  Expect3(hit.GetIntersection(), 0.05f, 0.0f, 0.0f, 1e-3f);
  Expect3(hit.GetNormal(), 0, 1, 0);  // the tangent stands for the normal
  EXPECT_EQ(hit.GetDimension(), 1.0f);
  EXPECT_EQ(hit.GetZBuffer(), 0);
  // The square is 5 pixels on each side of the cursor: a line 6 pixels away
  // is missed, one 4 pixels away is not.
  const float px = PixelAt(0.0f);
  const float side[12] = {6 * px, -5, 0, 6 * px, 5, 0, 4 * px, -5, 0, 4 * px, 5, 0};
  ShowOnly(Leaf({new Kel3DLineGP(side, 2, 1)}));
  EXPECT_EQ(Pick(), 0);
  Show(Leaf({new Kel3DPolylineGP(side + 6, 2, 1)}));
  ASSERT_EQ(Pick(), 1);
  EXPECT_NEAR(HitAt(0).GetIntersection().x, 4 * px, 1e-4f);
}

TEST_F(PickingRenderTest, MarkerPointsAndPickSquareSize) {
  const float px = PixelAt(0.0f);
  // The first point is 7 pixels off, the second 4.5 pixels off along x.
  const float points[6] = {7 * px, 0, 0, 4.5f * px, 0, 0};
  Show(Leaf({new Kel3DMarkerGP(points, 2, DEFAULT_SYMBOL, 1)}));
  ASSERT_EQ(Pick(100, 100, 5), 1);
  KelPickPath& hit = HitAt(0);
  Expect3(hit.GetIntersection(), 4.5f * px, 0, 0);
  EXPECT_EQ(hit.GetDimension(), 0.0f);
  EXPECT_NEAR(hit.GetDeep(), DepthAt(0.0f), 1e-6f);
  EXPECT_EQ(Pick(100, 100, 4), 0);
  EXPECT_EQ(Pick(100, 100, 8), 1);  // stops at the first point hit
  Expect3(HitAt(0).GetIntersection(), 7 * px, 0, 0);
}

TEST_F(PickingRenderTest, EdgeSegmentsOfAFace) {
  // An edge along the face's vertices (-2, 0) -> (2, 0) -> (2, 0.2).
  const float v[12] = {-2, 0, 0, 2, 0, 0, 2, 0.2f, 0, -2, 0.2f, 0};
  const int t[6] = {0, 3, 6, 0, 6, 9};
  auto* face = new Kel3DFaceGP(v, 12, nullptr, 0, t, 2, nullptr, 0, nullptr, nullptr, 0, nullptr);
  const int along[3] = {0, 3, 6};
  Show(Leaf({new Kel3DEdgeGP(face, nullptr, along, 3), face}));
  ASSERT_EQ(Pick(), 2);
  // Segments are taken from the last: (2, 0.2) -> (2, 0) is missed, then
  // (2, 0) -> (-2, 0) is hit, its tangent pointing from the later point.
  EXPECT_EQ(HitAt(0).GetDimension(), 1.0f);
  Expect3(HitAt(0).GetTangent(), -1, 0, 0);
  Expect3(HitAt(0).GetIntersection(), 0, 0, 0, 1e-3f);
  EXPECT_EQ(HitAt(1).GetDimension(), 2.0f);
  // Half a unit above: the edge and the face are both missed.
  EXPECT_EQ(Pick(100.0f, 100.0f - 0.5f / PixelAt(0.0f)), 0);
}

Kel3DCylinderGP* CylinderAlongX(int n) {
  // Circle in the plane x = -2 of radius 1, one point at the top (z = 1).
  std::vector<float> p(3 * n);
  for (int i = 0; i < n; ++i) {
    const double a = KelMath::PI / 2 + 2 * KelMath::PI * i / n;
    p[3 * i] = -2;
    p[3 * i + 1] = static_cast<float>(std::cos(a));
    p[3 * i + 2] = static_cast<float>(std::sin(a));
  }
  const float direction[3] = {1, 0, 0}, base[3] = {-2, 0, 0};
  return new Kel3DCylinderGP(p.data(), n, direction, 4.0f, base, 1.0f);
}

TEST_F(PickingRenderTest, CylinderSideAndCaps) {
  Show(Leaf({CylinderAlongX(12)}));
  ASSERT_EQ(Pick(), 1);
  Expect3(HitAt(0).GetIntersection(), 0, 0, 1);
  EXPECT_NEAR(HitAt(0).GetDeep(), DepthAt(1.0f), 1e-6f);
  // Standing along z: the ray meets the top cap, whose normal is the axis.
  const float p[12] = {1, 0, -1, 0, 1, -1, -1, 0, -1, 0, -1, -1};
  const float up[3] = {0, 0, 1}, base[3] = {0, 0, -1};
  ShowOnly(Leaf({new Kel3DCylinderGP(p, 4, up, 2.0f, base, 1.0f)}));
  ASSERT_EQ(Pick(), 1);
  Expect3(HitAt(0).GetIntersection(), 0, 0, 1);
  Expect3(HitAt(0).GetNormal(), 0, 0, 1);
  // 300 points is what a cylinder primitive holds at most.
  ShowOnly(Leaf({CylinderAlongX(300)}));
  testing::internal::CaptureStdout();
  ASSERT_EQ(Pick(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  Expect3(HitAt(0).GetIntersection(), 0, 0, 1);
}

TEST_F(PickingRenderTest, PathsThroughBagsCarryTheirMatrices) {
  // outer: moved down 3; inner: scaled by 2 about the origin, then moved by
  // (2, 0, 0); the leaf's square lies at local (-1, 0, 1.5) -> world (0, 0, 0).
  const Kel4x4Matrix down = Translation(0, 0, -3);
  const Kel4x4Matrix inner(Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2),
                           Kelvector3f(2, 0, 0));
  GPLeaf& leaf = Leaf({SquareFace(-1, 0, 1.5f, 0.5f)}, Kelpoint3f(-1, 0, 1.5f), 1.0f, kFaces);
  Kel3DBagRep& in = Bag({&leaf}, &inner);
  Kel3DBagRep& out = Bag({&in}, &down);
  GPLeaf& sibling = Leaf({SquareFace(0, 0, -1, 1)}, Kelpoint3f(0, 0, -1), 2.0f, kFaces);
  Show(out);
  Show(sibling);
  ASSERT_EQ(Pick(), 2);
  KelPickPath& hit = HitAt(0);
  ASSERT_EQ(hit.Size(), 3);
  EXPECT_EQ(hit.GetRep(0), &out);
  EXPECT_EQ(hit.GetRep(1), &in);
  EXPECT_EQ(hit.GetRep(2), &leaf);
  Expect3(hit.GetIntersection(), -1, 0, 1.5f);
  Expect3(hit.GetGlobalIntersection(), 0, 0, 0);
  Expect3(hit.GetGlobalNormal(), 0, 0, 1);
  EXPECT_NEAR(hit.GetDeep(), DepthAt(0.0f), 1e-5f);  // depth does not change with the frame
  // The sibling after the bags is seen in the world frame again.
  ASSERT_EQ(HitAt(1).Size(), 1);
  Expect3(HitAt(1).GetIntersection(), 0, 0, -1);
}

TEST_F(PickingRenderTest, NotPickableHiddenAndInsensitiveRepsGiveNothing) {
  GPLeaf& aid = Leaf({SquareFace(0, 0, 0, 1)}, Kelpoint3f(0, 0, 0), 2.0f, kNotPickable);
  Show(aid);
  EXPECT_EQ(Pick(), 0);
  EXPECT_EQ(aid.drawn, 0);
  // The same flag on a bag hides its whole subtree from the pick.
  camera->RemoveRep(&aid);
  GPLeaf& leaf = Leaf({SquareFace(0, 0, 0, 1)}, Kelpoint3f(0, 0, 0), 2.0f);
  Kel3DBagRep& bag = Bag({&leaf});
  bag.SetGraphicAttributeSet(Flags(kNotPickable));
  Show(bag);
  EXPECT_EQ(Pick(), 0);
  bag.SetGraphicAttributeSet(Flags(0));
  leaf.SetGraphicAttributeSet(Flags(kHidden));
  EXPECT_EQ(Pick(), 0);
  leaf.SetGraphicAttributeSet(Flags(0));
  ASSERT_EQ(Pick(), 1);
  leaf.onDraw = [](KelRender& r) { r.SetSensitivity(0); };
  EXPECT_EQ(Pick(), 0);
}

TEST_F(PickingRenderTest, SmallLeafWhollyInsideIsPickedAtItsCentre) {
  support.SetCullingPrecision(2);  // the leaf is too small to be drawn
  const float px = PixelAt(0.0f);
  // Its face would be missed by the ray: only the whole-leaf pick can hit.
  GPLeaf& small = Leaf({SquareFace(2 * px, 0, 0, 0.1f * px)}, Kelpoint3f(2 * px, 0, 0), 0.5f * px);
  Show(small);
  ASSERT_EQ(Pick(), 1);
  EXPECT_EQ(small.drawn, 0);
  KelPickPath& hit = HitAt(0);
  Expect3(hit.GetIntersection(), 2 * px, 0, 0);
  EXPECT_EQ(hit.GetDimension(), 0.0f);
  EXPECT_NEAR(hit.GetDeep(), DepthAt(0.0f), 1e-6f);
  // Normal from the near point (0, 0, 9) to the point.
  const float len = std::sqrt(4 * px * px + 81.0f);
  Expect3(hit.GetNormal(), 2 * px / len, 0, -9.0f / len);
  // Crossing the square's side: tested primitive by primitive (and missed).
  camera->RemoveRep(&small);
  Show(Leaf({SquareFace(4.5f * px, 0, 0, 0.1f * px)}, Kelpoint3f(4.5f * px, 0, 0), 3 * px));
  EXPECT_EQ(Pick(), 0);
  // A bag wholly inside is descended.
  camera->RemoveRep(static_cast<Kel3DRep*>(owned.back()));
  support.SetCullingPrecision(0);
  GPLeaf& leaf = Leaf({SquareFace(0, 0, 0, px)}, Kelpoint3f(0, 0, 0), 1.5f * px, kFaces);
  Show(Bag({&leaf}));
  ASSERT_EQ(Pick(), 1);
  EXPECT_EQ(leaf.drawn, 1);
  EXPECT_EQ(HitAt(0).GetDimension(), 2.0f);  // the face, not the volume
}

TEST_F(PickingRenderTest, EmptyVolumeIsNeverPicked) {
  auto* empty = new GPLeaf;
  empty->ResetBoundingElement();  // empty, centre (0, 0, 0), radius 1
  empty->gps.push_back(SquareFace(0, 0, 0, 1));
  owned.push_back(empty);
  Show(*empty);
  EXPECT_EQ(Pick(), 0);
  // The same for the sub-element form.
  GPLeaf& leaf = Leaf({}, Kelpoint3f(0, 0, 0), 3.0f);
  leaf.onDraw = [](KelRender& r) {
    r.IsDrawable(KelGraphicAttributeSet(), Kel3DBoundingSphere(), 2);
  };
  Show(leaf);
  EXPECT_EQ(Pick(), 0);
}

TEST_F(PickingRenderTest, SubElementsAreRecordedAndForgottenByTheNextRep) {
  const float px = PixelAt(0.0f);
  auto* face = SquareFace(0, 0, 0, 1);
  GPLeaf& surface = Leaf({}, Kelpoint3f(0, 0, 0), 3.0f, kFaces);
  surface.onDraw = [&](KelRender& r) {
    const float far[3] = {10, 10, 0};
    const float centre[3] = {0, 0, 0};
    const float tiny[3] = {2 * px, 0, 0};
    const KelGraphicAttributeSet a = Flags(kFaces);
    // Sub-element 0 lies outside, 1 crosses the square, 2 is wholly inside.
    EXPECT_EQ(r.IsDrawable(a, far, 1.0f, 0), 0);
    if (r.IsDrawable(a, centre, 1.5f, 1)) face->Draw(r);
    EXPECT_EQ(r.IsDrawable(a, tiny, 0.5f * px, 2), 0);
  };
  GPLeaf& plain = Leaf({SquareFace(0, 0, -1, 1)}, Kelpoint3f(0, 0, -1), 2.0f, kFaces);
  Show(surface);
  Show(plain);
  ASSERT_EQ(Pick(), 3);
  EXPECT_EQ(HitAt(0).GetCurrentSubElement(), 1);
  EXPECT_EQ(HitAt(0).GetDimension(), 2.0f);
  EXPECT_EQ(HitAt(1).GetCurrentSubElement(), 2);
  EXPECT_EQ(HitAt(1).GetDimension(), 0.0f);
  EXPECT_EQ(HitAt(2).GetTopRep(), &plain);
  EXPECT_EQ(HitAt(2).GetCurrentSubElement(), -1);
  KelGraphicPrimitive::Destroy(face);
}

TEST_F(PickingRenderTest, FurtiveRepsAreMarked) {
  Show(Leaf({SquareFace(0, 0, 0, 1)}));
  GPLeaf& furtive = Leaf({SquareFace(0, 0, 1, 1)});
  camera->AddFurtiveRep(&furtive);
  ASSERT_EQ(Pick(), 2);
  EXPECT_EQ(HitAt(0).GetFurtive(), 0);
  EXPECT_EQ(HitAt(1).GetTopRep(), &furtive);
  EXPECT_EQ(HitAt(1).GetFurtive(), 1);
}

class CountingDynamicGP : public KelDynamicGP {
 public:
  void ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                     const KelViewport* viewport) override {
    ++calls;
    seenViewpoint = viewpoint == render.GetViewpoint();
    seenViewport = viewport == render.GetViewport();
    const float line[6] = {-1, 0, 0, 1, 0, 0};
    render.ImmediateDraw3DPolyline(line, 2);
  }
  int calls = 0;
  bool seenViewpoint = false, seenViewport = false;
};

TEST_F(PickingRenderTest, DynamicPrimitivesDrawAtOnceWithTheRenderCopies) {
  auto* dynamic = new CountingDynamicGP;
  Show(Leaf({dynamic}));
  ASSERT_EQ(Pick(), 1);
  EXPECT_EQ(dynamic->calls, 1);
  EXPECT_TRUE(dynamic->seenViewpoint);
  EXPECT_TRUE(dynamic->seenViewport);
}

}  // namespace

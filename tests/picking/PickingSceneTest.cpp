#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>
#include <kel/picking/KelPickingRender.h>
#include <kel/primitives/Kel3DAnnotationTextGP.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DPointRep.h>
#include <kel/reps/KelSurfacicRep.h>

#include <cmath>
#include <vector>

#include "PickingTestScene.h"

namespace {

using keltest::ExpectXYZ;
using keltest::SquareFace;
constexpr unsigned char kFaces = 0x30;  // element kind 3
const float kPx = PixelAt(0.0f);        // one pixel at z = 0

Kel3DFaceGP* Face(std::vector<float> v, std::vector<int> t) {
  return new Kel3DFaceGP(v.data(), int(v.size()), nullptr, 0, t.data(), int(t.size() / 3), nullptr,
                         0, nullptr, nullptr, 0, nullptr);
}
// A circle of radius 1 in the plane x = -2, one point at the top (z = 1),
// along x over 4.
Kel3DCylinderGP* CylinderAlongX(int n) {
  std::vector<float> p(3 * n);
  for (int i = 0; i < n; ++i) {
    const double a = KelMath::PI / 2 + 2 * KelMath::PI * i / n;
    p[3 * i] = -2, p[3 * i + 1] = float(std::cos(a)), p[3 * i + 2] = float(std::sin(a));
  }
  const float direction[3] = {1, 0, 0}, base[3] = {-2, 0, 0};
  return new Kel3DCylinderGP(p.data(), n, direction, 4.0f, base, 1.0f);
}

class Picking : public PickScene<Kel3DViewpoint, Kel3DRep> {
 protected:
  Picking() : PickScene(keltest::TopCamera()) {}
  GPLeaf* Leaf(std::vector<KelGraphicPrimitive*> gps, Kelpoint3f centre = Kelpoint3f(0, 0, 0),
               float radius = 3.0f, unsigned char flags = 0) {
    auto* leaf = Own(new GPLeaf(std::move(gps), centre, radius));
    leaf->Flags(flags);
    return leaf;
  }
  Kel3DBagRep* Bag(std::vector<Kel3DRep*> children, const Kel4x4Matrix* m = nullptr) {
    auto* bag = Own(new Kel3DBagRep);
    if (m) bag->SetMatrix(*m);
    for (Kel3DRep* c : children) bag->AddChild(*c);
    return bag;
  }
};

TEST_F(Picking, FacesKeepTheNearestTriangleWithTheNormalItFaces) {
  // Two squares in one face, at z = 0 and z = 1, the upper one listed first
  // and wound clockwise seen from the eye: its own normal points down.
  Show(Leaf({Face({-1, -1, 1, -1, 1,  1, 1, 1, 1, 1,  -1, 1,  //
                   -1, -1, 0, 1,  -1, 0, 1, 1, 0, -1, 1,  0},
                  {0, 3, 6, 0, 6, 9, 12, 15, 18, 12, 18, 21})},
            Kelpoint3f(0, 0, 0), 3.0f, kFaces));
  ASSERT_EQ(Pick(), 1);
  EXPECT_THAT(Seen(HitAt(0)), Near({DepthAt(1), 0, 0, 1, 2}));
  ExpectXYZ(HitAt(0).GetNormal(), 0, 0, -1);
  EXPECT_EQ(HitAt(0).GetZBuffer(), 1);

  // Fans and strips, and misses: depths and points against brute force in the
  // oracle test.
  // A planar face hands its own normal over, whatever its winding.
  const float n[3] = {0.0f, 0.0f, 2.0f}, w[9] = {-1, -1, 2, -1, 1, 2, 1, 0, 2};
  const int t[3] = {0, 3, 6};
  ShowOnly(Leaf({new Kel3DPlanarFaceGP(w, 9, n, t, 1, nullptr, 0, nullptr, nullptr, 0, nullptr)}));
  ASSERT_EQ(Pick(), 1);
  EXPECT_THAT(Seen(HitAt(0)), Near({DepthAt(2), 0, 0, 2, 2}));
  ExpectXYZ(HitAt(0).GetNormal(), 0, 0, 1);

  // The ray, from (0, 0, 9) to (0, 0, -90), never meets a triangle in the
  // near plane (t = 0), one it runs along, or one beyond the far plane.
  KelPickingRender render(support, 5, 100.0f, 100.0f, hits);
  render.BeginDraw(*camera);
  const float a[3] = {-1, -1, 9}, b[3] = {1, -1, 9}, c[3] = {0, 1, 9};
  const float e[3] = {0, -1, 5}, f[3] = {0, 1, 5}, g[3] = {0, 0, -5};
  const float h[3] = {-1, -1, -95}, i[3] = {1, -1, -95}, j[3] = {0, 1, -95};
  EXPECT_EQ(render.PickTriangle3D(a, b, c, nullptr) + render.PickTriangle3D(e, f, g, nullptr) +
                render.PickTriangle3D(h, i, j, nullptr),
            0);
  render.EndDraw(*camera);
}

TEST_F(Picking, LinesMarkersAndEdgesWithinThePickSquare) {
  // A segment crossing the square with no end inside, one wholly outside: the
  // first is picked at its clipped middle, its tangent standing for the normal.
  const float seg[12] = {0.05f, -5, 0, 0.05f, 5, 0, 3, -5, 0, 3, 5, 0};
  Show(Leaf({new Kel3DLineGP(seg, 4, 1)}));
  ASSERT_EQ(Pick(), 1);
  EXPECT_THAT(Seen(HitAt(0)), Near({DepthAt(0), 0.05f, 0, 0, 1}, 1e-3f));
  ExpectXYZ(HitAt(0).GetNormal(), 0, 1, 0);
  EXPECT_EQ(HitAt(0).GetZBuffer(), 0);
  // The square is 5 pixels on each side of the cursor: a line 6 pixels away
  // is missed, one 4 pixels away is not.
  const float side[12] = {6 * kPx, -5, 0, 6 * kPx, 5, 0, 4 * kPx, -5, 0, 4 * kPx, 5, 0};
  ShowOnly(Leaf({new Kel3DLineGP(side, 2, 1)}));
  EXPECT_EQ(Pick(), 0);
  Show(Leaf({new Kel3DPolylineGP(side + 6, 2, 1)}));
  ASSERT_EQ(Pick(), 1);
  EXPECT_NEAR(HitAt(0).GetIntersection().x, 4 * kPx, 1e-4f);

  // Marker points 7 and 4.5 pixels off along x; the pick stops at the first hit.
  const float points[6] = {7 * kPx, 0, 0, 4.5f * kPx, 0, 0};
  ShowOnly(Leaf({new Kel3DMarkerGP(points, 2, DEFAULT_SYMBOL, 1)}));
  ASSERT_EQ(Pick(100, 100, 5), 1);
  EXPECT_THAT(Seen(HitAt(0)), Near({DepthAt(0), 4.5f * kPx, 0, 0, 0}));
  EXPECT_EQ(Pick(100, 100, 4), 0);
  ASSERT_EQ(Pick(100, 100, 8), 1);
  EXPECT_NEAR(HitAt(0).GetIntersection().x, 7 * kPx, 1e-4f);

  // An edge along the face's vertices (-2, 0) -> (2, 0) -> (2, 0.2): segments
  // are taken from the last, so the hit's tangent points from the later point.
  Kel3DFaceGP* face = Face({-2, 0, 0, 2, 0, 0, 2, 0.2f, 0, -2, 0.2f, 0}, {0, 3, 6, 0, 6, 9});
  const int along[3] = {0, 3, 6};
  ShowOnly(Leaf({new Kel3DEdgeGP(face, nullptr, along, 3), face}));
  ASSERT_EQ(Pick(), 2);
  EXPECT_THAT(Seen(HitAt(0)), Near({DepthAt(0), 0, 0, 0, 1}, 1e-3f));
  ExpectXYZ(HitAt(0).GetTangent(), -1, 0, 0);
  EXPECT_EQ(HitAt(1).GetDimension(), 2.0f);
  EXPECT_EQ(Pick(100.0f, 100.0f - 0.5f / kPx), 0) << "half a unit above: both missed";
}

TEST_F(Picking, CylinderSideAndCaps) {
  Show(Leaf({CylinderAlongX(12)}));
  ASSERT_EQ(Pick(), 1);
  EXPECT_THAT(Seen(HitAt(0)), Near({DepthAt(1), 0, 0, 1, 2}));
  // Standing along z: the ray meets the top cap, whose normal is the axis.
  const float p[12] = {1, 0, -1, 0, 1, -1, -1, 0, -1, 0, -1, -1};
  const float up[3] = {0, 0, 1}, base[3] = {0, 0, -1};
  ShowOnly(Leaf({new Kel3DCylinderGP(p, 4, up, 2.0f, base, 1.0f)}));
  ASSERT_EQ(Pick(), 1);
  ExpectXYZ(HitAt(0).GetIntersection(), 0, 0, 1);
  ExpectXYZ(HitAt(0).GetNormal(), 0, 0, 1);
  // 300 points is what a cylinder primitive holds at most.
  ShowOnly(Leaf({CylinderAlongX(300)}));
  testing::internal::CaptureStdout();
  ASSERT_EQ(Pick(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ExpectXYZ(HitAt(0).GetIntersection(), 0, 0, 1);
}

TEST_F(Picking, PathsThroughBagsCarryTheirMatrices) {
  // outer: moved down 3; inner: scaled by 2 about the origin, then moved by
  // (2, 0, 0); the leaf's square lies at local (-1, 0, 1.5) -> world (0, 0, 0).
  const Kel4x4Matrix down(Kelvector3f(0, 0, -3));
  const Kel4x4Matrix inner(Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2),
                           Kelvector3f(2, 0, 0));
  GPLeaf* leaf = Leaf({SquareFace(-1, 0, 1.5f, 0.5f)}, Kelpoint3f(-1, 0, 1.5f), 1.0f, kFaces);
  Kel3DBagRep* in = Bag({leaf}, &inner);
  Kel3DBagRep* out = Show(Bag({in}, &down));
  Show(Leaf({SquareFace(0, 0, -1, 1)}, Kelpoint3f(0, 0, -1), 2.0f, kFaces));
  ASSERT_EQ(Pick(), 2);
  KelPickPath& hit = HitAt(0);
  ASSERT_EQ(hit.Size(), 3);
  EXPECT_EQ(hit.GetRep(0), out);
  EXPECT_EQ(hit.GetRep(1), in);
  EXPECT_EQ(hit.GetRep(2), leaf);
  // The depth does not change with the frame.
  EXPECT_THAT(Seen(hit), Near({DepthAt(0), -1, 0, 1.5f, 2}));
  ExpectXYZ(hit.GetGlobalIntersection(), 0, 0, 0);
  ExpectXYZ(hit.GetGlobalNormal(), 0, 0, 1);
  // The sibling after the bags is seen in the world frame again.
  ASSERT_EQ(HitAt(1).Size(), 1);
  ExpectXYZ(HitAt(1).GetIntersection(), 0, 0, -1);
}

TEST_F(Picking, NotPickableHiddenInsensitiveAndEmptyRepsGiveNothing) {
  GPLeaf* aid = Show(Leaf({SquareFace(0, 0, 0, 1)}, Kelpoint3f(0, 0, 0), 2.0f,
                          KelGraphicAttributeSet::NOT_PICKABLE));
  EXPECT_EQ(Pick(), 0);
  EXPECT_EQ(aid->drawn, 0);
  // The same flag on a bag hides its whole subtree from the pick.
  GPLeaf* leaf = Leaf({SquareFace(0, 0, 0, 1)}, Kelpoint3f(0, 0, 0), 2.0f);
  Kel3DBagRep* bag = ShowOnly(Bag({leaf}));
  bag->SetGraphicAttributeSet(keltest::Look(253, KelGraphicAttributeSet::NOT_PICKABLE));
  EXPECT_EQ(Pick(), 0);
  bag->SetGraphicAttributeSet(keltest::Look(253));
  leaf->Flags(KelGraphicAttributeSet::TEMPORY_HIDDEN);
  EXPECT_EQ(Pick(), 0);
  leaf->Flags(0);
  ASSERT_EQ(Pick(), 1);
  leaf->onDraw = [](KelRender& r) { r.SetSensitivity(0); };
  EXPECT_EQ(Pick(), 0);
  // An empty volume, whole or as a sub-element.
  GPLeaf* empty = ShowOnly(Leaf({SquareFace(0, 0, 0, 1)}));
  empty->ResetBoundingElement();
  EXPECT_EQ(Pick(), 0);
  ShowOnly(Leaf({}))->onDraw = [](KelRender& r) {
    r.IsDrawable(KelGraphicAttributeSet(), Kel3DBoundingSphere(), 2);
  };
  EXPECT_EQ(Pick(), 0);
}

TEST_F(Picking, SmallLeafWhollyInsideIsPickedAtItsCentre) {
  support.SetCullingPrecision(2);  // the leaf is too small to be drawn
  // Its face would be missed by the ray: only the whole-leaf pick can hit.
  GPLeaf* small =
      Show(Leaf({SquareFace(2 * kPx, 0, 0, 0.1f * kPx)}, Kelpoint3f(2 * kPx, 0, 0), 0.5f * kPx));
  ASSERT_EQ(Pick(), 1);
  EXPECT_EQ(small->drawn, 0);
  EXPECT_THAT(Seen(HitAt(0)), Near({DepthAt(0), 2 * kPx, 0, 0, 0}));
  // Normal from the near point (0, 0, 9) to the point.
  const float len = std::sqrt(4 * kPx * kPx + 81.0f);
  ExpectXYZ(HitAt(0).GetNormal(), 2 * kPx / len, 0, -9.0f / len);
  // Crossing the square's side: tested primitive by primitive (and missed).
  ShowOnly(Leaf({SquareFace(4.5f * kPx, 0, 0, 0.1f * kPx)}, Kelpoint3f(4.5f * kPx, 0, 0), 3 * kPx));
  EXPECT_EQ(Pick(), 0);
  // A bag wholly inside is descended.
  support.SetCullingPrecision(0);
  GPLeaf* leaf = Leaf({SquareFace(0, 0, 0, kPx)}, Kelpoint3f(0, 0, 0), 1.5f * kPx, kFaces);
  ShowOnly(Bag({leaf}));
  ASSERT_EQ(Pick(), 1);
  EXPECT_EQ(leaf->drawn, 1);
  EXPECT_EQ(HitAt(0).GetDimension(), 2.0f) << "the face, not the volume";
}

TEST_F(Picking, SubElementsFurtiveRepsAndDynamicPrimitives) {
  KelGraphicPrimitive* face = Leaf({SquareFace(0, 0, 0, 1)})->gps[0];  // drawn by the surface
  GPLeaf* surface = Show(Leaf({}, Kelpoint3f(0, 0, 0), 3.0f, kFaces));
  surface->onDraw = [&](KelRender& r) {
    const float far[3] = {10, 10, 0}, centre[3] = {0, 0, 0}, tiny[3] = {2 * kPx, 0, 0};
    const KelGraphicAttributeSet a = keltest::Look(253, kFaces);
    // Sub-element 0 lies outside, 1 crosses the square, 2 is wholly inside.
    EXPECT_EQ(r.IsDrawable(a, far, 1.0f, 0), 0);
    if (r.IsDrawable(a, centre, 1.5f, 1)) face->Draw(r);
    EXPECT_EQ(r.IsDrawable(a, tiny, 0.5f * kPx, 2), 0);
  };
  GPLeaf* plain = Show(Leaf({SquareFace(0, 0, -1, 1)}, Kelpoint3f(0, 0, -1), 2.0f, kFaces));
  GPLeaf* furtive = Leaf({SquareFace(0, 0, 1, 1)});
  camera->AddFurtiveRep(furtive);
  ASSERT_EQ(Pick(), 4);
  const int subElements[4] = {1, 2, -1, -1}, dimensions[4] = {2, 0, 2, 2};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(HitAt(i).GetCurrentSubElement(), subElements[i]) << i;
    EXPECT_EQ(HitAt(i).GetDimension(), dimensions[i]) << i;
    EXPECT_EQ(HitAt(i).GetFurtive(), i == 3) << i;
  }
  EXPECT_EQ(HitAt(2).GetTopRep(), plain);

  // A dynamic primitive draws at once, with the render's copies of the camera.
  struct Dynamic : KelDynamicGP {
    bool sawCopies = false;
    void ImmediateDraw(KelRender& r, const KelViewpoint* v, const KelViewport* p) override {
      sawCopies = v == r.GetViewpoint() && p == r.GetViewport();
      const float line[6] = {-1, 0, 0, 1, 0, 0};
      r.ImmediateDraw3DPolyline(line, 2);
    }
  }* dynamic = new Dynamic;
  camera->RemoveFurtiveRep(furtive);
  ShowOnly(Leaf({dynamic}));
  ASSERT_EQ(Pick(), 1);
  EXPECT_TRUE(dynamic->sawCopies);
}

TEST_F(Picking, SurfaceSubElementsAndAPointWithoutExtent) {
  // A point Rep's sphere has no radius: picked as a whole.
  Show(Own(new Kel3DPointRep(Kelpoint3f(0.05f, 0, 0), DEFAULT_SYMBOL)));
  ASSERT_EQ(Pick(), 1);
  EXPECT_EQ(HitAt(0).GetIntersection(), Kelpoint3f(0.05f, 0, 0));

  // Faces and edges of a surface are sub-elements, faces first: the edge
  // through the ray, then the faces from near to far, although the Rep's own
  // attribute is of element kind 0.
  auto kind = [](unsigned char k) {
    return new KelGraphicAttributeSet(keltest::Look(253, k << 4));
  };
  auto* surface = ShowOnly(Own(new KelSurfacicRep));
  Kel3DFaceGP* low = SquareFace(0, 0, 0, 1);
  surface->AddGeomFace(low, kind(3));
  surface->AddGeomFace(SquareFace(0, 0, 1, 1), kind(3));
  const int across[2] = {0, 3}, diagonal[2] = {0, 6};  // away from the ray, through it
  surface->AddGeomEdge(new Kel3DEdgeGP(low, nullptr, across, 2), kind(0));
  surface->AddGeomEdge(new Kel3DEdgeGP(low, nullptr, diagonal, 2), kind(0));
  surface->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 0, -2), 4.0f, 0.0f));
  ASSERT_EQ(Pick(), 3);
  hits.SortGraphicAttributeSet();
  const int numbers[3] = {3, 1, 0};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(HitAt(i).GetCurrentSubElement(), numbers[i]) << i;
  EXPECT_EQ(HitAt(0).GetDimension(), 1.0f);
}

TEST_F(Picking, AnnotationTextFacesTheScreen) {
  // "AB" is 18 x 15 pixels in the default font.
  auto text = [&](float x, float y, AnchorPoint anchor) {
    const float at[3] = {x * kPx, y * kPx, 0.0f};
    ShowOnly(Leaf({new Kel3DAnnotationTextGP(at, "AB", anchor)}, Kelpoint3f(0, 0, 0), 1.0f));
    return Pick();
  };
  ASSERT_EQ(text(-10, -3, BOTTOM_LEFT), 1);
  EXPECT_NEAR(HitAt(0).GetDeep(), DepthAt(0.0f), 1e-6f);
  EXPECT_NEAR(HitAt(0).GetNormal().z, 1.0f, 1e-6f);
  EXPECT_EQ(text(1, -3, BOTTOM_LEFT), 0);  // starts right of the ray
  EXPECT_EQ(text(1, 1, TOP_RIGHT), 1);
  EXPECT_EQ(text(-1, 1, TOP_RIGHT), 0);  // ends left of the ray
  EXPECT_EQ(text(8.5f, 0, MIDDLE_CENTER), 1);
  EXPECT_EQ(text(9.5f, 0, MIDDLE_CENTER), 0);
}

}  // namespace

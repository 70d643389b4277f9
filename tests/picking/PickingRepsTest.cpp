#include <gtest/gtest.h>

#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/picking/KelPickingRender.h>
#include <kel/primitives/Kel3DAnnotationTextGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DCylinderRep.h>
#include <kel/reps/Kel3DLineRep.h>
#include <kel/reps/Kel3DPointRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>
#include <kel/reps/KelSurfacicRep.h>
#include <kel/viewers/KelCharacterFont.h>

#include <memory>
#include <vector>

#include "PickingTestScene.h"

namespace {

KelGraphicAttributeSet* Kind(unsigned char kind) {
  auto* a = new KelGraphicAttributeSet;
  a->flags = static_cast<unsigned char>(kind << 4);
  return a;
}

Kel3DFaceGP* Square(float h, float s) {
  return keltest::SquareFace(0, 0, h, s);
}

class PickingRepsTest : public ::testing::Test {
 protected:
  PickingRepsTest() : camera(keltest::TopCamera()) { support.SetCullingPrecision(0); }
  ~PickingRepsTest() override {
    hits.Reset();
    for (Kel3DRep* r : shown) r->Destroy();
  }
  template <class R>
  R& Show(R* rep) {
    camera->AddRep(rep);
    shown.push_back(rep);
    return *rep;
  }
  void Hide(Kel3DRep& rep) { camera->RemoveRep(&rep); }
  int Pick(float x = 100.0f, float y = 100.0f, int size = 5) {
    return keltest::Pick(support, *camera, hits, x, y, size);
  }
  KelPickPath& HitAt(int i) { return keltest::HitAt(hits, i); }

  keltest::TestSupport support{200, 200};
  std::unique_ptr<Kel3DViewpoint> camera;
  KelPickPathList hits;
  std::vector<Kel3DRep*> shown;
};

TEST_F(PickingRepsTest, SimpleReps) {
  // A cube of side 2 around the origin: its top and its bottom are hit, the
  // top first once sorted.
  Kel3DCuboidRep& cube = Show(new Kel3DCuboidRep(Kelpoint3f(-1, -1, -1), Kelvector3f(2, 0, 0),
                                                 Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2), 4));
  ASSERT_EQ(Pick(), 2);
  hits.SortGraphicAttributeSet();
  EXPECT_NEAR(HitAt(0).GetDeep(), DepthAt(1.0f), 1e-6f);
  EXPECT_NEAR(HitAt(0).GetNormal().z, 1.0f, 1e-5f);  // the side's outward normal
  EXPECT_NEAR(HitAt(1).GetDeep(), DepthAt(-1.0f), 1e-6f);
  EXPECT_NEAR(HitAt(1).GetNormal().z, -1.0f, 1e-5f);
  Hide(cube);

  Kel3DSimpleSphereRep& ball = Show(new Kel3DSimpleSphereRep(Kelpoint3f(0, 0, 0), 1.0f, 16));
  ASSERT_EQ(Pick(), 1);
  EXPECT_NEAR(HitAt(0).GetDeep(), DepthAt(1.0f), 1e-5f);  // at its pole
  Hide(ball);

  Kel3DLineRep& line = Show(new Kel3DLineRep(Kelpoint3f(-1, 0, 0.5f), Kelpoint3f(1, 0, 0.5f)));
  ASSERT_EQ(Pick(), 1);
  EXPECT_NEAR(HitAt(0).GetDeep(), DepthAt(0.5f), 1e-5f);
  Hide(line);

  // A point has no extent: wholly inside the square, it is picked as a whole.
  Kel3DPointRep& point = Show(new Kel3DPointRep(Kelpoint3f(0.05f, 0, 0), DEFAULT_SYMBOL));
  ASSERT_EQ(Pick(), 1);
  EXPECT_EQ(HitAt(0).GetIntersection(), Kelpoint3f(0.05f, 0, 0));
  Hide(point);

  // A cylinder lying along x, radius 1: the top of its side.
  Show(new Kel3DCylinderRep(Kelpoint3f(-2, 0, 0), Kelpoint3f(2, 0, 0), 1.0f));
  ASSERT_EQ(Pick(), 1);
  EXPECT_GT(HitAt(0).GetIntersection().z, 0.9f);
  EXPECT_LE(HitAt(0).GetIntersection().z, 1.0001f);
}

TEST_F(PickingRepsTest, SurfaceFacesAndEdgesAsSubElements) {
  auto* surface = new KelSurfacicRep;
  Kel3DFaceGP* low = Square(0.0f, 1.0f);
  surface->AddGeomFace(low, Kind(3));
  surface->AddGeomFace(Square(1.0f, 1.0f), Kind(3));
  const int across[2] = {0, 3};    // (-1, -1) -> (1, -1), away from the ray
  const int diagonal[2] = {0, 6};  // (-1, -1) -> (1, 1), through it
  surface->AddGeomEdge(new Kel3DEdgeGP(low, nullptr, across, 2), Kind(0));
  surface->AddGeomEdge(new Kel3DEdgeGP(low, nullptr, diagonal, 2), Kind(0));
  surface->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 0, -2), 4.0f, 0.0f));
  Show(surface);
  ASSERT_EQ(Pick(), 3);
  hits.SortGraphicAttributeSet();
  // The edge first, then the faces from near to far, although the Rep's own
  // attribute is of element kind 0.
  EXPECT_EQ(HitAt(0).GetCurrentSubElement(), 2 + 1);  // faces first, then edges
  EXPECT_EQ(HitAt(0).GetDimension(), 1.0f);
  EXPECT_EQ(HitAt(1).GetCurrentSubElement(), 1);
  EXPECT_EQ(HitAt(2).GetCurrentSubElement(), 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(HitAt(i).GetTopRep(), surface);
}

TEST_F(PickingRepsTest, AnnotationTextFacesTheScreen) {
  const float px = PixelAt(0.0f);
  // "AB" is 18 x 15 pixels in the default font.
  auto text = [&](float x, float y, AnchorPoint anchor) {
    for (Kel3DRep* r : shown) Hide(*r);
    auto* leaf = new GPLeaf({}, Kelpoint3f(0, 0, 0), 1.0f);
    const float at[3] = {x * px, y * px, 0.0f};
    leaf->gps.push_back(new Kel3DAnnotationTextGP(at, "AB", anchor));
    Show(leaf);
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

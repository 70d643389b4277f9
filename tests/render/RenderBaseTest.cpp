// The render's questions answered with a real camera, against numbers worked
// out by hand. Camera: keltest::TopCamera (eye (0, 0, 10) looking down -z,
// half angle 15 degrees) on a 100 x 100 pixel support of 1 pixel a millimetre.
//   scale factor = tan 15 / 50 = 0.00535898 model units per pixel at depth 1;
//   culling size = 2 pixels -> 0.0107180 at depth 1, 0.107180 at depth 10;
//   model sag = 0.5 pixel -> 0.00267949 at depth 1.
#include <gtest/gtest.h>

#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/render/KelRender.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>
#include <memory>

#include "KelTestScene.h"

namespace {

class Camera : public testing::Test {
 protected:
  std::unique_ptr<KelRender> Begin() {
    viewpoint->CreateViewportFrom(50, 50, 50, 50, 100, 100, 1, 1);
    auto render = std::make_unique<KelRender>(support);
    render->BeginDraw(*viewpoint);
    return render;
  }
  static Kel3DBoundingSphere Sphere(float x, float y, float z, float r) {
    return Kel3DBoundingSphere(Kelpoint3f(x, y, z), r, 0.0f);
  }

  keltest::TestSupport support{100, 100};
  std::unique_ptr<Kel3DViewpoint> viewpoint = keltest::TopCamera();
  Kel3DBagRep anchor;  // the Rep asking
  KelGraphicAttributeSet attributes;
};

TEST_F(Camera, VisibilityAgainstTheSidePlanes) {
  auto render = Begin();
  // At depth 10 the view reaches y = 10 tan 15 = 2.679; the side plane's
  // distance of (0, y, 0) is 0.96593 y - 2.5882.
  EXPECT_EQ(render->IsDrawable(attributes, Sphere(0, 3.0f, 0, 0.5f), anchor), 1);  // 0.31 < 0.5
  EXPECT_EQ(render->IsDrawable(attributes, Sphere(0, 3.5f, 0, 0.5f), anchor), 0);  // 0.79 > 0.5
  EXPECT_EQ(render->IsInside(Sphere(0, 0, 0, 0.5f)), 1);
  EXPECT_EQ(render->IsInside(Sphere(0, 2.5f, 0, 0.5f)), 0);

  // Hidden is never drawable, even in the middle of the view.
  KelGraphicAttributeSet hidden;
  hidden.flags = KelGraphicAttributeSet::TEMPORY_HIDDEN;
  EXPECT_EQ(render->IsDrawable(hidden, Sphere(0, 0, 0, 0.5f), anchor), 0);
}

TEST_F(Camera, CullingSizeGrowsWithDepth) {
  auto render = Begin();
  EXPECT_NEAR(render->Get3DModelCulling(Sphere(0, 0, 0, 1)), 0.107180f, 1e-5);
  EXPECT_EQ(render->IsToSmall(Sphere(0, 0, 0, 0.10f)), 1);
  EXPECT_EQ(render->IsToSmall(Sphere(0, 0, 0, 0.11f)), 0);
  // Radius 0 is a point: never too small; empty always is.
  EXPECT_EQ(render->IsToSmall(Sphere(0, 0, 0, 0.0f)), 0);
  EXPECT_EQ(render->IsToSmall(Kel3DBoundingSphere()), 1);
  // A volume with an infinite part is never too small.
  Kel3DBoundingSphere mixed = Sphere(0, 0, 0, 0.01f);
  Kel3DBoundingSphere infinite;
  infinite.SetInfinite();
  mixed += infinite;
  EXPECT_EQ(render->IsToSmall(mixed), 0);
}

// The level chosen for a sag, at its thresholds: the cylinder and surface
// tests, through a real camera.
TEST_F(Camera, SagGrowsWithDepthAndShrinksWithTheRadius) {
  auto render = Begin();
  // sag = 0.00267949 (10 + 1 (0.25 - 1)) = 0.0247853 for a unit sphere at the origin.
  const Kel3DBoundingSphere s = Sphere(0, 0, 0, 1);
  EXPECT_NEAR(render->Get3DModelSag(s), 0.0247853f, 1e-6);
  viewpoint->SetProjectionType(PARALLEL_PROJECTION);
  EXPECT_EQ(Begin()->Get3DModelSag(s), 0.0f);
}

TEST_F(Camera, BackFacesOfClosedVolumesOnlyAndNotUnderAClippingPlane) {
  auto render = Begin();
  const float point[3] = {0, 0, 0};
  const float towards[3] = {0, 0, 1}, away[3] = {0, 0, -1};
  EXPECT_EQ(render->IsSeen(point, away), 1) << "element kind 0: no back-face test";
  KelGraphicAttributeSet closed;
  closed.flags = 0x30;
  render->SetCurrentAttribute(closed);
  EXPECT_EQ(render->IsSeen(point, towards), 1);
  EXPECT_EQ(render->IsSeen(point, away), 0);

  support.AddClippingPlane(point, towards);
  auto clipped = Begin();
  clipped->SetCurrentAttribute(closed);
  EXPECT_EQ(clipped->IsSeen(point, away), 1);
}

TEST_F(Camera, PushedMatrixMovesTheCameraIntoTheLocalFrame) {
  // Translations move the planes and the eye as the culling stream tests
  // check (sixty deep, and lazily against wholly moved cameras).
  auto render = Begin();
  // Scaled by 2: the culling size in local units halves.
  Kel4x4Matrix twice(Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2),
                     Kelvector3f(0, 0, 0));
  KelRender* scaled = render->PushMatrix(twice);
  // Local eye at (0, 0, 5): 0.0107180 x 0.5 x 5.
  EXPECT_NEAR(scaled->Get3DModelCulling(Sphere(0, 0, 0, 1)), 0.026795f, 1e-5);
  render->PopMatrix(scaled);

  // A singular matrix is not inverted into a stale answer: the camera stays.
  Kel4x4Matrix flat(Kelvector3f(1, 0, 0), Kelvector3f(0, 1, 0), Kelvector3f(0, 0, 0),
                    Kelvector3f(0, 0, 0));
  KelRender* degenerate = render->PushMatrix(flat);
  EXPECT_EQ(degenerate->IsDrawable(attributes, Sphere(0, 0, 0, 0.5f), anchor), 1);
  render->PopMatrix(degenerate);
}

// A 2D camera at zoom 1 on the same support: one model unit a pixel and a
// millimetre, culling size 2.
TEST(Camera2D, BoxesCountTheirMillimetresAndPointsAreNeverTooSmall) {
  keltest::TestSupport support{100, 100};
  Kel2DViewpoint camera(Kelpoint2f(0, 0), 1.0f);
  camera.CreateViewportFrom(50, 50, 50, 50, 100, 100, 1, 1);
  KelRender render(support);
  render.BeginDraw(camera);
  EXPECT_EQ(render.IsToSmall(Kel2DBoundingBox(0, 1, 0, 1)), 1);
  EXPECT_EQ(render.IsToSmall(Kel2DBoundingBox(0, 2, 0, 1)), 0);
  Kel2DBoundingBox point(5, 5, 5, 5);
  EXPECT_EQ(render.IsToSmall(point), 0);
  // A symbol 1.5 millimetres about its point spans 3 pixels; 0.5 only 1.
  point.SetSizeMM(1.5f);
  EXPECT_EQ(render.IsToSmall(point), 0);
  point.SetSizeMM(0.5f);
  EXPECT_EQ(render.IsToSmall(point), 1);
  // Inside a bag shrunk by 4 a pixel is 4 local units: the millimetres too.
  Kel3x3Matrix quarter(Kelvector2f(0.25f, 0), Kelvector2f(0, 0.25f), Kelpoint2f(0, 0));
  KelRender* local = render.PushMatrix(quarter);
  EXPECT_FLOAT_EQ(local->GetMMFromModelRatio(), 4.0f);
  EXPECT_EQ(local->IsToSmall(Kel2DBoundingBox(0, 6, 0, 6)), 1);
  EXPECT_EQ(local->IsToSmall(point), 1);
  render.PopMatrix(local);
  render.EndDraw(camera);
}

}  // namespace

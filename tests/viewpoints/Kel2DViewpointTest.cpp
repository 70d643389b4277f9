// A window of 200 x 100 pixels at 4 pixels per millimetre (a pixel is 0.25 mm).
#include <gtest/gtest.h>

#include "KelTestScene.h"

#include <kel/framework/KelCallbackManager.h>
#include <kel/reps/Kel2DRep.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel2DViewport.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

namespace {

constexpr float kW = 200.0f, kH = 100.0f, kMM = 4.0f;

using Counter = keltest::EventCounter;

Kelpoint2f Model(const Kel2DViewpoint& v, float x, float y, float ratio = 1.0f) {
  Kelpoint2f m;
  v.ComputeModelFromPixel(x, y, m, kW, kH, kMM, ratio);
  return m;
}

Kelpoint2f Pixel(const Kel2DViewpoint& v, float X, float Y, float ratio = 1.0f) {
  Kelpoint2f p;
  v.ComputePixelFromModel(Kelpoint2f(X, Y), p, kW, kH, kMM, ratio);
  return p;
}

void ExpectRect(KelViewport* viewport, float xmin, float xmax, float ymin, float ymax) {
  float a, b, c, d;
  static_cast<Kel2DViewport*>(viewport)->GetParameter(&a, &b, &c, &d);
  EXPECT_NEAR(a, xmin, 1e-4f);
  EXPECT_NEAR(b, xmax, 1e-4f);
  EXPECT_NEAR(c, ymin, 1e-4f);
  EXPECT_NEAR(d, ymax, 1e-4f);
}

#define EXPECT_XY(p, ex, ey)         \
  do {                               \
    EXPECT_NEAR((p).x, (ex), 1e-4f); \
    EXPECT_NEAR((p).y, (ey), 1e-4f); \
  } while (0)

}  // namespace

TEST(Kel2DViewpoint, MillimetreZoom) {
  Kel2DViewpoint v(Kelpoint2f(3, 5), 2.0f);
  // The centre pixel shows the origin; 8 pixels are 2 mm, 1 unit at zoom 2.
  EXPECT_XY(Model(v, 100, 50), 3, 5);
  EXPECT_XY(Model(v, 108, 50), 4, 5);
  // Pixels twice as wide as high cover twice the width.
  EXPECT_XY(Model(v, 108, 50, 2.0f), 5, 5);
  // The horizontal ratio multiplies the zoom along x only.
  v.SetVerticalToHorizontalZoomRatio(2.0f);
  EXPECT_XY(Model(v, 108, 42), 3.5f, 6);
  EXPECT_XY(Pixel(v, 3.5f, 6), 108, 42);
  EXPECT_XY(Pixel(v, 5, 5, 2.0f), 116, 50);  // 2 units x 4 / (0.25 mm x 2)
  EXPECT_FLOAT_EQ(v.GetScaleFactor(kW, kH, kMM, 1.0f), 0.125f);

  // The 3D forms lie in the plane z = 0.
  Kelpoint3f P, Q;
  v.ComputeModelFromPixel(108, 42, P, Q, kW, kH, kMM, 1.0f);
  EXPECT_EQ(P, Q);
  EXPECT_XY(P, 3.5f, 6);
  EXPECT_EQ(P.z, 0.0f);
}

TEST(Kel2DViewpoint, WindowRelativeZooms) {
  Kel2DViewpoint v;
  v.SetZoomType(ZOOM_WINDOW_HEIGHT);  // half the height (50 pixels) is one unit
  EXPECT_XY(Model(v, 150, 0), 1, 1);
  EXPECT_XY(Pixel(v, -2, -1), 0, 100);

  v.SetZoomType(ZOOM_WINDOW_SIZE);  // half the width is one unit along x
  v.SetZoom(2.0f);
  EXPECT_XY(Model(v, 200, 0), 0.5f, 0.5f);
  EXPECT_XY(Pixel(v, -0.5f, -0.25f), 0, 75);

  // An unknown zoom type converts nothing.
  v.SetZoomType(static_cast<ViewpointZoomType>(7));
  Kelpoint2f m(9, 9);
  v.ComputeModelFromPixel(10, 10, m, kW, kH, kMM, 1.0f);
  EXPECT_XY(m, 9, 9);
  EXPECT_FLOAT_EQ(v.GetScaleFactor(kW, kH, kMM, 1.0f), 0.25f);
}

TEST(Kel2DViewpoint, AnchorsPinTheOriginToASideOrCorner) {
  Kel2DViewpoint v(Kelpoint2f(0, 0), 2.0f);
  v.SetAnchor(static_cast<Kel2DViewpoint::Anchor>(Kel2DViewpoint::LEFT | Kel2DViewpoint::TOP));
  EXPECT_XY(Model(v, 0, 0), 0, 0);
  EXPECT_XY(Model(v, 8, 8), 1, -1);
  v.SetAnchor(static_cast<Kel2DViewpoint::Anchor>(Kel2DViewpoint::RIGHT | Kel2DViewpoint::BOTTOM));
  EXPECT_XY(Model(v, 200, 100), 0, 0);
  EXPECT_XY(Pixel(v, -1, 1), 192, 92);
}

TEST(Kel2DViewpoint, ReframeOnFitsTheTighterSide) {
  Kel2DViewpoint v;
  Counter c(v);
  // At zoom 1 the window shows 50 x 25 mm; a box 10 wide and 20 high is limited by its height.
  v.ReframeOn(0, 10, 0, 20, kW, kH, kMM, 1.0f);
  EXPECT_FLOAT_EQ(v.GetZoom(), 1.25f);
  EXPECT_XY(v.GetOrigin(), 5, 10);
  EXPECT_EQ(c.count, 1);

  // The anchor's side of the box; the zoom bounds hold.
  v.SetAnchor(static_cast<Kel2DViewpoint::Anchor>(Kel2DViewpoint::LEFT | Kel2DViewpoint::BOTTOM));
  v.SetZoomBounds(2.0f, 10.0f);
  v.ReframeOn(10, 0, 20, 0, kW, kH, kMM, 1.0f);
  EXPECT_XY(v.GetOrigin(), 0, 0);
  EXPECT_FLOAT_EQ(v.GetZoom(), 2.0f);

  // A flat box changes nothing and says nothing.
  const int before = c.count;
  v.ReframeOn(3, 3, 0, 20, kW, kH, kMM, 1.0f);
  EXPECT_EQ(c.count, before);
  EXPECT_XY(v.GetOrigin(), 0, 0);
}

TEST(Kel2DViewpoint, ReframeOnStretchesWithTheWindowSizeZoom) {
  Kel2DViewpoint v;
  v.SetZoomType(ZOOM_WINDOW_SIZE);
  // The window shows 2 x 2 units; the box 10 x 20: ratio (2/10)/(2/20) = 2, zoom 2/20.
  v.ReframeOn(0, 10, 0, 20, kW, kH, kMM, 1.0f);
  EXPECT_FLOAT_EQ(v.GetVerticalToHorizontalZoomRatio(), 2.0f);
  EXPECT_FLOAT_EQ(v.GetZoom(), 0.1f);
  EXPECT_XY(Model(v, 200, 0), 10, 20);
}

TEST(Kel2DViewpoint, ReframeAddsTheMillimetreSizedParts) {
  Kel2DRep rep;
  Kel2DBoundingBox box(0, 10, 0, 20);
  box.SetSizeMM(4.0f);
  rep.SetBoundingElement(box);
  Kel2DViewpoint v;
  v.AddRep(&rep);
  Counter c(v);
  // First zoom 1.25 as above; 4 mm are then 16 pixels of 0.2 units: 3.2 on every
  // side. The grown box, 16.4 x 26.4, is limited by its height: 1.25 x 20 / 26.4.
  v.Reframe(kW, kH, kMM, 1.0f);
  EXPECT_NEAR(v.GetZoom(), 1.25f * 20.0f / 26.4f, 1e-5f);
  EXPECT_XY(v.GetOrigin(), 5, 10);
  EXPECT_EQ(c.count, 1);
}

TEST(Kel2DViewpoint, WindowViewportStaysInsideTheTranslationBounds) {
  Kel2DViewpoint v;
  Counter c(v);
  // Default bounds: the visible 50 x 25 mm around the origin.
  ExpectRect(v.CreateViewportFrom(100, 50, 100, 50, kW, kH, kMM, 1.0f), -25, 25, -12.5f, 12.5f);
  EXPECT_XY(v.GetOrigin(), 0, 0);

  v.SetTranslationBounds(0, 100, 0, 100);
  // A pick square never moves the origin.
  ExpectRect(v.CreateViewportFrom(100, 50, 2, 2, kW, kH, kMM, 1.0f), -0.5f, 0.5f, -0.5f, 0.5f);
  EXPECT_XY(v.GetOrigin(), 0, 0);
  // The window slides right and up into the bounds.
  ExpectRect(v.CreateViewportFrom(100, 50, 100, 50, kW, kH, kMM, 1.0f), 0, 50, 0, 25);
  EXPECT_XY(v.GetOrigin(), 25, 12.5f);

  // Past the top: slides down.
  v.SetOrigin(Kelpoint2f(50, 95));
  ExpectRect(v.CreateViewportFrom(100, 50, 100, 50, kW, kH, kMM, 1.0f), 25, 75, 75, 100);
  EXPECT_XY(v.GetOrigin(), 50, 87.5f);

  // Bounds narrower than the window: the origin goes to the anchor's place in them.
  v.SetTranslationBounds(0, 10, 0, 100);
  ExpectRect(v.CreateViewportFrom(100, 50, 100, 50, kW, kH, kMM, 1.0f), -20, 30, 75, 100);
  EXPECT_XY(v.GetOrigin(), 5, 87.5f);
  v.SetAnchor(Kel2DViewpoint::RIGHT);
  ExpectRect(v.CreateViewportFrom(100, 50, 100, 50, kW, kH, kMM, 1.0f), -40, 10, 75, 100);
  EXPECT_XY(v.GetOrigin(), 10, 87.5f);
  // SetOrigin and SetAnchor spoke; the viewports did not.
  EXPECT_EQ(c.count, 2);
}

TEST(Kel2DViewpoint, MovedIntoAScaledFrameTheCameraShowsTheSamePixels) {
  // A bag doubling its children: the render moves the camera by the inverse.
  const float half[2][2] = {{0.5f, 0}, {0, 0.5f}};
  const Kel3x3Matrix inverse(half, Kelpoint2f(0, 0));
  Kel2DViewpoint v(Kelpoint2f(4, 2), 1.0f);
  const Kelpoint2f world = Pixel(v, 6, 2);
  Kel2DViewpoint local(v);
  local *= inverse;
  EXPECT_XY(local.GetOrigin(), 2, 1);
  EXPECT_FLOAT_EQ(local.GetZoom(), 2.0f);
  EXPECT_XY(Pixel(local, 3, 1), world.x, world.y);
  EXPECT_FLOAT_EQ(local.GetInverseMatrix().GetScaling(), 2.0f);
  // A clone keeps what was accumulated.
  Kel2DViewpoint* clone = local.Clone();
  EXPECT_FLOAT_EQ(clone->GetMatrix().GetScaling(), 0.5f);
  delete clone;
}

TEST(Kel2DViewpoint, CopiesKeepTheCameraSettings) {
  Kel2DViewpoint v(Kelpoint2f(1, 2), 3.0f);
  v.SetTranslationBounds(-5, 5, -5, 5);
  v.SetZoomType(ZOOM_WINDOW_HEIGHT);
  v.SetVerticalToHorizontalZoomRatio(1.5f);
  v.SetAnchor(Kel2DViewpoint::TOP);

  float xmin, xmax, ymin, ymax;
  EXPECT_TRUE(Kel2DViewpoint(v).GetTranslationBounds(&xmin, &xmax, &ymin, &ymax));
  EXPECT_EQ(xmax, 5.0f);
  Kel2DViewpoint target;
  Counter c(target);
  target = v;
  EXPECT_EQ(c.count, 1);
  // Same settings, same pixels.
  EXPECT_XY(Pixel(target, 2, 3), Pixel(v, 2, 3).x, Pixel(v, 2, 3).y);
  EXPECT_EQ(target.GetAnchor(), Kel2DViewpoint::TOP);
  EXPECT_TRUE(target.GetTranslationBounds(&xmin, &xmax, &ymin, &ymax));

  testing::internal::CaptureStderr();
  target.SetViewport(KelViewport());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel2DViewpoint::SetViewport: Invalid function parameters.\n");
  target.SetViewport(Kel2DViewport(5, 1, 4, 2));
  ExpectRect(target.GetViewport(), 1, 5, 2, 4);
}

TEST(KelOverlayViewpoint, ModelUnitsArePixelsFromTheBottom) {
  KelOverlayViewpoint v;
  Counter c(v);
  Kelpoint3f P, Q;
  v.ComputeModelFromPixel(10, 0, P, Q, kW, kH, kMM, 1.0f);
  EXPECT_XY(P, 10, 100);
  EXPECT_EQ(P, Q);
  Kelpoint2f p;
  v.ComputePixelFromModel(Kelpoint3f(10, 100, 0), p, kW, kH, kMM, 1.0f);
  EXPECT_XY(p, 10, 0);
  EXPECT_XY(Pixel(v, 30, 60), 30, 40);
  ExpectRect(v.CreateViewportFrom(50, 20, 5, 5, kW, kH, kMM, 1.0f), 45, 55, 75, 85);

  // Fixed: no zoom, no bounds, no reframing.
  v.SetZoom(3.0f);
  v.SetZoomBounds(4.0f, 5.0f);
  v.Reframe(kW, kH, kMM, 1.0f);
  EXPECT_EQ(v.GetZoom(), 1.0f);
  EXPECT_EQ(c.count, 0);

  KelOverlayViewpoint* clone = v.Clone();
  EXPECT_XY(Pixel(*clone, 30, 60), 30, 40);
  delete clone;
}

// The 2D and overlay cameras in a window of 200 x 100 pixels at 4 pixels per
// millimetre (a pixel is 0.25 mm), and the events of every camera.
#include <gtest/gtest.h>

#include <kel/framework/KelCallbackManager.h>
#include <kel/reps/Kel2DRep.h>
#include <kel/viewers/KelTimeStampedEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel2DViewport.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelTestScene.h"

namespace {

constexpr float kW = 200.0f, kH = 100.0f, kMM = 4.0f;
using Counter = keltest::EventCounter;
using F = std::vector<float>;
using keltest::Near;

F Model(const Kel2DViewpoint& v, float x, float y, float ratio = 1.0f) {
  Kelpoint2f m;
  v.ComputeModelFromPixel(x, y, m, kW, kH, kMM, ratio);
  return {m.x, m.y};
}
F Pixel(const Kel2DViewpoint& v, float x, float y, float ratio = 1.0f) {
  Kelpoint2f p;
  v.ComputePixelFromModel(Kelpoint2f(x, y), p, kW, kH, kMM, ratio);
  return {p.x, p.y};
}
// The rectangle of the viewport made for a square of pixels around (x, y).
F Window(Kel2DViewpoint& v, float x = 100, float y = 50, float dx = 100, float dy = 50) {
  F r(4);
  static_cast<Kel2DViewport*>(v.CreateViewportFrom(x, y, dx, dy, kW, kH, kMM, 1.0f))
      ->GetParameter(&r[0], &r[1], &r[2], &r[3]);
  return r;
}
F Origin(const Kel2DViewpoint& v) {
  return {v.GetOrigin().x, v.GetOrigin().y};
}
Kel2DViewpoint::Anchor Anchor(int sides) {
  return static_cast<Kel2DViewpoint::Anchor>(sides);
}

TEST(Kel2DViewpoint, ZoomsAndAnchorsConvertPixelsAndModel) {
  Kel2DViewpoint v(Kelpoint2f(3, 5), 2.0f);
  // The centre pixel shows the origin; 8 pixels are 2 mm, 1 unit at zoom 2;
  // pixels twice as wide as high cover twice the width.
  EXPECT_THAT(Model(v, 100, 50), Near({3, 5}));
  EXPECT_THAT(Model(v, 108, 50), Near({4, 5}));
  EXPECT_THAT(Model(v, 108, 50, 2.0f), Near({5, 5}));
  // The horizontal ratio multiplies the zoom along x only.
  v.SetVerticalToHorizontalZoomRatio(2.0f);
  EXPECT_THAT(Model(v, 108, 42), Near({3.5f, 6}));
  EXPECT_THAT(Pixel(v, 3.5f, 6), Near({108, 42}));
  EXPECT_THAT(Pixel(v, 5, 5, 2.0f), Near({116, 50}));  // 2 units x 4 / (0.25 mm x 2)
  EXPECT_FLOAT_EQ(v.GetScaleFactor(kW, kH, kMM, 1.0f), 0.125f);
  // The 3D forms lie in the plane z = 0.
  Kelpoint3f P, Q;
  v.ComputeModelFromPixel(108, 42, P, Q, kW, kH, kMM, 1.0f);
  EXPECT_EQ(P, Q);
  keltest::ExpectXYZ(P, 3.5f, 6, 0);

  Kel2DViewpoint w;
  w.SetZoomType(ZOOM_WINDOW_HEIGHT);  // half the height (50 pixels) is one unit
  EXPECT_THAT(Model(w, 150, 0), Near({1, 1}));
  w.SetZoomType(ZOOM_WINDOW_SIZE);  // half the width is one unit along x
  w.SetZoom(2.0f);
  EXPECT_THAT(Pixel(w, -0.5f, -0.25f), Near({0, 75}));
  w.SetZoomType(static_cast<ViewpointZoomType>(7));  // unknown: converts nothing
  Kelpoint2f m(9, 9);
  w.ComputeModelFromPixel(10, 10, m, kW, kH, kMM, 1.0f);
  EXPECT_EQ(m, Kelpoint2f(9, 9));
  EXPECT_FLOAT_EQ(w.GetScaleFactor(kW, kH, kMM, 1.0f), 0.25f);

  Kel2DViewpoint a(Kelpoint2f(0, 0), 2.0f);
  a.SetAnchor(Anchor(Kel2DViewpoint::LEFT | Kel2DViewpoint::TOP));
  EXPECT_THAT(Model(a, 8, 8), Near({1, -1}));
  a.SetAnchor(Anchor(Kel2DViewpoint::RIGHT | Kel2DViewpoint::BOTTOM));
  EXPECT_THAT(Pixel(a, -1, 1), Near({192, 92}));
}

TEST(Kel2DViewpoint, ReframeFitsTheTighterSideWithItsMillimetreParts) {
  Kel2DViewpoint v;
  Counter c(v);
  // At zoom 1 the window shows 50 x 25 mm; a box 10 wide and 20 high is limited by its height.
  v.ReframeOn(0, 10, 0, 20, kW, kH, kMM, 1.0f);
  EXPECT_FLOAT_EQ(v.GetZoom(), 1.25f);
  EXPECT_THAT(Origin(v), Near({5, 10}));
  EXPECT_EQ(c.count, 1);
  // The anchor's side of the box; the zoom bounds hold; a flat box changes nothing.
  v.SetAnchor(Anchor(Kel2DViewpoint::LEFT | Kel2DViewpoint::BOTTOM));
  v.SetZoomBounds(2.0f, 10.0f);
  v.ReframeOn(10, 0, 20, 0, kW, kH, kMM, 1.0f);
  EXPECT_THAT(Origin(v), Near({0, 0}));
  EXPECT_FLOAT_EQ(v.GetZoom(), 2.0f);
  const int before = c.count;
  v.ReframeOn(3, 3, 0, 20, kW, kH, kMM, 1.0f);
  EXPECT_EQ(c.count, before);

  // The window shows 2 x 2 units; the box 10 x 20: ratio (2/10)/(2/20) = 2, zoom 2/20.
  Kel2DViewpoint stretched;
  stretched.SetZoomType(ZOOM_WINDOW_SIZE);
  stretched.ReframeOn(0, 10, 0, 20, kW, kH, kMM, 1.0f);
  EXPECT_FLOAT_EQ(stretched.GetVerticalToHorizontalZoomRatio(), 2.0f);
  EXPECT_FLOAT_EQ(stretched.GetZoom(), 0.1f);

  // First zoom 1.25 as above; 4 mm are then 16 pixels of 0.2 units: 3.2 on every
  // side. The grown box, 16.4 x 26.4, is limited by its height: 1.25 x 20 / 26.4.
  Kel2DRep rep;
  Kel2DBoundingBox box(0, 10, 0, 20);
  box.SetSizeMM(4.0f);
  rep.SetBoundingElement(box);
  Kel2DViewpoint framed;
  framed.AddRep(&rep);
  framed.Reframe(kW, kH, kMM, 1.0f);
  EXPECT_NEAR(framed.GetZoom(), 1.25f * 20.0f / 26.4f, 1e-5f);
  EXPECT_THAT(Origin(framed), Near({5, 10}));
}

TEST(Kel2DViewpoint, WindowViewportStaysInsideTheTranslationBounds) {
  Kel2DViewpoint v;
  Counter c(v);
  EXPECT_THAT(Window(v), Near({-25, 25, -12.5f, 12.5f}));  // the visible 50 x 25 mm
  v.SetTranslationBounds(0, 100, 0, 100);
  // A pick square never moves the origin; the window slides right and up into the bounds.
  EXPECT_THAT(Window(v, 100, 50, 2, 2), Near({-0.5f, 0.5f, -0.5f, 0.5f}));
  EXPECT_THAT(Window(v), Near({0, 50, 0, 25}));
  EXPECT_THAT(Origin(v), Near({25, 12.5f}));
  // Past the top: slides down.
  v.SetOrigin(Kelpoint2f(50, 95));
  EXPECT_THAT(Window(v), Near({25, 75, 75, 100}));
  // Bounds narrower than the window: the origin goes to the anchor's place in them.
  v.SetTranslationBounds(0, 10, 0, 100);
  EXPECT_THAT(Window(v), Near({-20, 30, 75, 100}));
  v.SetAnchor(Kel2DViewpoint::RIGHT);
  EXPECT_THAT(Window(v), Near({-40, 10, 75, 100}));
  EXPECT_EQ(c.count, 2) << "SetOrigin and SetAnchor spoke; the viewports did not";
}

TEST(Kel2DViewpoint, MovedIntoAScaledFrameTheCameraShowsTheSamePixels) {
  // A bag doubling its children: the render moves the camera by the inverse.
  const float half[2][2] = {{0.5f, 0}, {0, 0.5f}};
  Kel2DViewpoint v(Kelpoint2f(4, 2), 1.0f);
  Kel2DViewpoint local(v);
  local *= Kel3x3Matrix(half, Kelpoint2f(0, 0));
  EXPECT_THAT(Origin(local), Near({2, 1}));
  EXPECT_FLOAT_EQ(local.GetZoom(), 2.0f);
  EXPECT_THAT(Pixel(local, 3, 1), Near(Pixel(v, 6, 2)));
  std::unique_ptr<Kel2DViewpoint> clone(local.Clone());
  EXPECT_THAT(Pixel(*clone, 3, 1), Near(Pixel(v, 6, 2))) << "a clone keeps the accumulated matrix";
  testing::internal::CaptureStderr();
  local.SetViewport(KelViewport());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel2DViewpoint::SetViewport: Invalid function parameters.\n");
}

TEST(KelOverlayViewpoint, ModelUnitsArePixelsFromTheBottom) {
  KelOverlayViewpoint v;
  Counter c(v);
  Kelpoint3f P, Q;
  v.ComputeModelFromPixel(10, 0, P, Q, kW, kH, kMM, 1.0f);
  keltest::ExpectXYZ(P, 10, 100, 0);
  EXPECT_THAT(Pixel(v, 30, 60), Near({30, 40}));
  EXPECT_THAT(Window(v, 50, 20, 5, 5), Near({45, 55, 75, 85}));
  // Fixed: no zoom, no bounds, no reframing.
  v.SetZoom(3.0f);
  v.SetZoomBounds(4.0f, 5.0f);
  v.Reframe(kW, kH, kMM, 1.0f);
  EXPECT_EQ(v.GetZoom(), 1.0f);
  EXPECT_EQ(c.count, 0);
}

// ---- Events of every camera: modifications and animations.

// Logs the viewpoint's events as "<name> <time stamp is now>" and their data.
class Listener : public KelEventSubscriber {
 public:
  explicit Listener(KelViewpoint& v) {
    for (const char* name :
         {KelViewpoint::VIEWPOINT_MODIFIED(), KelViewpoint::VIEWPOINT_ANIMATION_STARTED(),
          KelViewpoint::VIEWPOINT_ANIMATION_STOPED()})
      AddCallback(v.GetCallbackManager(), name, &Listener::Hear, nullptr);
  }
  void Hear(const char* name, KelCallbackManager*, KelNotification* n, void* data, long) {
    using namespace std::chrono;
    // Stamps are the low 32 bits of the milliseconds of the time of day.
    const unsigned long now = static_cast<unsigned long>(
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
    auto* stamped = dynamic_cast<KelTimeStampedEvent*>(n);
    const bool fresh = stamped && ((now - stamped->GetTimeStamp()) & 0xFFFFFFFF) < 60000;
    heard.push_back(name + std::string(fresh ? " now" : ""));
    lastData = data;
  }
  int Count(const std::string& name) const {
    int n = 0;
    for (const std::string& h : heard) n += h.rfind(name, 0) == 0;
    return n;
  }
  std::vector<std::string> heard;
  void* lastData = nullptr;
};

TEST(KelViewpoint, ZoomIsClampedAndOnlyAChangeIsAnEvent) {
  Kel2DViewpoint v;
  Listener l(v);
  v.SetZoom(3.0f);
  v.SetZoom(3.0f);
  v.SetZoomBounds(10.0f, 2.0f);  // put in order; 3 lies inside them
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 1);
  v.SetZoom(50.0f);
  EXPECT_EQ(v.GetZoom(), 10.0f);
  v.SetZoom(0.5f);
  EXPECT_EQ(v.GetZoom(), 2.0f);
  v.SetZoomBounds(4.0f, 8.0f);  // re-clamps the current zoom
  EXPECT_EQ(v.GetZoom(), 4.0f);
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 4);
}

TEST(KelViewpoint, OneModificationEventPerBracket) {
  Kel3DViewpoint v;
  Listener l(v);
  v.BeginModification();
  v.BeginModification();
  v.SetOrigin(Kelpoint3f(1, 2, 3));
  v.EndModification();
  v.SetAngle(20.0f);
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 0);
  v.EndModification();
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 1);
  // A bracket without a change is silent.
  v.BeginModification();
  v.SetGravityMode(GRAVITY_PROPORTIONAL);
  v.EndModification();
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 1);
  // An end without a beginning is refused; the camera keeps reporting changes.
  testing::internal::CaptureStderr();
  v.EndModification();
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("KelViewpoint::EndModification:", 0), 0u);
  v.SetFocus(6.0f);
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 2);
}

TEST(KelViewpoint, AnimationEventsComeFromTheOutermostCalls) {
  Kel3DViewpoint v;
  Listener l(v);
  int tag = 0;
  v.StartAnimation(&tag);
  v.StartAnimation(nullptr);
  v.StopAnimation(nullptr);
  v.StopAnimation(&tag);
  EXPECT_EQ(l.heard, (std::vector<std::string>{"VIEWPOINT_ANIMATION_STARTED now",
                                               "VIEWPOINT_ANIMATION_STOPED now"}));
  EXPECT_EQ(l.lastData, &tag);
  // A stop too many does not swallow the next start.
  testing::internal::CaptureStderr();
  v.StopAnimation(nullptr);
  EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
  v.StartAnimation(nullptr);
  EXPECT_EQ(l.Count("VIEWPOINT_ANIMATION_STARTED"), 2);
}

}  // namespace

// Mostly a camera at the origin looking down -z, y up, on 200 x 100 pixels.
#include <gtest/gtest.h>

#include "KelTestScene.h"

#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelMath.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <cmath>

namespace {

constexpr float kW = 200.0f, kH = 100.0f, kMM = 4.0f, kRatio = 1.0f;
const float kT = static_cast<float>(std::tan(15.0 * KelMath::PI / 180.0));  // 0.2679492
constexpr double kPi = KelMath::PI;

#define EXPECT_POINT(p, ex, ey, ez)  \
  do {                               \
    EXPECT_NEAR((p).x, (ex), 1e-4f); \
    EXPECT_NEAR((p).y, (ey), 1e-4f); \
    EXPECT_NEAR((p).z, (ez), 1e-4f); \
  } while (0)

Kel3DViewpoint AxisCamera(ProjectionType type, float focus = 10.0f) {
  return Kel3DViewpoint(Kelpoint3f(0, 0, 0), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0),
                        2.0f, 50.0f, type, focus);
}

// Conic, near 1, far 100, focus 10.
Kel3DViewpoint Cam(const Kelpoint3f& o, const Keldirection3f& sight, const Keldirection3f& up) {
  return Kel3DViewpoint(o, sight, up, 1.0f, 100.0f, CONIC_PROJECTION, 10.0f);
}

Kelpoint2f Pixel(const Kel3DViewpoint& v, const Kelpoint3f& m) {
  Kelpoint2f p;
  v.ComputePixelFromModel(m, p, kW, kH, kMM, kRatio);
  return p;
}

#define EXPECT_PIXEL(p, ex, ey)      \
  do {                               \
    EXPECT_NEAR((p).x, (ex), 1e-3f); \
    EXPECT_NEAR((p).y, (ey), 1e-3f); \
  } while (0)

using Counter = keltest::EventCounter;

int Inside(const Kel3DViewport* v, float x, float y, float z) {
  const float p[3] = {x, y, z};
  return v->IsInside(p);
}

}  // namespace

TEST(Kel3DViewpoint, CameraFrames) {
  Kel3DViewpoint v;
  // sight -(1,1,1)/sqrt3; right = sight x z = (-1,1,0)/sqrt2; up = right x sight = (-1,-1,2)/sqrt6.
  const float s3 = 1 / std::sqrt(3.0f), s2 = 1 / std::sqrt(2.0f), s6 = 1 / std::sqrt(6.0f);
  EXPECT_POINT(v.GetSightDirection(), -s3, -s3, -s3);
  EXPECT_POINT(v.GetRightDirection(), -s2, s2, 0);
  EXPECT_POINT(v.GetUpDirection(), -s6, -s6, 2 * s6);
  // Eye (0, 0, -1) is one unit along the sight; eye x is the right direction.
  EXPECT_POINT(v.GetMatrix() * Kelpoint3f(0, 0, -1), -s3, -s3, -s3);

  // A sight along up still gives an orthonormal frame.
  const long errors = KelMath::ErrorCount();
  testing::internal::CaptureStderr();
  v.Set(Kelpoint3f(0, 0, 0), Keldirection3f(0, 0, 1), Keldirection3f(0, 0, 1));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Direction3D : Vecteur nul"),
            std::string::npos);
  EXPECT_GT(KelMath::ErrorCount(), errors);
  const Keldirection3f s = v.GetSightDirection(), u = v.GetUpDirection(), r = v.GetRightDirection();
  EXPECT_NEAR(s * u, 0.0f, 1e-6f);
  EXPECT_NEAR(s * r, 0.0f, 1e-6f);
  EXPECT_NEAR(u * r, 0.0f, 1e-6f);
}

TEST(Kel3DViewpoint, NearAndFarModes) {
  Kel3DViewpoint v = AxisCamera(CONIC_PROJECTION);  // near 2, far 50, focus 10
  v.SetFrontClipping(1, 5.0f);
  EXPECT_EQ(v.GetNear(), 5.0f);
  v.SetFrontClipping(2, 0.5f);
  EXPECT_EQ(v.GetNear(), 5.0f);  // 0.5 x focus
  v.SetBackClipping(2, 4.0f);
  EXPECT_EQ(v.GetFar(), 40.0f);
  v.SetBackClipping(1, 3.0f);
  EXPECT_EQ(v.GetFar(), 5.0f);  // below near: near
  v.SetFrontClipping(1, 0.5f);
  EXPECT_EQ(v.GetNear(), 2.0f);  // below the minimum near

  // Back to conic from parallel: automatic near 1 and clipping automatic again.
  v.SetProjectionType(PARALLEL_PROJECTION);
  v.SetProjectionType(CONIC_PROJECTION);
  EXPECT_EQ(v.GetNear(), 1.0f);
  EXPECT_EQ(v.GetFar(), 50.0f);
}

TEST(Kel3DViewpoint, Frustum) {
  Kel3DViewpoint v = AxisCamera(CONIC_PROJECTION);
  // The scale factor is one pixel at unit depth.
  EXPECT_NEAR(v.GetScaleFactor(kW, kH, kMM, kRatio), kT / 50, 1e-7f);
  v.SetZoom(2.0f);  // not applied to the conic frustum
  EXPECT_NEAR(v.GetScaleFactor(kW, kH, kMM, kRatio), kT / 100, 1e-7f);
  float l, r, b, t, n, f;
  v.GetFrustum(kW, kH, kMM, kRatio, l, r, b, t, n, f);
  EXPECT_NEAR(l, -4 * kT, 1e-5f);  // near 2, aspect 2
  EXPECT_NEAR(t, 2 * kT, 1e-5f);
  EXPECT_EQ(n, 2.0f);
  EXPECT_EQ(f, 50.0f);

  v.SetProjectionType(PARALLEL_PROJECTION);  // focus 10 / zoom 2
  v.GetFrustum(kW, kH, kMM, 2.0f, l, r, b, t, n, f);
  EXPECT_NEAR(b, -5 * kT, 1e-5f);
  EXPECT_NEAR(r, 20 * kT, 1e-5f);  // aspect 4 with pixels twice as wide
}

TEST(Kel3DViewpoint, PixelAndModelInConicProjection) {
  Kel3DViewpoint v = AxisCamera(CONIC_PROJECTION);
  Kelpoint3f P, Q;
  // Pixel (150, 25): half-way to the right edge and to the top.
  v.ComputeModelFromPixel(150, 25, P, Q, kW, kH, kMM, kRatio);
  EXPECT_POINT(P, 2 * kT, kT, -2);
  EXPECT_POINT(Q, 50 * kT, 25 * kT, -50);
  EXPECT_PIXEL(Pixel(v, P), 150, 25);
  EXPECT_PIXEL(Pixel(v, Q), 150, 25);
  // The corner of the frustum at depth 4 is the top right pixel.
  EXPECT_PIXEL(Pixel(v, Kelpoint3f(8 * kT, 4 * kT, -4)), 200, 0);
  EXPECT_PIXEL(Pixel(v, Kelpoint3f(1, 1, 3)), 0, 0);  // behind the eye
}

TEST(Kel3DViewpoint, PixelAndModelInParallelProjection) {
  Kel3DViewpoint v = AxisCamera(PARALLEL_PROJECTION);  // focus 10: half height 10 tan 15
  v.SetZoom(2.0f);
  Kelpoint3f P, Q;
  v.ComputeModelFromPixel(150, 25, P, Q, kW, kH, kMM, kRatio);
  EXPECT_POINT(P, 5 * kT, 2.5f * kT, -2);
  EXPECT_POINT(Q, 5 * kT, 2.5f * kT, -50);
  // Depth does not matter.
  EXPECT_PIXEL(Pixel(v, Kelpoint3f(5 * kT, 2.5f * kT, -77)), 150, 25);
  // Without a focus distance the window has no size: no division by zero.
  v.SetFocus(0.0f);
  EXPECT_EQ(Pixel(v, Kelpoint3f(1, 1, -1)).x, 0.0f);
}

TEST(Kel3DViewpoint, ConversionsFollowAMovedCamera) {
  // A render moves its clone into a Rep's frame: scale 2 then shift x by 1.
  const Kel4x4Matrix m(Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2),
                       Kelvector3f(1, 0, 0));
  Kel3DViewpoint v = AxisCamera(CONIC_PROJECTION);
  v.SetOrigin(Kelpoint3f(1, 2, 3));
  Kelpoint3f P, Q, Pm, Qm;
  v.ComputeModelFromPixel(150, 25, P, Q, kW, kH, kMM, kRatio);
  Kel3DViewpoint moved(v);
  moved *= m;
  EXPECT_POINT(moved.GetOrigin(), 3, 4, 6);
  moved.ComputeModelFromPixel(150, 25, Pm, Qm, kW, kH, kMM, kRatio);
  EXPECT_POINT(Pm, 2 * P.x + 1, 2 * P.y, 2 * P.z);
  EXPECT_POINT(Qm, 2 * Q.x + 1, 2 * Q.y, 2 * Q.z);
  EXPECT_PIXEL(Pixel(moved, Qm), 150, 25);
}

TEST(Kel3DViewpoint, ReframeBacksAwayToFitTheSphere) {
  Kel3DRep rep;
  rep.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(10, 0, 0), 2.0f, 0.0f));
  Kel3DViewpoint v = AxisCamera(CONIC_PROJECTION);
  v.SetZoom(3.0f);
  v.AddRep(&rep);
  Counter c(v);

  // Square window: focus = 1.05 x 2 / tan 15.
  v.Reframe(100, 100, kMM, kRatio);
  const float square = 2.1f / kT;
  EXPECT_NEAR(v.GetFocusDistance(), square, 1e-4f);
  EXPECT_POINT(v.GetOrigin(), 10, 0, square);
  EXPECT_EQ(v.GetZoom(), 3.0f);
  EXPECT_EQ(c.count, 1);

  v.Reframe(100, 200, kMM, kRatio);  // twice as high as wide
  EXPECT_NEAR(v.GetFocusDistance(), 2 * square, 1e-4f);
  v.Reframe(200, 100, kMM, kRatio);  // wider windows fit by height
  EXPECT_NEAR(v.GetFocusDistance(), square, 1e-4f);
}

TEST(Kel3DViewpoint, SetTargetTurnsFocusOrSlidesTheCamera) {
  Kel3DViewpoint conic = AxisCamera(CONIC_PROJECTION);
  conic.SetTarget(Kelpoint3f(3, 4, -6));
  EXPECT_EQ(conic.GetFocusDistance(), 6.0f);
  EXPECT_POINT(conic.GetOrigin(), 0, 0, 0);

  Kel3DViewpoint parallel = AxisCamera(PARALLEL_PROJECTION);
  parallel.SetTarget(Kelpoint3f(3, 4, -6));
  EXPECT_EQ(parallel.GetFocusDistance(), 10.0f);
  EXPECT_POINT(parallel.GetOrigin(), 3, 4, 4);
}

TEST(Kel3DViewpoint, ViewportsOfTheWindowAndOfAPickSquare) {
  Kel3DRep rep;
  rep.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 0, -10), 2.0f, 0.0f));
  Kel3DViewpoint v = AxisCamera(CONIC_PROJECTION);
  v.AddRep(&rep);

  auto* vp =
      static_cast<Kel3DViewport*>(v.CreateViewportFrom(100, 50, 100, 50, kW, kH, kMM, kRatio));
  ASSERT_EQ(vp, v.GetViewport());
  ASSERT_EQ(vp->GetNbPlanes(), 6);
  // Depth 10, radius 2 x 1.05: near 7.9, far 12.1.
  EXPECT_NEAR(v.GetNear(), 7.9f, 1e-5f);
  EXPECT_NEAR(v.GetFar(), 12.1f, 1e-5f);
  // At depth 10 the window is 20 tan 15 wide either side of the axis and 10 tan 15 high.
  const float probes[][4] = {
      {0, 0, -10, 1},          {0, 0, -7.5f, 0},        {0, 0, -12.5f, 0},
      {19.5f * kT, 0, -10, 1}, {20.5f * kT, 0, -10, 0}, {-20.5f * kT, 0, -10, 0},
      {0, 9.5f * kT, -10, 1},  {0, 10.5f * kT, -10, 0}, {0, -10.5f * kT, -10, 0}};
  for (const auto& q : probes) EXPECT_EQ(Inside(vp, q[0], q[1], q[2]), q[3]) << q[0] << " " << q[1];

  // A 5 x 5 pixel square around (150, 25); one pixel at depth 10 is tan 15 / 5.
  vp = static_cast<Kel3DViewport*>(v.CreateViewportFrom(150, 25, 2, 2, kW, kH, kMM, kRatio));
  const float px = kT / 5;
  EXPECT_TRUE(Inside(vp, 10 * kT + 1.5f * px, 5 * kT - 1.5f * px, -10));
  EXPECT_FALSE(Inside(vp, 10 * kT + 2.5f * px, 5 * kT, -10));
  EXPECT_FALSE(Inside(vp, 10 * kT, 5 * kT + 2.5f * px, -10));

  // Parallel, focus 10: what lies behind the eye is kept.
  v.SetProjectionType(PARALLEL_PROJECTION);
  vp = static_cast<Kel3DViewport*>(v.CreateViewportFrom(100, 50, 100, 50, kW, kH, kMM, kRatio));
  EXPECT_NEAR(v.GetNear(), -12.1f, 1e-5f);
  EXPECT_NEAR(v.GetFar(), 12.1f, 1e-5f);
  EXPECT_TRUE(Inside(vp, 0, 0, 5));
  EXPECT_FALSE(Inside(vp, 0, 0, 12.5f));
  EXPECT_FALSE(Inside(vp, 0, 0, -12.5f));
  // Half width 20 tan 15 and half height 10 tan 15 at every depth.
  EXPECT_TRUE(Inside(vp, 19.5f * kT, 9.5f * kT, 3));
  EXPECT_FALSE(Inside(vp, 20.5f * kT, 0, -11));
  EXPECT_FALSE(Inside(vp, 0, -10.5f * kT, 0));
}

TEST(Kel3DViewpoint, ProjectionDirectionShiftsTheWindowOntoTheTrueSight) {
  Kel3DRep rep;
  rep.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 10, -10), 1.0f, 0.0f));
  const Keldirection3f trueSight(0, 1, -1);
  Kel3DViewpoint v(Kelpoint3f(0, 0, 0), trueSight, Keldirection3f(0, 1, 0), 1.0f, 100.0f,
                   CONIC_PROJECTION, 10.0f);
  v.AddRep(&rep);
  v.SetProjectionDirection(Keldirection3f(0, 0, -1));
  v.SetProjectionDirection(Keldirection3f(0, 0, -1));  // the true sight survives a second call
  EXPECT_POINT(v.GetSightDirection(), trueSight.x, trueSight.y, trueSight.z);
  v.SetOrigin(Kelpoint3f(0, 0, 0));  // the frame now faces -z

  // Depth 10 along -z, radius 1.05: near 8.95, where the true sight crosses at y = 8.95.
  auto* vp =
      static_cast<Kel3DViewport*>(v.CreateViewportFrom(100, 50, 100, 50, kW, kH, kMM, kRatio));
  Kelpoint3f P, Q;
  v.ComputeModelFromPixel(100, 50, P, Q, kW, kH, kMM, kRatio);
  EXPECT_POINT(P, 0, 8.95f, -8.95f);
  EXPECT_POINT(Q, 0, 11.05f, -11.05f);
  float l, r, b, t, n, f;
  v.GetFrustum(kW, kH, kMM, kRatio, l, r, b, t, n, f);
  EXPECT_NEAR(b, 8.95f - 8.95f * kT, 1e-4f);
  EXPECT_NEAR(t, 8.95f + 8.95f * kT, 1e-4f);
  EXPECT_TRUE(Inside(vp, 0, 10, -10));
  EXPECT_FALSE(Inside(vp, 0, 0, -10));

  v.ResetProjectionDirection();
  EXPECT_POINT(v.GetSightDirection(), 0, 0, -1);
  v.ComputeModelFromPixel(100, 50, P, Q, kW, kH, kMM, kRatio);
  EXPECT_POINT(P, 0, 0, -8.95f);
}

TEST(Kel3DViewpoint, TrimTwistAndCape) {
  // Looking along x with z up: right is -y.
  Kel3DViewpoint v = Cam(Kelpoint3f(0, 0, 0), Keldirection3f(1, 0, 0), Keldirection3f(0, 0, 1));
  const Keldirection3f z(0, 0, 1), x(1, 0, 0), y(0, 1, 0);
  EXPECT_NEAR(v.GetTrim(z), 0.0, 1e-6);
  EXPECT_NEAR(v.GetCape(z, x), 0.0, 1e-6);
  EXPECT_NEAR(v.GetCape(z, y), kPi / 2, 1e-6);

  v.SetSightDirection(Keldirection3f(std::cos(kPi / 6), 0, std::sin(kPi / 6)));  // 30 degrees up
  EXPECT_NEAR(v.GetTrim(z), kPi / 6, 1e-5);
  v.SetSightDirection(Keldirection3f(0, 0, -1));
  EXPECT_NEAR(v.GetTrim(z), -kPi / 2, 1e-6);

  // Rolled 30 degrees to the right-hand side about the sight.
  v.Set(Kelpoint3f(0, 0, 0), x, Keldirection3f(0, -0.5f, std::cos(kPi / 6)));
  EXPECT_NEAR(v.GetTwist(z), -kPi / 6, 1e-5);

  // Heading: looking along +y, a quarter turn from x.
  v.Set(Kelpoint3f(0, 0, 0), y, z);
  EXPECT_NEAR(v.GetCape(z, x), -kPi / 2, 1e-5);
}

TEST(Kel3DViewpoint, GravityUprightsARolledCamera) {
  const Keldirection3f x(1, 0, 0), rolled(0, -0.5f, std::cos(kPi / 6));
  Kel3DViewpoint v = Cam(Kelpoint3f(0, 0, 0), x, rolled);
  Counter c(v);
  v.ApplyGravity();  // off
  EXPECT_EQ(c.count, 0);

  v.SetGravityMode(GRAVITY_PROPORTIONAL);  // horizontal sight: full correction
  v.ApplyGravity();
  EXPECT_POINT(v.GetUpDirection(), 0, 0, 1);
  EXPECT_EQ(c.count, 1);

  // Stepwise: at most pi/64 a step towards upright.
  v.Set(Kelpoint3f(0, 0, 0), x, rolled);
  v.SetGravityMode(GRAVITY_STEPWISE);
  v.ApplyGravity();
  EXPECT_NEAR(v.GetTwist(Keldirection3f(0, 0, 1)), -kPi / 6 + kPi / 64, 1e-5);
  EXPECT_POINT(v.GetMatrix() * Kelvector3f(0, 1, 0), v.GetUpDirection().x, v.GetUpDirection().y,
               v.GetUpDirection().z);

  // Looking straight down there is nothing to correct.
  v.Set(Kelpoint3f(0, 0, 0), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  const int before = c.count;
  v.ApplyGravity();
  EXPECT_EQ(c.count, before);
  EXPECT_POINT(v.GetUpDirection(), 0, 1, 0);
}

TEST(Kel3DViewpoint, RotateOrbitsTheCentre) {
  // About the camera's up (y) by a quarter turn; the matrices turn clockwise
  // seen from the axis tip, so the eye at +z goes to -x.
  Kel3DViewpoint v = Cam(Kelpoint3f(0, 0, 10), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  Counter c(v);
  v.Rotate(Kelvector3f(0, static_cast<float>(kPi / 2), 0), Kelpoint3f(0, 0, 0));
  EXPECT_POINT(v.GetOrigin(), -10, 0, 0);
  EXPECT_POINT(v.GetSightDirection(), 1, 0, 0);
  EXPECT_EQ(c.count, 1);
  // A null rotation without gravity changes nothing.
  v.Rotate(Kelvector3f(0, 0, 0), Kelpoint3f(0, 0, 0));
  EXPECT_EQ(c.count, 1);

  // With gravity, looking straight down (nothing to correct): still one event.
  v.Set(Kelpoint3f(0, 0, 10), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  v.SetGravityMode(GRAVITY_PROPORTIONAL);
  const int before = c.count;
  v.Rotate(Kelvector3f(0, 0, static_cast<float>(kPi / 2)), Kelpoint3f(0, 0, 0));
  EXPECT_EQ(c.count, before + 1);
  EXPECT_POINT(v.GetOrigin(), 0, 0, 10);
  EXPECT_POINT(v.GetUpDirection(), 1, 0, 0);  // a quarter turn about the sight

  // Projection-direction mode turns only the true sight.
  Kel3DViewpoint p = Cam(Kelpoint3f(0, 0, 10), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  p.SetProjectionDirection(Keldirection3f(0, 0, -1));
  p.Rotate(Kelvector3f(0, static_cast<float>(kPi / 2), 0), Kelpoint3f(0, 0, 0));
  EXPECT_POINT(p.GetOrigin(), 0, 0, 10);
  EXPECT_POINT(p.GetSightDirection(), -1, 0, 0);
}

TEST(Kel3DViewpoint, SetVerticalKeepsTheNearerSenseAndSkipsTheSightAxis) {
  Kel3DViewpoint v = Cam(Kelpoint3f(0, 0, 0), Keldirection3f(1, 0, 0), Keldirection3f(0, 0, 1));
  Counter c(v);
  v.SetVertical(Keldirection3f(0, 0, -1));  // the opposite of up: up stays
  EXPECT_POINT(v.GetUpDirection(), 0, 0, 1);
  v.SetVertical(Keldirection3f(0, 1, 0.2f));
  EXPECT_POINT(v.GetUpDirection(), 0, 1 / std::sqrt(1.04f), 0.2f / std::sqrt(1.04f));
  v.SetVertical(Keldirection3f(0, 1, 0));
  EXPECT_POINT(v.GetUpDirection(), 0, 1, 0);
  v.SetVertical(Keldirection3f(1, 0.1f, 0));  // within 10 degrees of the sight
  EXPECT_POINT(v.GetUpDirection(), 0, 1, 0);
  EXPECT_EQ(c.count, 4);
}

TEST(Kel3DViewpoint, CopiesAndEyes) {
  Kel3DViewpoint v = AxisCamera(PARALLEL_PROJECTION);
  v.SetOrigin(Kelpoint3f(1, 2, 3));
  v.SetAngle(20.0f);
  v.SetGravityMode(GRAVITY_STEPWISE);
  Kel3DViewpoint target;
  Counter c(target);
  target = v;
  EXPECT_EQ(c.count, 1);
  EXPECT_EQ(target.GetProjectionType(), PARALLEL_PROJECTION);
  EXPECT_EQ(target.GetGravityMode(), GRAVITY_STEPWISE);
  EXPECT_POINT(target.GetMatrix() * Kelpoint3f(0, 0, 0), 1, 2, 3);

  Kel3DViewpoint left, right;
  v.EyeViewpoints(0.2, left, right);
  EXPECT_POINT(left.GetOrigin(), 0.9f, 2, 3);
  EXPECT_POINT(right.GetOrigin(), 1.1f, 2, 3);
}

TEST(Kel3DViewpoint, SetViewportTakesOnlyPlanes) {
  Kel3DViewpoint v;
  const Kelpoint3f point(0, 0, 0);
  const Keldirection3f normal(0, 0, 1);
  v.SetViewport(Kel3DViewport(1, &point, &normal));
  testing::internal::CaptureStderr();
  v.SetViewport(KelViewport());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel3DViewpoint::SetViewport: Invalid function parameters.\n");
  EXPECT_EQ(static_cast<Kel3DViewport*>(v.GetViewport())->GetNbPlanes(), 1);
}

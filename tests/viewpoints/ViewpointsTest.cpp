// The cameras. Mostly a 3D camera at the origin looking down -z, y up, on
// 200 x 100 pixels; viewports of planes; the 2D and overlay cameras; the
// events of every camera.
#include <gtest/gtest.h>

#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelMath.h>
#include <kel/reps/Kel2DRep.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewers/KelTimeStampedEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel2DViewport.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/Kel3DViewport.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelTestScene.h"

namespace {

constexpr float kW = 200.0f, kH = 100.0f, kMM = 4.0f, kRatio = 1.0f;
const float kT = static_cast<float>(std::tan(15.0 * KelMath::PI / 180.0));  // 0.2679492
constexpr double kPi = KelMath::PI;
using Counter = keltest::EventCounter;
using keltest::ExpectXYZ;
using keltest::Near;
using F = std::vector<float>;
const Keldirection3f kX(1, 0, 0), kY(0, 1, 0), kZ(0, 0, 1), kDown(0, 0, -1);

// Near 2, far 50, focus 10.
Kel3DViewpoint AxisCamera(ProjectionType type) {
  return Kel3DViewpoint(Kelpoint3f(0, 0, 0), kDown, kY, 2.0f, 50.0f, type, 10.0f);
}
// Conic, near 1, far 100, focus 10.
Kel3DViewpoint Cam(const Kelpoint3f& o, const Keldirection3f& sight, const Keldirection3f& up) {
  return Kel3DViewpoint(o, sight, up, 1.0f, 100.0f, CONIC_PROJECTION, 10.0f);
}
F Pixel(const Kel3DViewpoint& v, const Kelpoint3f& m) {
  Kelpoint2f p;
  v.ComputePixelFromModel(m, p, kW, kH, kMM, kRatio);
  return {p.x, p.y};
}
// The near and far ends of the ray of a pixel.
F Ray(const Kel3DViewpoint& v, float x, float y) {
  Kelpoint3f P, Q;
  v.ComputeModelFromPixel(x, y, P, Q, kW, kH, kMM, kRatio);
  return {P.x, P.y, P.z, Q.x, Q.y, Q.z};
}
// left, right, bottom, top, near, far.
F Frustum(const Kel3DViewpoint& v, float ratio = kRatio) {
  F f(6);
  v.GetFrustum(kW, kH, kMM, ratio, f[0], f[1], f[2], f[3], f[4], f[5]);
  return f;
}
Kel3DViewport* Window(Kel3DViewpoint& v, float x = 100, float y = 50, float dx = 100,
                      float dy = 50) {
  return static_cast<Kel3DViewport*>(v.CreateViewportFrom(x, y, dx, dy, kW, kH, kMM, kRatio));
}
int Inside(const Kel3DViewport* v, float x, float y, float z) {
  const float p[3] = {x, y, z};
  return v->IsInside(p);
}

TEST(Kel3DViewpoint, CameraFramesAndClipping) {
  // A sight along up still gives an orthonormal frame (the frames of the
  // other cameras: every ray and pixel below).
  Kel3DViewpoint v;
  v.Set(Kelpoint3f(0, 0, 0), kZ, kZ);
  const Keldirection3f s = v.GetSightDirection(), u = v.GetUpDirection(), r = v.GetRightDirection();
  EXPECT_THAT((F{s * u, s * r, u * r}), Near({0, 0, 0}, 1e-6f));

  Kel3DViewpoint c = AxisCamera(CONIC_PROJECTION);  // near 2, far 50, focus 10
  const std::pair<float, float> nears[] = {{1, 5}, {2, 0.5f}, {1, 0.5f}};  // fixed, x focus, fixed
  const float nearAnswers[] = {5, 5, 2};  // below the minimum near: the minimum
  for (int i = 0; i < 3; ++i) {
    c.SetFrontClipping(int(nears[i].first), nears[i].second);
    EXPECT_EQ(c.GetNear(), nearAnswers[i]) << i;
  }
  c.SetFrontClipping(1, 5.0f);
  c.SetBackClipping(2, 4.0f);
  EXPECT_EQ(c.GetFar(), 40.0f);
  c.SetBackClipping(1, 3.0f);
  EXPECT_EQ(c.GetFar(), 5.0f) << "below near: near";
  // Back to conic from parallel: automatic near 1 and clipping automatic again.
  c.SetProjectionType(PARALLEL_PROJECTION);
  c.SetProjectionType(CONIC_PROJECTION);
  EXPECT_EQ(c.GetNear(), 1.0f);
  EXPECT_EQ(c.GetFar(), 50.0f);
}

TEST(Kel3DViewpoint, FrustumAndPixelsInBothProjections) {
  Kel3DViewpoint v = AxisCamera(CONIC_PROJECTION);
  // The scale factor is one pixel at unit depth; the zoom narrows the view.
  v.SetZoom(2.0f);
  EXPECT_NEAR(v.GetScaleFactor(kW, kH, kMM, kRatio), kT / 100, 1e-7f);
  EXPECT_THAT(Frustum(v), Near({-4 * kT, 4 * kT, -2 * kT, 2 * kT, 2, 50}, 1e-5f));
  v.SetZoom(1.0f);
  // Pixel (150, 25): half-way to the right edge and to the top.
  EXPECT_THAT(Ray(v, 150, 25), Near({2 * kT, kT, -2, 50 * kT, 25 * kT, -50}));
  EXPECT_THAT(Pixel(v, Kelpoint3f(50 * kT, 25 * kT, -50)), Near({150, 25}, 1e-3f));
  EXPECT_THAT(Pixel(v, Kelpoint3f(1, 1, 3)), Near({0, 0})) << "behind the eye";

  v.SetProjectionType(PARALLEL_PROJECTION);  // focus 10 / zoom 2: half height 5 tan 15
  v.SetZoom(2.0f);
  EXPECT_THAT(Frustum(v, 2.0f), Near({-20 * kT, 20 * kT, -5 * kT, 5 * kT, 2, 50}, 1e-5f));
  EXPECT_THAT(Ray(v, 150, 25), Near({5 * kT, 2.5f * kT, -2, 5 * kT, 2.5f * kT, -50}));
  EXPECT_THAT(Pixel(v, Kelpoint3f(5 * kT, 2.5f * kT, -77)), Near({150, 25}, 1e-3f));
  // Without a focus distance the window has no size: no division by zero.
  v.SetFocus(0.0f);
  EXPECT_EQ(Pixel(v, Kelpoint3f(1, 1, -1))[0], 0.0f);

  // A render moves its clone into a Rep's frame: scale 2 then shift x by 1.
  Kel3DViewpoint w = AxisCamera(CONIC_PROJECTION);
  w.SetOrigin(Kelpoint3f(1, 2, 3));
  Kel3DViewpoint moved(w);
  moved *= Kel4x4Matrix(Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2),
                        Kelvector3f(1, 0, 0));
  ExpectXYZ(moved.GetOrigin(), 3, 4, 6);
  F expected = Ray(w, 150, 25);
  for (size_t i = 0; i < 6; ++i) expected[i] = 2 * expected[i] + (i % 3 == 0 ? 1 : 0);
  EXPECT_THAT(Ray(moved, 150, 25), Near(expected));
}

TEST(Kel3DViewpoint, ReframeAndTarget) {
  Kel3DRep rep;
  rep.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(10, 0, 0), 2.0f, 0.0f));
  Kel3DViewpoint v = AxisCamera(CONIC_PROJECTION);
  v.SetZoom(3.0f);
  v.AddRep(&rep);
  Counter c(v);
  // Square window: focus = 1.05 x 2 / tan 15; twice as high: twice as far;
  // wider windows fit by height.
  const float square = 2.1f / kT;
  v.Reframe(100, 100, kMM, kRatio);
  EXPECT_NEAR(v.GetFocusDistance(), square, 1e-4f);
  ExpectXYZ(v.GetOrigin(), 10, 0, square);
  EXPECT_EQ(v.GetZoom(), 3.0f);
  EXPECT_EQ(c.count, 1);
  v.Reframe(100, 200, kMM, kRatio);
  EXPECT_NEAR(v.GetFocusDistance(), 2 * square, 1e-4f);
  v.Reframe(200, 100, kMM, kRatio);
  EXPECT_NEAR(v.GetFocusDistance(), square, 1e-4f);

  // A target turns the conic focus, and slides the parallel camera.
  Kel3DViewpoint conic = AxisCamera(CONIC_PROJECTION), parallel = AxisCamera(PARALLEL_PROJECTION);
  conic.SetTarget(Kelpoint3f(3, 4, -6));
  parallel.SetTarget(Kelpoint3f(3, 4, -6));
  EXPECT_EQ(conic.GetFocusDistance(), 6.0f);
  ExpectXYZ(conic.GetOrigin(), 0, 0, 0);
  EXPECT_EQ(parallel.GetFocusDistance(), 10.0f);
  ExpectXYZ(parallel.GetOrigin(), 3, 4, 4);
}

TEST(Kel3DViewpoint, ViewportsOfTheWindowAndOfAPickSquare) {
  Kel3DRep rep;
  rep.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 0, -10), 2.0f, 0.0f));
  Kel3DViewpoint v = AxisCamera(CONIC_PROJECTION);
  v.AddRep(&rep);
  Kel3DViewport* vp = Window(v);
  ASSERT_EQ(vp->GetNbPlanes(), 6);
  // Depth 10, radius 2 x 1.05: near 7.9, far 12.1. At depth 10 the window is
  // 20 tan 15 wide either side of the axis and 10 tan 15 high.
  EXPECT_THAT((F{v.GetNear(), v.GetFar()}), Near({7.9f, 12.1f}, 1e-5f));
  const float probes[][4] = {
      {0, 0, -10, 1},          {0, 0, -7.5f, 0},        {0, 0, -12.5f, 0},
      {19.5f * kT, 0, -10, 1}, {20.5f * kT, 0, -10, 0}, {-20.5f * kT, 0, -10, 0},
      {0, 9.5f * kT, -10, 1},  {0, 10.5f * kT, -10, 0}, {0, -10.5f * kT, -10, 0}};
  for (const auto& q : probes) EXPECT_EQ(Inside(vp, q[0], q[1], q[2]), q[3]) << q[0] << " " << q[1];
  // A 5 x 5 pixel square around (150, 25); one pixel at depth 10 is tan 15 / 5.
  vp = Window(v, 150, 25, 2, 2);
  const float px = kT / 5;
  EXPECT_TRUE(Inside(vp, 10 * kT + 1.5f * px, 5 * kT - 1.5f * px, -10));
  EXPECT_FALSE(Inside(vp, 10 * kT + 2.5f * px, 5 * kT, -10));
  EXPECT_FALSE(Inside(vp, 10 * kT, 5 * kT + 2.5f * px, -10));
  // Parallel, focus 10: what lies behind the eye is kept; half width 20 tan 15
  // and half height 10 tan 15 at every depth.
  v.SetProjectionType(PARALLEL_PROJECTION);
  vp = Window(v);
  EXPECT_THAT((F{v.GetNear(), v.GetFar()}), Near({-12.1f, 12.1f}, 1e-5f));
  EXPECT_TRUE(Inside(vp, 19.5f * kT, 9.5f * kT, 5));
  EXPECT_FALSE(Inside(vp, 0, 0, 12.5f));
  EXPECT_FALSE(Inside(vp, 20.5f * kT, 0, -11));
  // Only planes make a viewport of this camera.
  testing::internal::CaptureStderr();
  v.SetViewport(KelViewport());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel3DViewpoint::SetViewport: Invalid function parameters.\n");
}

TEST(Kel3DViewpoint, ProjectionDirectionShiftsTheWindowOntoTheTrueSight) {
  Kel3DRep rep;
  rep.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 10, -10), 1.0f, 0.0f));
  const Keldirection3f trueSight(0, 1, -1);
  Kel3DViewpoint v = Cam(Kelpoint3f(0, 0, 0), trueSight, kY);
  v.AddRep(&rep);
  v.SetProjectionDirection(kDown);
  v.SetProjectionDirection(kDown);  // the true sight survives a second call
  ExpectXYZ(v.GetSightDirection(), trueSight.x, trueSight.y, trueSight.z);
  v.SetOrigin(Kelpoint3f(0, 0, 0));  // the frame now faces -z
  // Depth 10 along -z, radius 1.05: near 8.95, where the true sight crosses at y = 8.95.
  Kel3DViewport* vp = Window(v);
  EXPECT_THAT(Ray(v, 100, 50), Near({0, 8.95f, -8.95f, 0, 11.05f, -11.05f}));
  const F frustum = Frustum(v);
  EXPECT_THAT(F(frustum.begin() + 2, frustum.begin() + 4),
              Near({8.95f - 8.95f * kT, 8.95f + 8.95f * kT}));
  EXPECT_TRUE(Inside(vp, 0, 10, -10));
  EXPECT_FALSE(Inside(vp, 0, 0, -10));
  v.ResetProjectionDirection();
  ExpectXYZ(v.GetSightDirection(), 0, 0, -1);
  EXPECT_THAT(Ray(v, 100, 50), Near({0, 0, -8.95f, 0, 0, -11.05f}));
}

TEST(Kel3DViewpoint, TrimTwistCapeAndGravity) {
  // Looking along x with z up: right is -y.
  Kel3DViewpoint v = Cam(Kelpoint3f(0, 0, 0), kX, kZ);
  EXPECT_THAT((F{float(v.GetTrim(kZ)), float(v.GetCape(kZ, kX)), float(v.GetCape(kZ, kY))}),
              Near({0, 0, float(kPi / 2)}, 1e-6f));
  v.SetSightDirection(Keldirection3f(std::cos(kPi / 6), 0, std::sin(kPi / 6)));  // 30 degrees up
  EXPECT_NEAR(v.GetTrim(kZ), kPi / 6, 1e-5);
  v.SetSightDirection(kDown);
  EXPECT_NEAR(v.GetTrim(kZ), -kPi / 2, 1e-6);
  v.Set(Kelpoint3f(0, 0, 0), kY, kZ);  // looking along +y, a quarter turn from x
  EXPECT_NEAR(v.GetCape(kZ, kX), -kPi / 2, 1e-5);

  // Rolled 30 degrees to the right-hand side about the sight.
  const Keldirection3f rolled(0, -0.5f, std::cos(kPi / 6));
  Kel3DViewpoint g = Cam(Kelpoint3f(0, 0, 0), kX, rolled);
  EXPECT_NEAR(g.GetTwist(kZ), -kPi / 6, 1e-5);
  Counter c(g);
  g.ApplyGravity();  // off
  EXPECT_EQ(c.count, 0);
  g.SetGravityMode(GRAVITY_PROPORTIONAL);  // horizontal sight: full correction
  g.ApplyGravity();
  ExpectXYZ(g.GetUpDirection(), 0, 0, 1);
  EXPECT_EQ(c.count, 1);
  // Stepwise: at most pi/64 a step towards upright.
  g.Set(Kelpoint3f(0, 0, 0), kX, rolled);
  g.SetGravityMode(GRAVITY_STEPWISE);
  g.ApplyGravity();
  EXPECT_NEAR(g.GetTwist(kZ), -kPi / 6 + kPi / 64, 1e-5);
  const Keldirection3f up = g.GetUpDirection();
  ExpectXYZ(g.GetMatrix() * Kelvector3f(0, 1, 0), up.x, up.y, up.z);
  // Looking straight down there is nothing to correct.
  g.Set(Kelpoint3f(0, 0, 0), kDown, kY);
  const int before = c.count;
  g.ApplyGravity();
  EXPECT_EQ(c.count, before);
}

TEST(Kel3DViewpoint, RotateOrbitsTheCentre) {
  // About the camera's up (y) by a quarter turn; the matrices turn clockwise
  // seen from the axis tip, so the eye at +z goes to -x.
  Kel3DViewpoint v = Cam(Kelpoint3f(0, 0, 10), kDown, kY);
  Counter c(v);
  v.Rotate(Kelvector3f(0, static_cast<float>(kPi / 2), 0), Kelpoint3f(0, 0, 0));
  ExpectXYZ(v.GetOrigin(), -10, 0, 0);
  ExpectXYZ(v.GetSightDirection(), 1, 0, 0);
  v.Rotate(Kelvector3f(0, 0, 0), Kelpoint3f(0, 0, 0));  // null, without gravity: nothing
  EXPECT_EQ(c.count, 1);
  // With gravity, looking straight down (nothing to correct): still one event.
  v.Set(Kelpoint3f(0, 0, 10), kDown, kY);
  v.SetGravityMode(GRAVITY_PROPORTIONAL);
  const int before = c.count;
  v.Rotate(Kelvector3f(0, 0, static_cast<float>(kPi / 2)), Kelpoint3f(0, 0, 0));
  EXPECT_EQ(c.count, before + 1);
  ExpectXYZ(v.GetUpDirection(), 1, 0, 0);  // a quarter turn about the sight
  // Projection-direction mode turns only the true sight.
  Kel3DViewpoint p = Cam(Kelpoint3f(0, 0, 10), kDown, kY);
  p.SetProjectionDirection(kDown);
  p.Rotate(Kelvector3f(0, static_cast<float>(kPi / 2), 0), Kelpoint3f(0, 0, 0));
  ExpectXYZ(p.GetOrigin(), 0, 0, 10);
  ExpectXYZ(p.GetSightDirection(), -1, 0, 0);
}

// ---- Viewports of planes.

// The cube |x|, |y|, |z| <= 1, planes in the order +x, -x, +y, -y, +z, -z.
Kel3DViewport UnitCube() {
  const Kelpoint3f p[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  const Keldirection3f n[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  return Kel3DViewport(6, p, n);
}
Kel3DBoundingSphere Sphere(float x, float y, float z, float r, float rmm = 0.0f) {
  return Kel3DBoundingSphere(Kelpoint3f(x, y, z), r, rmm);
}
Kel3DBoundingSphere Infinite(Kel3DBoundingSphere s = Kel3DBoundingSphere()) {
  Kel3DBoundingSphere infinite;
  infinite.SetInfinite();
  s += infinite;
  return s;
}
// Planes x = 0, 1, 2, ... n - 1, outward along +x, told apart by d.
Kel3DViewport Slabs(int n) {
  float a[20], b[20] = {}, d[20];
  for (int i = 0; i < n; ++i) a[i] = 1.0f, d[i] = -static_cast<float>(i);
  return Kel3DViewport(n, a, b, b, d);
}
// Plane i as a, b, c, d.
std::vector<float> Plane(const Kel3DViewport& v, int i) {
  const float *a, *b, *c, *d;
  v.GetPlanes(&a, &b, &c, &d);
  return {a[i], b[i], c[i], d[i]};
}

TEST(Kel3DViewport, SpheresAgainstPlanes) {
  const Kel3DViewport cube = UnitCube();
  // Normal (0.6, 0.8, 0) through (3, 4, 7): d = -(1.8 + 3.2) = -5.
  const Kelpoint3f p(3, 4, 7);
  const Keldirection3f n(3, 4, 0);
  EXPECT_THAT(Plane(Kel3DViewport(1, &p, &n), 0), keltest::Near({0.6f, 0.8f, 0, -5}, 1e-6f));
  const struct {
    Kel3DBoundingSphere sphere;
    float scale;
    int inside, outside;
  } cases[] = {
      {Sphere(0, 0, 0, 1), 1, 1, 0},               // tangent from inside
      {Sphere(0.5f, 0, 0, 0.6f), 1, 0, 0},         // crossing +x
      {Sphere(2, 0, 0, 1), 1, 0, 0},               // touching from outside
      {Sphere(2.5f, 0, 0, 1), 1, 0, 1},            // first plane decides
      {Sphere(0, 0, -3, 1), 1, 0, 1},              // last plane decides
      {Sphere(1.5f, 0, 0, 0.6f), 1, 0, 0},         // centre out, reaching back in
      {Sphere(2.5f, 0, 0, 0, 2), 0.5f, 0, 1},      // 2 mm at 0.5: radius 1
      {Sphere(2.5f, 0, 0, 0, 2), 1, 0, 0},         // radius 2
      {Sphere(0.5f, 0, 0, 0, 2), 0.5f, 0, 0},      // dist -0.5 > -1
      {Sphere(0, 0, 0, 0.25f, 1.5f), 0.5f, 1, 0},  // both radii add up to 1
      {Sphere(2.01f, 0, 0, 0.25f, 1.5f), 0.5f, 0, 1},
      {Infinite(), 1, 0, 0},                       // never culled nor wholly inside
      {Infinite(Sphere(10, 0, 0, 1)), 1, 0, 0},    // mixed, finite part outside
      {Infinite(Sphere(0, 0, 0, 0.5f)), 1, 0, 0},  // mixed, finite part inside
      {Kel3DBoundingSphere(), 1, 0, 1},            // empty: nothing to show
  };
  int i = 0;
  for (const auto& c : cases) {
    EXPECT_EQ(cube.IsInside(c.sphere, c.scale), c.inside) << i;
    EXPECT_EQ(cube.IsOutside(c.sphere, c.scale), c.outside) << i++;
  }
  // Points with a tolerance: 0.5 inside +x, 0.5 outside it, on +x and -y.
  const float in[3] = {0.5f, 0, 0}, out[3] = {1.5f, 0, 0}, on[3] = {1, -1, 0};
  EXPECT_EQ(
      std::vector<int>({cube.IsInside(in, 0.4f), cube.IsInside(in, 0.6f), cube.IsInside(out),
                        cube.IsOutside(out, 0.4f), cube.IsOutside(out, 0.5f), cube.IsInside(on),
                        cube.IsOutside(on, 0.0f), cube.IsInside(on, 0.01f)}),
      std::vector<int>({1, 0, 0, 1, 0, 1, 0, 0}));
  const Kel3DViewport all;  // no plane contains everything
  EXPECT_EQ(all.IsInside(out, 5.0f) + all.IsInside(Sphere(1e6f, 0, 0, 1), 1.0f), 2);
}

TEST(Kel3DViewport, CapacityKeepsTheFirstTwelveAndReportsTheRest) {
  testing::internal::CaptureStderr();
  const Kel3DViewport fourteen = Slabs(14);
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Kel3DViewport::Kel3DViewport:", 0), 0u);
  ASSERT_EQ(fourteen.GetNbPlanes(), 12);
  EXPECT_THAT(Plane(fourteen, 11), keltest::Near({1, 0, 0, -11}));
  // 8 + 6: the first 4 of the appended ones are kept.
  Kel3DViewport sum = Slabs(8);
  testing::internal::CaptureStderr();
  sum += UnitCube();
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Kel3DViewport::operator+=:", 0), 0u);
  ASSERT_EQ(sum.GetNbPlanes(), 12);
  EXPECT_THAT(Plane(sum, 11), keltest::Near({0, -1, 0, -1}));
  // Appending a viewport to itself copies its planes, not the ones being written.
  Kel3DViewport twice = Slabs(6);
  twice += twice;
  for (int i = 0; i < 6; ++i) EXPECT_THAT(Plane(twice, 6 + i), keltest::Near({1, 0, 0, -float(i)}));
  // A negative count or missing arrays give no plane.
  Kelpoint3f points[2];
  Keldirection3f normals[2];
  testing::internal::CaptureStderr();
  EXPECT_EQ(Kel3DViewport(-1, points, normals).GetNbPlanes(), 0);
  EXPECT_EQ(Kel3DViewport(2, nullptr, nullptr, nullptr, nullptr).GetNbPlanes(), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Invalid function parameters."),
            std::string::npos);
}

TEST(Kel3DViewport, MovedPointsStayOnTheirSideOfTheMovedPlanes) {
  // A sheared, mirrored, unequally scaled matrix with a translation.
  const Kel4x4Matrix m(Kelvector3f(1, 0.5f, 0), Kelvector3f(0, -2, 0.25f), Kelvector3f(0.3f, 0, 3),
                       Kelvector3f(4, -1, 2));
  Kel3DViewport moved = UnitCube();
  moved *= m;
  const Kel3DViewport cube = UnitCube();
  const float samples[][3] = {{0, 0, 0},           {0.9f, 0.9f, -0.9f}, {1.1f, 0, 0},
                              {0, -1.2f, 0},       {0.5f, 0.5f, 1.3f},  {-3, 2, 0.1f},
                              {0.2f, -0.95f, 0.4f}};
  for (const auto& s : samples)
    EXPECT_EQ(moved.IsInside((m * Kelpoint3f(s)).GetCoord()), cube.IsInside(s)) << s[0] << s[1];
  // A flattening matrix reports the collapsed normals.
  const long before = KelMath::ErrorCount();
  moved = UnitCube();
  moved *= Kel4x4Matrix(Kelvector3f(0, 0, 0), Kelvector3f(0, 0, 0), Kelvector3f(0, 0, 1),
                        Kelvector3f(0, 0, 0));
  EXPECT_EQ(KelMath::ErrorCount() - before, 4);
}

// ---- The 2D and overlay cameras, in the same window at 4 pixels per
// millimetre (a pixel is 0.25 mm).

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
  // The 3D form (a ray in the plane z = 0): the 2D picking tests' near points.

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
  // Only rectangles make a viewport of this camera.
  testing::internal::CaptureStderr();
  v.SetViewport(KelViewport());
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

// Logs the viewpoint's animation events as "<name> <time stamp is now>" and their data.
class Listener : public KelEventSubscriber {
 public:
  explicit Listener(KelViewpoint& v) {
    for (const char* name :
         {KelViewpoint::VIEWPOINT_ANIMATION_STARTED(), KelViewpoint::VIEWPOINT_ANIMATION_STOPED()})
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
  std::vector<std::string> heard;
  void* lastData = nullptr;
};

TEST(KelViewpoint, ZoomIsClampedAndOnlyAChangeIsAnEvent) {
  Kel2DViewpoint v;
  Counter c(v);
  v.SetZoom(3.0f);
  v.SetZoom(3.0f);
  v.SetZoomBounds(10.0f, 2.0f);  // put in order; 3 lies inside them
  EXPECT_EQ(c.count, 1);
  v.SetZoom(50.0f);
  EXPECT_EQ(v.GetZoom(), 10.0f);
  v.SetZoom(0.5f);
  EXPECT_EQ(v.GetZoom(), 2.0f);
  v.SetZoomBounds(4.0f, 8.0f);  // re-clamps the current zoom
  EXPECT_EQ(v.GetZoom(), 4.0f);
  EXPECT_EQ(c.count, 4);
}

TEST(KelViewpoint, OneModificationEventPerBracket) {
  Kel3DViewpoint v;
  Counter c(v);
  v.BeginModification();
  v.BeginModification();
  v.SetOrigin(Kelpoint3f(1, 2, 3));
  v.EndModification();
  v.SetAngle(20.0f);
  EXPECT_EQ(c.count, 0);
  v.EndModification();
  EXPECT_EQ(c.count, 1);
  // A bracket without a change is silent.
  v.BeginModification();
  v.SetGravityMode(GRAVITY_PROPORTIONAL);
  v.EndModification();
  EXPECT_EQ(c.count, 1);
  // An end without a beginning is refused; the camera keeps reporting changes.
  testing::internal::CaptureStderr();
  v.EndModification();
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("KelViewpoint::EndModification:", 0), 0u);
  v.SetFocus(6.0f);
  EXPECT_EQ(c.count, 2);
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
  EXPECT_EQ(l.heard.back(), "VIEWPOINT_ANIMATION_STARTED now");
}

}  // namespace

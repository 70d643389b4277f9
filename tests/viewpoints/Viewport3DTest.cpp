#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KelTestEnv.h"

namespace {

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
      {Sphere(2, 2, 0, 0.5f), 1, 0, 1},            // corner region
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
  testing::internal::CaptureStderr();
  moved = UnitCube();
  moved *= Kel4x4Matrix(Kelvector3f(0, 0, 0), Kelvector3f(0, 0, 0), Kelvector3f(0, 0, 1),
                        Kelvector3f(0, 0, 0));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Direction3D : Vecteur nul"),
            std::string::npos);
  EXPECT_EQ(KelMath::ErrorCount() - before, 4);
}

}  // namespace

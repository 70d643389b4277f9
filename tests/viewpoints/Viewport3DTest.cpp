#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

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

Kel3DBoundingSphere Infinite() {
  Kel3DBoundingSphere s;
  s.SetInfinite();
  return s;
}

// Planes x = 0, 1, 2, ... n - 1, outward along +x, told apart by d.
Kel3DViewport Slabs(int n) {
  float a[20], b[20], c[20], d[20];
  for (int i = 0; i < n; ++i) {
    a[i] = 1.0f;
    b[i] = c[i] = 0.0f;
    d[i] = -static_cast<float>(i);
  }
  return Kel3DViewport(n, a, b, c, d);
}

void ExpectPlane(const Kel3DViewport& v, int i, float a, float b, float c, float d) {
  const float *pa, *pb, *pc, *pd;
  v.GetPlanes(&pa, &pb, &pc, &pd);
  EXPECT_NEAR(pa[i], a, 1e-6f) << "plane " << i;
  EXPECT_NEAR(pb[i], b, 1e-6f) << "plane " << i;
  EXPECT_NEAR(pc[i], c, 1e-6f) << "plane " << i;
  EXPECT_NEAR(pd[i], d, 1e-6f) << "plane " << i;
}

TEST(Kel3DViewport, PlanesThroughPointsHaveConstantMinusNormalDotPoint) {
  const Kel3DViewport cube = UnitCube();
  ASSERT_EQ(cube.GetNbPlanes(), 6);
  ExpectPlane(cube, 5, 0, 0, -1, -1);
  // Normal (0.6, 0.8, 0) through (3, 4, 7): d = -(1.8 + 3.2) = -5.
  const Kelpoint3f p(3, 4, 7);
  const Keldirection3f n(3, 4, 0);
  ExpectPlane(Kel3DViewport(1, &p, &n), 0, 0.6f, 0.8f, 0, -5);
}

TEST(Kel3DViewport, SpheresAgainstPlanes) {
  const Kel3DViewport cube = UnitCube();
  struct Case {
    Kel3DBoundingSphere sphere;
    float scale;
    int inside, outside;
  };
  const Case cases[] = {
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
  };
  int i = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(cube.IsInside(c.sphere, c.scale), c.inside) << i;
    EXPECT_EQ(cube.IsOutside(c.sphere, c.scale), c.outside) << i++;
  }
}

TEST(Kel3DViewport, VolumeStates) {
  const Kel3DViewport cube = UnitCube();
  EXPECT_EQ(cube.IsOutside(Infinite(), 1.0f), 0);
  EXPECT_EQ(cube.IsInside(Infinite(), 1.0f), 0);

  // A mixed volume is never culled, nor wholly inside.
  Kel3DBoundingSphere far = Sphere(10, 0, 0, 1);
  far += Infinite();
  ASSERT_EQ(far.GetState(), 3);
  EXPECT_EQ(cube.IsOutside(far, 1.0f), 0);
  Kel3DBoundingSphere near = Sphere(0, 0, 0, 0.5f);
  near += Infinite();
  ASSERT_EQ(near.GetState(), 3);
  EXPECT_EQ(cube.IsInside(near, 1.0f), 0);
  EXPECT_EQ(cube.IsOutside(near, 1.0f), 0);

  // An empty volume has nothing to show.
  const Kel3DBoundingSphere empty;
  EXPECT_EQ(cube.IsOutside(empty, 1.0f), 1);
  EXPECT_EQ(cube.IsInside(empty, 1.0f), 0);
}

TEST(Kel3DViewport, PointsWithTolerance) {
  const Kel3DViewport cube = UnitCube(), all;
  const float in[3] = {0.5f, 0, 0};   // 0.5 inside +x
  const float out[3] = {1.5f, 0, 0};  // 0.5 outside +x
  const float on[3] = {1, -1, 0};     // on +x and -y
  EXPECT_EQ(cube.IsInside(in, 0.4f), 1);
  EXPECT_EQ(cube.IsInside(in, 0.6f), 0);
  EXPECT_EQ(cube.IsInside(out), 0);
  EXPECT_EQ(cube.IsOutside(out, 0.4f), 1);
  EXPECT_EQ(cube.IsOutside(out, 0.5f), 0);  // 0.5 - 0.5 is not > 0
  EXPECT_EQ(cube.IsInside(on), 1);
  EXPECT_EQ(cube.IsOutside(on, 0.0f), 0);
  EXPECT_EQ(cube.IsInside(on, 0.01f), 0);
  // No plane contains everything.
  EXPECT_EQ(all.IsInside(out, 5.0f), 1);
  EXPECT_EQ(all.IsInside(Sphere(1e6f, 0, 0, 1), 1.0f), 1);
}

TEST(Kel3DViewport, CapacityKeepsTheFirstTwelveAndReportsTheRest) {
  testing::internal::CaptureStderr();
  const Kel3DViewport fourteen = Slabs(14);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("Kel3DViewport::Kel3DViewport:", 0), 0u) << err;
  ASSERT_EQ(fourteen.GetNbPlanes(), 12);
  ExpectPlane(fourteen, 11, 1, 0, 0, -11);

  // 8 + 6: the first 4 of the appended ones are kept.
  Kel3DViewport sum = Slabs(8);
  testing::internal::CaptureStderr();
  sum += UnitCube();
  err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("Kel3DViewport::operator+=:", 0), 0u) << err;
  ASSERT_EQ(sum.GetNbPlanes(), 12);
  ExpectPlane(sum, 8, 1, 0, 0, -1);
  ExpectPlane(sum, 11, 0, -1, 0, -1);

  // Appending a viewport to itself copies its planes, not the ones being written.
  Kel3DViewport twice = Slabs(6);
  testing::internal::CaptureStderr();
  twice += twice;
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  for (int i = 0; i < 6; ++i) ExpectPlane(twice, 6 + i, 1, 0, 0, -static_cast<float>(i));
  testing::internal::CaptureStderr();
  twice += twice;
  EXPECT_NE(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(twice.GetNbPlanes(), 12);

  // Also through points and normals; a negative count or missing arrays give no plane.
  Kelpoint3f p[13];
  Keldirection3f n[13];
  testing::internal::CaptureStderr();
  EXPECT_EQ(Kel3DViewport(13, p, n).GetNbPlanes(), 12);
  EXPECT_EQ(Kel3DViewport(-1, p, n).GetNbPlanes(), 0);
  EXPECT_EQ(Kel3DViewport(2, nullptr, nullptr, nullptr, nullptr).GetNbPlanes(), 0);
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Kel3DViewport::Kel3DViewport: Invalid function parameters."),
            std::string::npos);
}

TEST(Kel3DViewport, MovingPointsAndPlanesTogetherKeepsSides) {
  // A sheared, mirrored, unequally scaled matrix with a translation.
  const Kel4x4Matrix m(Kelvector3f(1, 0.5f, 0), Kelvector3f(0, -2, 0.25f), Kelvector3f(0.3f, 0, 3),
                       Kelvector3f(4, -1, 2));
  Kel3DViewport moved = UnitCube();
  moved *= m;
  const Kel3DViewport cube = UnitCube();
  const float samples[][3] = {{0, 0, 0},           {0.9f, 0.9f, -0.9f}, {1.1f, 0, 0},
                              {0, -1.2f, 0},       {0.5f, 0.5f, 1.3f},  {-3, 2, 0.1f},
                              {0.2f, -0.95f, 0.4f}};
  for (const auto& s : samples) {
    const Kelpoint3f q = m * Kelpoint3f(s);
    EXPECT_EQ(moved.IsInside(q.GetCoord()), cube.IsInside(s)) << s[0] << " " << s[1] << " " << s[2];
  }
}

TEST(Kel3DViewport, FlatteningMatrixReportsCollapsedNormals) {
  Kel3DViewport v = UnitCube();
  const long before = KelMath::ErrorCount();
  testing::internal::CaptureStderr();
  v *= Kel4x4Matrix(Kelvector3f(0, 0, 0), Kelvector3f(0, 0, 0), Kelvector3f(0, 0, 1),
                    Kelvector3f(0, 0, 0));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Direction3D : Vecteur nul"),
            std::string::npos);
  EXPECT_EQ(KelMath::ErrorCount() - before, 4);
  ExpectPlane(v, 2, 1, 0, 0, 0);
}

}  // namespace

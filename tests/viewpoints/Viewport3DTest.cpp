#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
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
  ExpectPlane(cube, 0, 1, 0, 0, -1);
  ExpectPlane(cube, 5, 0, 0, -1, -1);
  // Normal (0.6, 0.8, 0) through (3, 4, 7): d = -(1.8 + 3.2) = -5.
  const Kelpoint3f p(3, 4, 7);
  const Keldirection3f n(3, 4, 0);
  ExpectPlane(Kel3DViewport(1, &p, &n), 0, 0.6f, 0.8f, 0, -5);
}

TEST(Kel3DViewport, SphereAgainstPlanes) {
  const Kel3DViewport cube = UnitCube();
  // Tangent from inside (dist -1 = -r) is still inside.
  EXPECT_EQ(cube.IsInside(Sphere(0, 0, 0, 1), 1.0f), 1);
  EXPECT_EQ(cube.IsOutside(Sphere(0, 0, 0, 1), 1.0f), 0);
  // Crossing +x by 0.1: neither inside nor outside.
  EXPECT_EQ(cube.IsInside(Sphere(0.5f, 0, 0, 0.6f), 1.0f), 0);
  EXPECT_EQ(cube.IsOutside(Sphere(0.5f, 0, 0, 0.6f), 1.0f), 0);
  // Touching from outside (dist 1 = r) is not outside; 0.5 beyond is.
  EXPECT_EQ(cube.IsOutside(Sphere(2, 0, 0, 1), 1.0f), 0);
  EXPECT_EQ(cube.IsOutside(Sphere(2.5f, 0, 0, 1), 1.0f), 1);
  // Any single plane decides, the first one as well as the last.
  EXPECT_EQ(cube.IsOutside(Sphere(0, 0, -3, 1), 1.0f), 1);
  EXPECT_EQ(cube.IsOutside(Sphere(3, 0, 0, 1), 1.0f), 1);
  // Corner region: outside of two planes at once, by 0.5 each.
  EXPECT_EQ(cube.IsOutside(Sphere(2, 2, 0, 0.5f), 1.0f), 1);
  // Centre outside, sphere reaching back in: not outside, not inside.
  EXPECT_EQ(cube.IsOutside(Sphere(1.5f, 0, 0, 0.6f), 1.0f), 0);
  EXPECT_EQ(cube.IsInside(Sphere(1.5f, 0, 0, 0.6f), 1.0f), 0);
}

TEST(Kel3DViewport, MillimetreRadiusGrowsWithScale) {
  const Kel3DViewport cube = UnitCube();
  // Radius 0, 2 mm at 0.5 model units per mm: a sphere of radius 1.
  EXPECT_EQ(cube.IsOutside(Sphere(2.5f, 0, 0, 0, 2), 0.5f), 1);  // 1.5 - 1 > 0
  EXPECT_EQ(cube.IsOutside(Sphere(2.5f, 0, 0, 0, 2), 1.0f), 0);  // 1.5 - 2 < 0
  EXPECT_EQ(cube.IsInside(Sphere(0, 0, 0, 0, 2), 0.5f), 1);      // dist -1 = -r
  EXPECT_EQ(cube.IsInside(Sphere(0.5f, 0, 0, 0, 2), 0.5f), 0);   // dist -0.5 > -1
  // Both radii add: 0.25 + 1.5 * 0.5 = 1.
  EXPECT_EQ(cube.IsInside(Sphere(0, 0, 0, 0.25f, 1.5f), 0.5f), 1);
  EXPECT_EQ(cube.IsOutside(Sphere(2.01f, 0, 0, 0.25f, 1.5f), 0.5f), 1);
}

TEST(Kel3DViewport, VolumeStates) {
  const Kel3DViewport cube = UnitCube();
  EXPECT_EQ(cube.IsOutside(Infinite(), 1.0f), 0);
  EXPECT_EQ(cube.IsInside(Infinite(), 1.0f), 0);

  // A mixed volume whose finite part lies far outside is still never culled...
  Kel3DBoundingSphere far = Sphere(10, 0, 0, 1);
  far += Infinite();
  ASSERT_EQ(far.GetState(), 3);
  EXPECT_EQ(cube.IsOutside(far, 1.0f), 0);
  // ...and one whose finite part lies wholly inside is not wholly inside.
  Kel3DBoundingSphere near = Sphere(0, 0, 0, 0.5f);
  near += Infinite();
  ASSERT_EQ(near.GetState(), 3);
  EXPECT_EQ(cube.IsInside(near, 1.0f), 0);
  EXPECT_EQ(cube.IsOutside(near, 1.0f), 0);

  // An empty volume has nothing to show, whatever its leftover centre says.
  const Kel3DBoundingSphere empty;
  EXPECT_EQ(cube.IsOutside(empty, 1.0f), 1);
  EXPECT_EQ(cube.IsInside(empty, 1.0f), 0);
}

TEST(Kel3DViewport, NoPlaneContainsEverything) {
  const Kel3DViewport all;
  EXPECT_EQ(all.GetNbPlanes(), 0);
  const float p[3] = {1e6f, -1e6f, 3};
  EXPECT_EQ(all.IsOutside(Sphere(1e6f, 0, 0, 1), 1.0f), 0);
  EXPECT_EQ(all.IsInside(Sphere(1e6f, 0, 0, 1), 1.0f), 1);
  EXPECT_EQ(all.IsOutside(p, 0.0f), 0);
  EXPECT_EQ(all.IsInside(p, 5.0f), 1);
  EXPECT_EQ(all.IsInside(p), 1);
}

TEST(Kel3DViewport, PointsWithTolerance) {
  const Kel3DViewport cube = UnitCube();
  const float in[3] = {0.5f, 0, 0};   // 0.5 inside +x
  const float out[3] = {1.5f, 0, 0};  // 0.5 outside +x
  const float on[3] = {1, -1, 0};     // on +x and -y
  EXPECT_EQ(cube.IsInside(in), 1);
  EXPECT_EQ(cube.IsInside(in, 0.4f), 1);
  EXPECT_EQ(cube.IsInside(in, 0.6f), 0);
  EXPECT_EQ(cube.IsOutside(in, 0.0f), 0);
  EXPECT_EQ(cube.IsInside(out), 0);
  EXPECT_EQ(cube.IsOutside(out, 0.4f), 1);
  EXPECT_EQ(cube.IsOutside(out, 0.5f), 0);  // 0.5 - 0.5 is not > 0
  EXPECT_EQ(cube.IsInside(on), 1);
  EXPECT_EQ(cube.IsOutside(on, 0.0f), 0);
  EXPECT_EQ(cube.IsInside(on, 0.0f), 1);
  EXPECT_EQ(cube.IsInside(on, 0.01f), 0);
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
  ExpectPlane(sum, 7, 1, 0, 0, -7);
  ExpectPlane(sum, 8, 1, 0, 0, -1);
  ExpectPlane(sum, 11, 0, -1, 0, -1);

  // Within capacity nothing is reported; appending a viewport to itself copies
  // its planes, not the ones being written.
  Kel3DViewport twice = Slabs(6);
  testing::internal::CaptureStderr();
  twice += twice;
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(twice.GetNbPlanes(), 12);
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

TEST(Kel3DViewport, CopiesAndClonesAreIndependent) {
  Kel3DViewport cube = UnitCube();
  Kel3DViewport copy(cube);
  Kel3DViewport assigned = Slabs(12);
  assigned = cube;
  KelViewport& base = cube;
  std::unique_ptr<KelViewport> clone(base.Clone());
  auto* clone3D = dynamic_cast<Kel3DViewport*>(clone.get());
  ASSERT_NE(clone3D, nullptr);
  EXPECT_EQ(base.SizeOf(), static_cast<int>(sizeof(Kel3DViewport)));

  float *a, *b, *c, *d;
  cube.GetPlanes(&a, &b, &c, &d);
  d[0] = -5.0f;  // the handed-out arrays are the viewport's own: x <= 5 now
  EXPECT_EQ(cube.IsOutside(Sphere(3, 0, 0, 1), 1.0f), 0);
  const Kel3DViewport* others[] = {&copy, &assigned, clone3D};
  for (const Kel3DViewport* v : others) {
    EXPECT_EQ(v->GetNbPlanes(), 6);
    ExpectPlane(*v, 0, 1, 0, 0, -1);
    EXPECT_EQ(v->IsOutside(Sphere(3, 0, 0, 1), 1.0f), 1);
  }
}

TEST(Kel3DViewport, MovedByRotationTranslationAndUniformScaling) {
  // Row-vector matrices: p' = x u + y v + z w + t.
  // Translation by (3, 0, 0): x <= 1 becomes x <= 4, x >= -1 becomes x >= 2.
  Kel3DViewport moved = UnitCube();
  moved *= Kel4x4Matrix(Kelvector3f(3, 0, 0));
  ExpectPlane(moved, 0, 1, 0, 0, -4);
  ExpectPlane(moved, 1, -1, 0, 0, 2);
  ExpectPlane(moved, 2, 0, 1, 0, -1);

  // Quarter turn about z, x -> y, then up by 2 along y: x <= 1 becomes y <= 3,
  // y <= 1 becomes -x <= 1.
  Kel3DViewport turned = UnitCube();
  turned *= Kel4x4Matrix(Kelvector3f(0, 1, 0), Kelvector3f(-1, 0, 0), Kelvector3f(0, 0, 1),
                         Kelvector3f(0, 2, 0));
  ExpectPlane(turned, 0, 0, 1, 0, -3);
  ExpectPlane(turned, 2, -1, 0, 0, -1);
  ExpectPlane(turned, 3, 1, 0, 0, -1);

  // Scaling by 2 about the origin, then 1 along x: x <= 1 becomes x <= 3.
  Kel3DViewport grown = UnitCube();
  grown *= Kel4x4Matrix(Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2),
                        Kelvector3f(1, 0, 0));
  ExpectPlane(grown, 0, 1, 0, 0, -3);
  ExpectPlane(grown, 1, -1, 0, 0, -1);  // x >= -1 becomes x >= -1
  ExpectPlane(grown, 4, 0, 0, 1, -2);
}

TEST(Kel3DViewport, UnequalScalingKeepsPlanesThroughTheMovedPoints) {
  // x + y <= 1, stretched twice along x: its points (1, 0, 0) and (0, 1, 0) go to
  // (2, 0, 0) and (0, 1, 0), so it becomes x + 2y <= 2, normal (1, 2, 0) / sqrt 5.
  const float k = 1.0f / std::sqrt(2.0f);
  const float a = k, b = k, c = 0, d = -k;
  Kel3DViewport v(1, &a, &b, &c, &d);
  v *= Kel4x4Matrix(Kelvector3f(2, 0, 0), Kelvector3f(0, 1, 0), Kelvector3f(0, 0, 1),
                    Kelvector3f(0, 0, 0));
  const float r5 = 1.0f / std::sqrt(5.0f);
  ExpectPlane(v, 0, r5, 2 * r5, 0, -2 * r5);
  // (1.8, 0.05, 0) came from (0.9, 0.05, 0), inside the original plane.
  const float p[3] = {1.8f, 0.05f, 0};
  EXPECT_EQ(v.IsInside(p), 1);
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
  // Everything projected onto the z axis: the x and y planes lose their normals.
  Kel3DViewport v = UnitCube();
  const long before = KelMath::ErrorCount();
  testing::internal::CaptureStderr();
  v *= Kel4x4Matrix(Kelvector3f(0, 0, 0), Kelvector3f(0, 0, 0), Kelvector3f(0, 0, 1),
                    Kelvector3f(0, 0, 0));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(KelMath::ErrorCount() - before, 4);
  EXPECT_NE(err.find("Direction3D : Vecteur nul"), std::string::npos);
  ExpectPlane(v, 2, 1, 0, 0, 0);
  const float *a, *b, *c, *d;
  v.GetPlanes(&a, &b, &c, &d);
  EXPECT_NEAR(c[4], 1.0f, 1e-6f);
}

}  // namespace

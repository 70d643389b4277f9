#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>

#include <gtest/gtest.h>

#include <cmath>

#include "KelTestEnv.h"

namespace {

void ExpectSphere(const Kel3DBoundingSphere& s, float x, float y, float z, float r, float rmm) {
  keltest::ExpectXYZ(Kelpoint3f(s.GetCenter()), x, y, z, 1e-5);
  EXPECT_NEAR(s.GetRadius(), r, 1e-5f);
  EXPECT_EQ(s.GetRadiusMM(), rmm);
}

Kel3DBoundingSphere Sphere(float x, float y, float z, float r, float rmm = 0) {
  return Kel3DBoundingSphere(Kelpoint3f(x, y, z), r, rmm);
}
Kel3DBoundingSphere Infinite() {
  Kel3DBoundingSphere s;
  s.SetInfinite();
  return s;
}
Kel3DBoundingSphere Union(Kel3DBoundingSphere a, const Kel3DBoundingSphere& b) {
  a += b;
  return a;
}
Kel4x4Matrix Rows(Kelvector3f u, Kelvector3f v, Kelvector3f w, Kelvector3f t = {}) {
  return Kel4x4Matrix(u, v, w, t);
}

TEST(Kel3DBoundingSphere, UnionIsTheSmallestSphereHoldingBoth) {
  ExpectSphere(Union(Sphere(0, 0, 0, 1), Sphere(4, 0, 0, 1)), 2, 0, 0, 3, 0);
  // Unequal radii off the axes: the span runs from -1 to 13 along (0.6, 0.8, 0).
  ExpectSphere(Union(Sphere(0, 0, 0, 1, 5), Sphere(6, 8, 0, 3, 2)), 3.6f, 4.8f, 0, 7, 5);
  ExpectSphere(Union(Sphere(1, 1, 1, 1), Sphere(1, 1, 1, 2)), 1, 1, 1, 2, 0);
  // Containment either way; the millimetre radius is the larger in every case.
  ExpectSphere(Union(Sphere(0, 0, 0, 5, 1), Sphere(1, 0, 0, 1, 4)), 0, 0, 0, 5, 4);
  ExpectSphere(Union(Sphere(1, 0, 0, 1, 4), Sphere(0, 0, 2, 5, 1)), 0, 0, 2, 5, 4);
  // An empty volume takes the other; an infinite one takes the finite part it
  // meets, and a finite one keeps its own.
  ExpectSphere(Union(Kel3DBoundingSphere(), Sphere(1, 2, 3, 4, 2)), 1, 2, 3, 4, 2);
  const Kel3DBoundingSphere mixed = Union(Infinite(), Sphere(5, 0, 0, 1, 3));
  EXPECT_EQ(mixed.GetState(), 3);
  ExpectSphere(mixed, 5, 0, 0, 1, 3);
  ExpectSphere(Union(Union(Sphere(1, 2, 3, 4, 2), Infinite()), Kel3DBoundingSphere()), 1, 2, 3, 4,
               2);
}

TEST(Kel3DBoundingSphere, InsideAndOutside) {
  const Kel3DBoundingSphere s = Sphere(0, 0, 0, 3);
  EXPECT_TRUE(s.IsInside(Sphere(1, 0, 0, 1.5f)));
  EXPECT_FALSE(s.IsInside(Sphere(1, 0, 0, 2)));  // touching
  EXPECT_TRUE(s.IsOutside(Sphere(0, 5, 0, 1.5f)));
  EXPECT_FALSE(s.IsOutside(Sphere(0, 5, 0, 2)));  // touching
  const Kel3DBoundingSphere far = Sphere(100, 0, 0, 1);
  EXPECT_FALSE(Kel3DBoundingSphere().IsInside(far));
  EXPECT_TRUE(Kel3DBoundingSphere().IsOutside(far));
  EXPECT_TRUE(Infinite().IsInside(far));
  EXPECT_FALSE(Infinite().IsOutside(far));
}

TEST(Kel3DBoundingSphere, TransformMovesTheCentreAndScalesOutsideTheBand) {
  Kel3DBoundingSphere s = Sphere(2, 0, 0, 1.25f, 3);
  s *= Kel4x4Matrix(Kelvector3f(0, 0, static_cast<float>(KelMath::PI / 2)), Kelpoint3f(1, 0, 0));
  ExpectSphere(s, 1, -1, 0, 1.25f, 3);
  EXPECT_EQ(s.GetRadius(), 1.25f);  // a rotation keeps the radius bit for bit
  const auto uniform = [](float k) { return Rows({k, 0, 0}, {0, k, 0}, {0, 0, k}, {1, 1, 1}); };
  s *= uniform(2);
  ExpectSphere(s, 3, -1, 1, 2.5f, 6);
  s *= uniform(1.0005f);  // inside 0.999..1.001: radii kept
  EXPECT_EQ(s.GetRadius(), 2.5f);
  EXPECT_EQ(s.GetRadiusMM(), 6.0f);
  s *= uniform(1.002f);
  EXPECT_NEAR(s.GetRadius(), 2.505f, 1e-5f);
  EXPECT_NEAR(s.GetRadiusMM(), 6.012f, 1e-5f);

  // diag(2, 0.5, 1) has determinant 1, but (1, 0, 0) of the unit sphere goes
  // to (2, 0, 0): the moved sphere needs radius 2.
  Kel3DBoundingSphere t = Sphere(0, 0, 0, 1, 1);
  t *= Rows({2, 0, 0}, {0, 0.5f, 0}, {0, 0, 1});
  EXPECT_NEAR(t.GetRadius(), 2.0f, 1e-5);
  EXPECT_NEAR(t.GetRadiusMM(), 2.0f, 1e-5);
  // A shear x' = x + y stretches at most by the golden ratio 1.618...
  Kel3DBoundingSphere u = Sphere(0, 0, 0, 1);
  u *= Rows({1, 0, 0}, {1, 1, 0}, {0, 0, 1});
  EXPECT_NEAR(u.GetRadius(), (1.0 + std::sqrt(5.0)) / 2.0, 1e-5);
}

}  // namespace

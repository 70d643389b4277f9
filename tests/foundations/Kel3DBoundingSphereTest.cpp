#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>
#include <cmath>

#include <gtest/gtest.h>

namespace {

void ExpectSphere(const Kel3DBoundingSphere& s, float x, float y, float z, float r, float rmm) {
  EXPECT_NEAR(s.GetCenter()[0], x, 1e-5f);
  EXPECT_NEAR(s.GetCenter()[1], y, 1e-5f);
  EXPECT_NEAR(s.GetCenter()[2], z, 1e-5f);
  EXPECT_NEAR(s.GetRadius(), r, 1e-5f);
  EXPECT_EQ(s.GetRadiusMM(), rmm);
}

Kel3DBoundingSphere Infinite() {
  Kel3DBoundingSphere s;
  s.SetInfinite();
  return s;
}

TEST(Kel3DBoundingSphere, DefaultsAndEmptyOrInfiniteUnions) {
  const Kel3DBoundingSphere none;
  EXPECT_TRUE(none.IsEmpty());
  ExpectSphere(none, 0, 0, 0, 1, 0);

  Kel3DBoundingSphere s;
  s += Kel3DBoundingSphere(Kelpoint3f(1, 2, 3), 4, 2);
  EXPECT_EQ(s.GetState(), 1);
  ExpectSphere(s, 1, 2, 3, 4, 2);

  // An infinite volume takes the finite part it meets; a finite one keeps its own.
  Kel3DBoundingSphere inf = Infinite();
  inf += Kel3DBoundingSphere(Kelpoint3f(5, 0, 0), 1, 3);
  EXPECT_EQ(inf.GetState(), 3);
  ExpectSphere(inf, 5, 0, 0, 1, 3);
  s += Infinite();
  s += Kel3DBoundingSphere();
  EXPECT_EQ(s.GetState(), 3);
  EXPECT_FALSE(s.IsInfinite());
  ExpectSphere(s, 1, 2, 3, 4, 2);
}

TEST(Kel3DBoundingSphere, UnionIsTheSmallestSphereHoldingBoth) {
  Kel3DBoundingSphere a(Kelpoint3f(0, 0, 0), 1, 0);
  a += Kel3DBoundingSphere(Kelpoint3f(4, 0, 0), 1, 0);
  ExpectSphere(a, 2, 0, 0, 3, 0);

  // Unequal radii off the axes: the span runs from -1 to 13 along (0.6, 0.8, 0).
  Kel3DBoundingSphere b(Kelpoint3f(0, 0, 0), 1, 5);
  b += Kel3DBoundingSphere(Kelpoint3f(6, 8, 0), 3, 2);
  ExpectSphere(b, 3.6f, 4.8f, 0, 7, 5);

  // Same center: the larger radius.
  Kel3DBoundingSphere c(Kelpoint3f(1, 1, 1), 1, 0);
  c += Kel3DBoundingSphere(Kelpoint3f(1, 1, 1), 2, 0);
  ExpectSphere(c, 1, 1, 1, 2, 0);

  // Containment either way; the millimetre radius is the larger in every case.
  Kel3DBoundingSphere big(Kelpoint3f(0, 0, 0), 5, 1);
  big += Kel3DBoundingSphere(Kelpoint3f(1, 0, 0), 1, 4);
  ExpectSphere(big, 0, 0, 0, 5, 4);
  Kel3DBoundingSphere small(Kelpoint3f(1, 0, 0), 1, 4);
  small += Kel3DBoundingSphere(Kelpoint3f(0, 0, 2), 5, 1);
  ExpectSphere(small, 0, 0, 2, 5, 4);
}

TEST(Kel3DBoundingSphere, InsideAndOutside) {
  const Kel3DBoundingSphere s(Kelpoint3f(0, 0, 0), 3, 0);
  EXPECT_TRUE(s.IsInside(Kel3DBoundingSphere(Kelpoint3f(1, 0, 0), 1.5f, 0)));
  EXPECT_FALSE(s.IsInside(Kel3DBoundingSphere(Kelpoint3f(1, 0, 0), 2, 0)));  // touching
  EXPECT_TRUE(s.IsInside(Kel3DBoundingSphere()));  // b's state is not looked at
  EXPECT_TRUE(s.IsOutside(Kel3DBoundingSphere(Kelpoint3f(0, 5, 0), 1.5f, 0)));
  EXPECT_FALSE(s.IsOutside(Kel3DBoundingSphere(Kelpoint3f(0, 5, 0), 2, 0)));  // touching

  const Kel3DBoundingSphere far(Kelpoint3f(100, 0, 0), 1, 0);
  EXPECT_FALSE(Kel3DBoundingSphere().IsInside(far));
  EXPECT_TRUE(Kel3DBoundingSphere().IsOutside(far));
  EXPECT_TRUE(Infinite().IsInside(far));
  EXPECT_FALSE(Infinite().IsOutside(far));
}

TEST(Kel3DBoundingSphere, TransformMovesCenterAndScalesOutsideTheBand) {
  Kel3DBoundingSphere s(Kelpoint3f(2, 0, 0), 1.25f, 3);
  s *= Kel4x4Matrix(Kelvector3f(0, 0, static_cast<float>(KelMath::PI / 2)), Kelpoint3f(1, 0, 0));
  ExpectSphere(s, 1, -1, 0, 1.25f, 3);
  EXPECT_EQ(s.GetRadius(), 1.25f);  // a rotation keeps the radius bit for bit

  const auto uniform = [](float k) {
    return Kel4x4Matrix({k, 0, 0}, {0, k, 0}, {0, 0, k}, {1, 1, 1});
  };
  s *= uniform(2);
  ExpectSphere(s, 3, -1, 1, 2.5f, 6);
  s *= uniform(1.0005f);  // inside 0.999..1.001: radii kept
  EXPECT_EQ(s.GetRadius(), 2.5f);
  EXPECT_EQ(s.GetRadiusMM(), 6.0f);
  s *= uniform(1.002f);
  EXPECT_NEAR(s.GetRadius(), 2.505f, 1e-5f);
  EXPECT_NEAR(s.GetRadiusMM(), 6.012f, 1e-5f);
}

}  // namespace

TEST(Kel3DBoundingSphereStretch, UnequalScaleGrowsTheRadiusByTheLargestStretch) {
  // diag(2, 0.5, 1) has determinant 1: the point (1, 0, 0) of the unit sphere
  // goes to (2, 0, 0), so the moved sphere needs radius 2.
  Kel3DBoundingSphere s(Kelpoint3f(0, 0, 0), 1.0f, 1.0f);
  s *= Kel4x4Matrix(Kelvector3f(2, 0, 0), Kelvector3f(0, 0.5f, 0), Kelvector3f(0, 0, 1),
                    Kelvector3f(0, 0, 0));
  EXPECT_NEAR(s.GetRadius(), 2.0f, 1e-5);
  EXPECT_NEAR(s.GetRadiusMM(), 2.0f, 1e-5);

  // A shear x' = x + y: (1, 1)/sqrt(2) reaches |(sqrt(2), 1/sqrt(2))|, the
  // golden ratio 1.618..., the largest stretch of [[1, 0], [1, 1]].
  Kel3DBoundingSphere t(Kelpoint3f(0, 0, 0), 1.0f, 0.0f);
  t *= Kel4x4Matrix(Kelvector3f(1, 0, 0), Kelvector3f(1, 1, 0), Kelvector3f(0, 0, 1),
                    Kelvector3f(0, 0, 0));
  EXPECT_NEAR(t.GetRadius(), (1.0 + std::sqrt(5.0)) / 2.0, 1e-5);

  // A rotation leaves the radius exactly as it was.
  Kel3DBoundingSphere u(Kelpoint3f(1, 2, 3), 4.0f, 0.0f);
  u *= Kel4x4Matrix(Kelvector3f(0.0f, 0.0f, 1.2f), Kelpoint3f(0, 0, 0));
  EXPECT_EQ(u.GetRadius(), 4.0f);
}

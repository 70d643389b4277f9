// Bounding volumes: unions, inside and outside, moves, and the state table.
#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/foundations/KelBoundingElement.h>
#include <kel/framework/KelMath.h>

#include <gtest/gtest.h>

#include <cmath>

#include "KelTestEnv.h"

namespace {

void ExpectBox(const Kel2DBoundingBox& b, float xmin, float xmax, float ymin, float ymax) {
  float e[4];
  b.GetParameter(&e[0], &e[1], &e[2], &e[3]);
  const float expected[4] = {xmin, xmax, ymin, ymax};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(e[i], expected[i], 1e-5f) << i;
}

Kel3x3Matrix Turn(float angle) {
  // Row convention: x goes to (cos, sin).
  return Kel3x3Matrix(Kelvector2f(std::cos(angle), std::sin(angle)),
                      Kelvector2f(-std::sin(angle), std::cos(angle)), Kelpoint2f(0, 0));
}

Kel2DBoundingBox Unbounded(float mm = 0.0f) {
  Kel2DBoundingBox b;
  b.SetInfinite();
  b.SetSizeMM(mm);
  return b;
}

TEST(Kel2DBoundingBox, ConstructionAndUnion) {
  ExpectBox(Kel2DBoundingBox(3, 1, 5, 2), 1, 3, 2, 5);  // extents put in order
  const Kel2DBoundingBox round(Kel2DBoundingSphere(Kelpoint2f(1, 2), 3, 4));
  ExpectBox(round, -2, 4, -1, 5);
  EXPECT_EQ(round.GetSizeMM(), 4.0f);

  Kel2DBoundingBox a(0, 2, 0, 2);
  a += Kel2DBoundingBox(4, 6, -1, 1);
  ExpectBox(a, 0, 6, -1, 2);
  Kel2DBoundingBox empty;
  empty += Kel2DBoundingBox(Kel2DBoundingSphere(Kelpoint2f(0, 0), 1, 2));
  ExpectBox(empty, -1, 1, -1, 1);
  EXPECT_EQ(empty.GetSizeMM(), 2.0f);
  // An infinite operand keeps the extents but not a smaller size in mm.
  a += Unbounded(5);
  EXPECT_EQ(a.GetState(), 3);
  ExpectBox(a, 0, 6, -1, 2);
  EXPECT_EQ(a.GetSizeMM(), 5.0f);
}

TEST(Kel2DBoundingBox, TransformEnclosesTheMovedCorners) {
  // A 10 x 1 box turned a quarter turn becomes 1 x 10.
  Kel2DBoundingBox bar(0, 10, 0, 1);
  bar *= Turn(static_cast<float>(KelMath::PI / 2));
  ExpectBox(bar, -1, 0, 0, 10);
  Kel2DBoundingBox square(0, 1, 0, 1);
  square *= Turn(static_cast<float>(KelMath::PI / 4));
  const float h = std::sqrt(0.5f);
  ExpectBox(square, -h, h, 0, 2 * h);

  // Uniform scaling with a move: the size follows, the screen millimetres stay.
  Kel2DBoundingBox marked(0, 2, 0, 1);
  marked.SetSizeMM(3);
  marked *= Kel3x3Matrix(Kelvector2f(2, 0), Kelvector2f(0, 2), Kelpoint2f(1, 1));
  ExpectBox(marked, 1, 5, 1, 3);
  EXPECT_FLOAT_EQ(marked.GetSizeMM(), 3.0f);
  // Unit determinant (scaling 1) but stretched: the extents still follow.
  marked *= Kel3x3Matrix(Kelvector2f(4, 0), Kelvector2f(0, 0.25f), Kelpoint2f(0, 0));
  ExpectBox(marked, 4, 20, 0.25f, 0.75f);
}

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

// A volume in each of the four states: 0 empty, 1 finite, 2 infinite, 3 both.
Kel3DBoundingSphere SphereInState(int state) {
  Kel3DBoundingSphere s;
  if (state == 1 || state == 3) s = Kel3DBoundingSphere(Kelpoint3f(1, 1, 1), 1, 0);
  if (state == 2) s.SetInfinite();
  if (state == 3) {
    Kel3DBoundingSphere infinite;
    infinite.SetInfinite();
    s += infinite;
  }
  return s;
}

Kel2DBoundingBox BoxInState(int state) {
  Kel2DBoundingBox b;
  if (state == 1 || state == 3) b = Kel2DBoundingBox(0, 1, 0, 1);
  if (state == 2) b.SetInfinite();
  if (state == 3) b += BoxInState(2);
  return b;
}

TEST(KelBoundingElement, InvalidMarkSurvivesUnions) {
  Kel3DBoundingSphere stale = SphereInState(1);
  EXPECT_FALSE(stale.IsInvalid());
  stale -= SphereInState(1);
  EXPECT_TRUE(stale.IsInvalid());
  for (int state = 0; state < 4; ++state) {
    Kel3DBoundingSphere s = stale;
    s += SphereInState(state);
    EXPECT_TRUE(s.IsInvalid());
    Kel3DBoundingSphere fresh = SphereInState(state);
    fresh += stale;
    EXPECT_TRUE(fresh.IsInvalid());
  }
  Kel2DBoundingBox box = BoxInState(1);
  box -= BoxInState(1);
  box += BoxInState(1);
  EXPECT_TRUE(box.IsInvalid());

  // Only a reset clears it.
  stale.SetInfinite();
  EXPECT_FALSE(stale.IsInvalid());
  box.SetEmpty();
  EXPECT_FALSE(box.IsInvalid());
  EXPECT_TRUE(box.IsEmpty());
}

}  // namespace

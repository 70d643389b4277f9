#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/framework/KelMath.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectBox(const Kel2DBoundingBox& b, float xmin, float xmax, float ymin, float ymax) {
  float x0, x1, y0, y1;
  b.GetParameter(&x0, &x1, &y0, &y1);
  EXPECT_NEAR(x0, xmin, 1e-5f);
  EXPECT_NEAR(x1, xmax, 1e-5f);
  EXPECT_NEAR(y0, ymin, 1e-5f);
  EXPECT_NEAR(y1, ymax, 1e-5f);
  EXPECT_NEAR(b.GetWidth(), xmax - xmin, 1e-5f);
  EXPECT_NEAR(b.GetHeight(), ymax - ymin, 1e-5f);
  EXPECT_NEAR(b.GetCenter()[0], 0.5f * (xmin + xmax), 1e-5f);
  EXPECT_NEAR(b.GetCenter()[1], 0.5f * (ymin + ymax), 1e-5f);
}

Kel3x3Matrix Turn(float angle) {
  // Row convention: x goes to (cos, sin).
  return Kel3x3Matrix(Kelvector2f(std::cos(angle), std::sin(angle)),
                      Kelvector2f(-std::sin(angle), std::cos(angle)), Kelpoint2f(0, 0));
}

TEST(Kel2DBoundingBox, ConstructionOrdersTheExtents) {
  const Kel2DBoundingBox none;
  EXPECT_TRUE(none.IsEmpty());
  ExpectBox(none, -0.5f, 0.5f, -0.5f, 0.5f);

  const Kel2DBoundingBox b(3, 1, 5, 2);
  EXPECT_EQ(b.GetState(), 1);
  ExpectBox(b, 1, 3, 2, 5);
  EXPECT_EQ(b.GetSizeMM(), 0.0f);

  const Kel2DBoundingBox round(Kel2DBoundingSphere(Kelpoint2f(1, 2), 3, 4));
  EXPECT_EQ(round.GetState(), 1);
  ExpectBox(round, -2, 4, -1, 5);
  EXPECT_EQ(round.GetSizeMM(), 4.0f);

  Kel2DBoundingSphere unbounded;
  unbounded.SetInfinite();
  EXPECT_TRUE(Kel2DBoundingBox(unbounded).IsInfinite());
}

TEST(Kel2DBoundingBox, Union) {
  Kel2DBoundingBox a(0, 2, 0, 2);
  a += Kel2DBoundingBox(4, 6, -1, 1);
  ExpectBox(a, 0, 6, -1, 2);

  Kel2DBoundingBox empty;
  Kel2DBoundingBox marked(Kel2DBoundingSphere(Kelpoint2f(0, 0), 1, 2));
  empty += marked;
  ExpectBox(empty, -1, 1, -1, 1);
  EXPECT_EQ(empty.GetSizeMM(), 2.0f);

  // An infinite or empty operand keeps the extents but not a smaller size in mm.
  Kel2DBoundingBox unbounded;
  unbounded.SetInfinite();
  unbounded.SetSizeMM(5);
  a += unbounded;
  EXPECT_EQ(a.GetState(), 3);
  ExpectBox(a, 0, 6, -1, 2);
  EXPECT_EQ(a.GetSizeMM(), 5.0f);
}

TEST(Kel2DBoundingBox, InsideAndOutside) {
  const Kel2DBoundingBox b(0, 10, 0, 10);
  EXPECT_TRUE(Kel2DBoundingBox(2, 3, 2, 3).IsInside(b));  // this inside the argument
  EXPECT_FALSE(b.IsInside(Kel2DBoundingBox(2, 3, 2, 3)));
  EXPECT_FALSE(Kel2DBoundingBox(0, 3, 2, 3).IsInside(b));  // strict
  EXPECT_TRUE(b.IsOutside(Kel2DBoundingBox(11, 12, 0, 1)));
  EXPECT_FALSE(b.IsOutside(Kel2DBoundingBox(10, 12, 0, 1)));  // touching
  EXPECT_TRUE(Kel2DBoundingBox().IsOutside(b));
  Kel2DBoundingBox unbounded;
  unbounded.SetInfinite();
  EXPECT_FALSE(unbounded.IsOutside(Kel2DBoundingBox(50, 60, 50, 60)));
  EXPECT_TRUE(unbounded.IsInside(b));
}

TEST(Kel2DBoundingBox, TransformEnclosesTheMovedCorners) {
  // A 10 x 1 box turned a quarter turn becomes 1 x 10.
  Kel2DBoundingBox bar(0, 10, 0, 1);
  bar *= Turn(static_cast<float>(KelMath::PI / 2));
  ExpectBox(bar, -1, 0, 0, 10);
  // A child drawn at (-0.5, 8) in the turned bag is not culled.
  EXPECT_FALSE(bar.IsOutside(Kel2DBoundingBox(-0.6f, -0.4f, 7.9f, 8.1f)));

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
  EXPECT_FLOAT_EQ(marked.GetSizeMM(), 3.0f);
}

TEST(Kel2DBoundingSphere, UnionInsideAndTransform) {
  Kel2DBoundingSphere a(Kelpoint2f(0, 0), 1, 0);
  a += Kel2DBoundingSphere(Kelpoint2f(4, 0), 1, 2);
  EXPECT_FLOAT_EQ(a.GetCenter()[0], 2.0f);
  EXPECT_FLOAT_EQ(a.GetCenter()[1], 0.0f);
  EXPECT_FLOAT_EQ(a.GetRadius(), 3.0f);
  EXPECT_EQ(a.GetRadiusMM(), 2.0f);
  EXPECT_TRUE(a.IsInside(Kel2DBoundingSphere(Kelpoint2f(4, 0), 0.5f, 0)));
  EXPECT_TRUE(a.IsOutside(Kel2DBoundingSphere(Kelpoint2f(2, 5), 1.5f, 0)));

  Kel2DBoundingSphere empty;
  empty += a;
  EXPECT_EQ(empty.GetState(), 1);
  EXPECT_EQ(empty.GetRadius(), 3.0f);

  // Scaling is the square root of |det|: 3 for a uniform 3, 1 for a turn.
  a *= Kel3x3Matrix(Kelvector2f(3, 0), Kelvector2f(0, 3), Kelpoint2f(0, 1));
  EXPECT_FLOAT_EQ(a.GetCenter()[0], 6.0f);
  EXPECT_FLOAT_EQ(a.GetCenter()[1], 1.0f);
  EXPECT_FLOAT_EQ(a.GetRadius(), 9.0f);
  EXPECT_FLOAT_EQ(a.GetRadiusMM(), 6.0f);
  a *= Turn(1.0f);
  EXPECT_FLOAT_EQ(a.GetRadius(), 9.0f);
}

}  // namespace

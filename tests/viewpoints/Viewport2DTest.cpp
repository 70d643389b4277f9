#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/viewpoints/Kel2DViewport.h>
#include <kel/viewpoints/KelViewport.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectRect(const Kel2DViewport& v, float xmin, float xmax, float ymin, float ymax) {
  float a, b, c, d;
  v.GetParameter(&a, &b, &c, &d);
  EXPECT_NEAR(a, xmin, 1e-5f);
  EXPECT_NEAR(b, xmax, 1e-5f);
  EXPECT_NEAR(c, ymin, 1e-5f);
  EXPECT_NEAR(d, ymax, 1e-5f);
}

Kel2DBoundingBox Box(float x1, float x2, float y1, float y2, float mm = 0.0f) {
  Kel2DBoundingBox b(x1, x2, y1, y2);
  b.SetSizeMM(mm);
  return b;
}

Kel2DBoundingBox Unbounded() {
  Kel2DBoundingBox b;
  b.SetInfinite();
  return b;
}

TEST(Kel2DViewport, MovedRectangleEnclosesTheMovedCorners) {
  // An eighth of a turn: the corners land on the axes at sqrt 2.
  const float c = std::cos(0.25f * 3.14159265f), s = std::sin(0.25f * 3.14159265f);
  Kel2DViewport square(-1, 1, -1, 1);
  square *= Kel3x3Matrix(Kelvector2f(c, s), Kelvector2f(-s, c), Kelpoint2f(0, 0));
  const float r2 = std::sqrt(2.0f);
  ExpectRect(square, -r2, r2, -r2, r2);

  Kel2DViewport moved(2, 0, 1, 0);  // bounds put in order
  moved *= Kel3x3Matrix(Kelvector2f(3, -1));
  ExpectRect(moved, 3, 5, -1, 0);
  // A mirror in x with a scaling by 2 in y: xmin and xmax trade places.
  moved *= Kel3x3Matrix(Kelvector2f(-1, 0), Kelvector2f(0, 2), Kelpoint2f(0, 0));
  ExpectRect(moved, -5, -3, -2, 0);
}

TEST(Kel2DViewport, BoxesGrownByTheirMillimetreSize) {
  const Kel2DViewport view(0, 10, 0, 10);
  // 2 mm at 0.5 grow a box by 1: touching a side is neither outside nor inside.
  const struct {
    Kel2DBoundingBox box;
    float scale;
    int outside, inside;
  } cases[] = {{Box(11, 12, 2, 3), 1, 1, 0},       {Box(11, 12, 2, 3, 2), 0.5f, 0, 0},
               {Box(11, 12, 2, 3, 2), 0.4f, 1, 0}, {Box(-3, -1, 2, 3), 1, 1, 0},
               {Box(2, 3, -3, -1), 1, 1, 0},       {Box(2, 3, 11, 12), 1, 1, 0},
               {Box(9, 11, 2, 3), 1, 0, 0},        {Box(1, 9, 1, 9), 1, 0, 1},
               {Box(1, 9, 1, 9, 2), 0.5f, 0, 0},   {Box(1, 9, 1, 9, 2), 0.4f, 0, 1},
               {Box(0, 5, 1, 9), 1, 0, 0},         {Box(1, 9, 1, 10), 1, 0, 0}};
  int i = 0;
  for (const auto& c : cases) {
    EXPECT_EQ(view.IsOutside(c.box, c.scale), c.outside) << i;
    EXPECT_EQ(view.IsInside(c.box, c.scale), c.inside) << i++;
  }
}

TEST(Kel2DViewport, BoxStates) {
  const Kel2DViewport view(0, 10, 0, 10);
  const Kel2DBoundingBox empty;  // leftover extents -0.5 to 0.5 overlap the view
  EXPECT_EQ(view.IsOutside(empty, 1.0f), 1);
  EXPECT_EQ(view.IsInside(empty, 1.0f), 0);
  EXPECT_EQ(view.IsOutside(Unbounded(), 1.0f), 0);
  EXPECT_EQ(view.IsInside(Unbounded(), 1.0f), 1);

  // Mixed: never outside, inside only when the finite part is.
  Kel2DBoundingBox far = Box(20, 21, 20, 21);
  far += Unbounded();
  ASSERT_EQ(far.GetState(), 3);
  EXPECT_EQ(view.IsOutside(far, 1.0f), 0);
  EXPECT_EQ(view.IsInside(far, 1.0f), 0);
  Kel2DBoundingBox near = Box(2, 3, 2, 3);
  near += Unbounded();
  EXPECT_EQ(view.IsInside(near, 1.0f), 1);
}

TEST(Kel2DViewport, RectanglesAgainstRectangles) {
  const Kel2DViewport view(0, 10, 0, 10);
  EXPECT_EQ(view.IsOutside(Kel2DViewport(10, 12, 0, 1)), 0);  // touching
  EXPECT_EQ(view.IsOutside(Kel2DViewport(10.5f, 12, 0, 1)), 1);
  EXPECT_EQ(view.IsOutside(Kel2DViewport(2, 3, -5, -0.5f)), 1);
  EXPECT_EQ(view.IsOutside(Kel2DViewport(-5, 15, -5, 15)), 0);  // enclosing
  EXPECT_EQ(view.IsInside(Kel2DViewport(1, 9, 1, 9)), 1);
  EXPECT_EQ(view.IsInside(Kel2DViewport(0, 9, 1, 9)), 0);
  EXPECT_EQ(view.IsInside(Kel2DViewport(-5, 15, -5, 15)), 0);
}

}  // namespace

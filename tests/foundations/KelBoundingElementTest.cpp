#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/KelBoundingElement.h>

#include <gtest/gtest.h>

namespace {

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

const int kUnion[4][4] = {{0, 1, 2, 3}, {1, 1, 3, 3}, {2, 3, 2, 3}, {3, 3, 3, 3}};

TEST(KelBoundingElement, UnionStateTable) {
  for (int a = 0; a < 4; ++a) {
    ASSERT_EQ(SphereInState(a).GetState(), a);
    for (int b = 0; b < 4; ++b) {
      Kel3DBoundingSphere s = SphereInState(a);
      KelBoundingElement& base = s;
      base += SphereInState(b);
      EXPECT_EQ(base.GetState(), kUnion[a][b]) << a << " += " << b;

      Kel3DBoundingSphere sphere = SphereInState(a);
      sphere += SphereInState(b);
      EXPECT_EQ(sphere.GetState(), kUnion[a][b]) << "sphere " << a << " += " << b;

      Kel2DBoundingBox box = BoxInState(a);
      box += BoxInState(b);
      EXPECT_EQ(box.GetState(), kUnion[a][b]) << "box " << a << " += " << b;
    }
  }
  // A mixed volume is not infinite.
  EXPECT_TRUE(SphereInState(2).IsInfinite());
  EXPECT_FALSE(SphereInState(3).IsInfinite());
  EXPECT_FALSE(SphereInState(3).IsEmpty());
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

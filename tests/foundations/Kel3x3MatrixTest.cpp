#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/framework/KelMath.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

void ExpectArray(const Kel3x3Matrix& m, const std::array<float, 16>& e) {
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m.GetMatrix()[i], e[i]) << i;
}

TEST(Kel3x3Matrix, TransformsAndComposes) {
  // A quarter turn (x to y), then a move by (10, 0).
  const Kel3x3Matrix turn(Kelvector2f(0, 1), Kelvector2f(-1, 0), Kelpoint2f(0, 0));
  const Kel3x3Matrix shift(Kelvector2f(10, 0));
  Kel3x3Matrix m = turn;
  m *= shift;
  EXPECT_EQ(m * Kelpoint2f(1, 0), Kelpoint2f(10, 1));
  EXPECT_EQ((shift * turn) * Kelpoint2f(1, 0), Kelpoint2f(0, 11));
  EXPECT_EQ(m * Kelvector2f(1, 0), Kelvector2f(0, 1));

  const Kel3x3Matrix stretch(Kelvector2f(3, 0), Kelvector2f(0, 3), Kelpoint2f(1, 1));
  const Keldirection2f d = stretch * Keldirection2f(0, 1);
  EXPECT_FLOAT_EQ(d.y, 1.0f);

  const long before = KelMath::ErrorCount();
  testing::internal::CaptureStderr();
  const Keldirection2f lost =
      Kel3x3Matrix(Kelvector2f(0, 0), Kelvector2f(0, 0), Kelpoint2f(1, 1)) * Keldirection2f(0, 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Direction2D : Vecteur nul\n");
  EXPECT_EQ(KelMath::ErrorCount(), before + 1);
  EXPECT_EQ(lost.x, 1.0f);
  EXPECT_EQ(lost.y, 0.0f);
}

TEST(Kel3x3Matrix, DeterminantAndScaling) {
  const Kel3x3Matrix m(Kelvector2f(1, 2), Kelvector2f(3, 4), Kelpoint2f(5, 6));
  EXPECT_FLOAT_EQ(m.GetDeterminant(), -2.0f);
  EXPECT_FLOAT_EQ(m.GetScaling(), std::sqrt(2.0f));
  const Kel3x3Matrix mirror(Kelvector2f(-3, 0), Kelvector2f(0, 3), Kelpoint2f(0, 0));
  EXPECT_FLOAT_EQ(mirror.GetScaling(), 3.0f);
  EXPECT_EQ(Kel3x3Matrix().GetScaling(), 1.0f);
}

TEST(Kel3x3Matrix, Inversion) {
  const Kel3x3Matrix m(Kelvector2f(1, 2), Kelvector2f(3, 4), Kelpoint2f(5, 6));
  const Kel3x3Matrix inv = m.GetInvertedMatrix();
  ExpectArray(inv, {-2, 1, 0, 0, 1.5f, -0.5f, 0, 0, 0, 0, 1, 0, 1, -2, 0, 1});
  EXPECT_FLOAT_EQ(inv.GetDeterminant(), -0.5f);
  EXPECT_EQ(inv * (m * Kelpoint2f(1, 1)), Kelpoint2f(1, 1));

  // Singular (|det| not above 1e-10): the identity, silently.
  const long before = KelMath::ErrorCount();
  for (const float k : {0.0f, 1e-11f}) {
    const Kel3x3Matrix flat(Kelvector2f(k, 0), Kelvector2f(0, 1), Kelpoint2f(5, 6));
    const Kel3x3Matrix id = flat.GetInvertedMatrix();
    ExpectArray(id, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    EXPECT_EQ(id.GetDeterminant(), 1.0f);
  }
  EXPECT_EQ(KelMath::ErrorCount(), before);
  const Kel3x3Matrix small(Kelvector2f(1e-9f, 0), Kelvector2f(0, 1), Kelpoint2f(0, 0));
  EXPECT_NEAR(small.GetInvertedMatrix().GetMatrix()[0], 1e9f, 1e3f);
}

}  // namespace

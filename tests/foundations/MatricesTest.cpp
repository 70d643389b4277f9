// Matrices: transforms, determinants, scaling bands and inverses, against
// numbers worked out by hand.
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "KelTestEnv.h"

namespace {

template <class M>
void ExpectArray(const M& m, const std::array<float, 16>& e) {
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

constexpr float kPi = static_cast<float>(KelMath::PI);

void ExpectPoint(const Kelpoint3f& p, float x, float y, float z) {
  keltest::ExpectXYZ(p, x, y, z, 1e-5);
}

Kel4x4Matrix Diagonal(float a, float b, float c, Kelvector3f t = {}) {
  return Kel4x4Matrix({a, 0, 0}, {0, b, 0}, {0, 0, c}, t);
}

TEST(Kel4x4Matrix, RotationTurnsClockwiseSeenFromTheAxisTip) {
  Kel4x4Matrix m;
  m.SetRotation(Keldirection3f(0, 0, 1), Kelpoint3f(0, 0, 0), kPi / 2);
  ExpectPoint(m * Kelpoint3f(1, 0, 0), 0, -1, 0);
  ExpectPoint(m * Kelpoint3f(0, 1, 0), 1, 0, 0);
  ExpectPoint(m * Kelpoint3f(0, 0, 3), 0, 0, 3);

  // About x: y goes to -z and z to y.
  m.SetRotation(Keldirection3f(1, 0, 0), Kelpoint3f(0, 0, 0), kPi / 2);
  ExpectPoint(m * Kelpoint3f(0, 1, 0), 0, 0, -1);
  ExpectPoint(m * Kelpoint3f(0, 0, 1), 0, 1, 0);

  // A third of a turn about the diagonal through (0, 0, 1) cycles the axes x -> z.
  m.SetRotation(Keldirection3f(1, 1, 1), Kelpoint3f(0, 0, 1), 2 * kPi / 3);
  ExpectPoint(m * Kelpoint3f(1, 0, 1), 0, 0, 2);
  ExpectPoint(m * Kelpoint3f(0, 1, 1), 1, 0, 1);
  ExpectPoint(m * Kelpoint3f(0, 0, 1), 0, 0, 1);

  // About -z: the opposite angle.
  Kel4x4Matrix down, up;
  down.SetRotation(Keldirection3f(0, 0, -1), Kelpoint3f(1, 2, 0), 0.7f);
  up.SetRotation(Keldirection3f(0, 0, 1), Kelpoint3f(1, 2, 0), -0.7f);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(down.GetMatrix()[i], up.GetMatrix()[i], 1e-6f) << i;
}

TEST(Kel4x4Matrix, ProductAppliesLeftOperandFirst) {
  const Kel4x4Matrix shift(Kelvector3f(1, 0, 0)), twice = Diagonal(2, 2, 2);
  ExpectPoint((shift * twice) * Kelpoint3f(0, 0, 0), 2, 0, 0);
  ExpectPoint((twice * shift) * Kelpoint3f(0, 0, 0), 1, 0, 0);
  Kel4x4Matrix m = shift;
  m *= m;  // the operand may be the matrix itself
  ExpectPoint(m * Kelpoint3f(0, 0, 0), 2, 0, 0);

  // Vectors ignore the translation.
  const Kelvector3f v = (shift * twice) * Kelvector3f(1, 1, 1);
  EXPECT_EQ(v, Kelvector3f(2, 2, 2));
  const Kel4x4Matrix sum = Kel4x4Matrix() + Kel4x4Matrix();
  EXPECT_FLOAT_EQ(sum.GetDeterminant(), 8.0f);
  EXPECT_FLOAT_EQ(sum.GetMatrix()[15], 2.0f);
}

TEST(Kel4x4Matrix, DirectionsAreRenormalisedOrReplaced) {
  const Keldirection3f d = Diagonal(3, 3, 3) * Keldirection3f(0, 1, 0);
  EXPECT_FLOAT_EQ(d.y, 1.0f);

  const long before = KelMath::ErrorCount();
  testing::internal::CaptureStderr();
  const Keldirection3f lost = Diagonal(0, 0, 0) * Keldirection3f(0, 1, 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Direction3D : Vecteur nul\n");
  EXPECT_EQ(KelMath::ErrorCount(), before + 1);
  EXPECT_EQ(lost, Keldirection3f::Unchecked(1, 0, 0));
}

TEST(Kel4x4Matrix, DeterminantAndScalingBands) {
  const Kel4x4Matrix twice = Diagonal(2, 2, 2);
  EXPECT_FLOAT_EQ(twice.GetDeterminant(), 8.0f);
  EXPECT_FLOAT_EQ(twice.GetScaling(), 2.0f);
  EXPECT_FLOAT_EQ(Diagonal(-8, 1, 1).GetScaling(), 2.0f);
  EXPECT_FLOAT_EQ(Diagonal(1, 2, 4).GetScaling(), 2.0f);  // the cube root of |det|

  // A rotation: determinant within rounding of 1, scaling exactly 1.
  const Kel4x4Matrix turn(Kelvector3f(0.3f, -1.1f, 0.4f), Kelpoint3f(1, 2, 3));
  EXPECT_NEAR(turn.GetDeterminant(), 1.0f, 1e-6f);
  EXPECT_EQ(turn.GetScaling(), 1.0f);
  EXPECT_EQ(Diagonal(-1, 1, 1).GetScaling(), 1.0f);

  // The band is [0.9999989867, 1.0000009537], bounds included.
  EXPECT_EQ(Diagonal(0.9999989867210388f, 1, 1).GetScaling(), 1.0f);
  EXPECT_EQ(Diagonal(1.0000009536743164f, 1, 1).GetScaling(), 1.0f);
  EXPECT_NE(Diagonal(0.9999985f, 1, 1).GetScaling(), 1.0f);
  EXPECT_NE(Diagonal(1.0000025f, 1, 1).GetScaling(), 1.0f);
}

TEST(Kel4x4Matrix, InvertsAffineMatrices) {
  Kel4x4Matrix inv;
  Diagonal(2, 4, 0.5f, {1, 2, 3}).GetInvertedMatrix(inv);
  ExpectArray(inv, {0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 2, 0, -0.5f, -0.5f, -6, 1});
  EXPECT_FLOAT_EQ(inv.GetDeterminant(), 0.25f);
  EXPECT_NEAR(inv.GetScaling(), 0.6299605f, 1e-6f);

  // A rotation with an off-axis centre and a translation, inverted in place.
  Kel4x4Matrix m(Kelvector3f(1, 2, 3), Kelvector3f(0.5f, 0.2f, -0.9f), Kelpoint3f(3, -1, 2));
  m *= Diagonal(3, 3, 3);
  const Kelpoint3f p(0.25f, -4, 7);
  const Kelpoint3f q = m * p;
  m.GetInvertedMatrix(m);
  ExpectPoint(m * q, p.x, p.y, p.z);
}

TEST(Kel4x4Matrix, SingularMatrixLeavesTheOutputUntouched) {
  const Kel4x4Matrix before(Kelvector3f(1, 2, 3));
  Kel4x4Matrix out = before;
  const Kel4x4Matrix tiny = Diagonal(1e-6f, 1e-5f, 1e-5f);  // determinant 1e-16
  tiny.GetInvertedMatrix(out);
  Diagonal(0, 1, 1).GetInvertedMatrix(out);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out.GetMatrix()[i], before.GetMatrix()[i]);

  // 1e-14 is above the threshold: inverted.
  Diagonal(1e-6f, 1e-4f, 1e-4f).GetInvertedMatrix(out);
  EXPECT_NEAR(out.GetMatrix()[0], 1e6f, 1.0f);
}

}  // namespace

#include <kel/framework/KelMath.h>
#include <kel/framework/KelMathFunctions.h>
#include <kel/framework/KelMathLine.h>
#include <kel/framework/KelMathTransformation.h>

#include <gtest/gtest.h>

#include <cmath>

#include "KelTestEnv.h"

namespace {

const double PI = KelMath::PI;
const double DEG = KelMath::DEGRERADIANS;

Keldirection3f InXY(double degrees) {
  return Keldirection3f(static_cast<float>(std::cos(degrees * DEG)),
                        static_cast<float>(std::sin(degrees * DEG)), 0.0f);
}

void ExpectPoint(const Kelpoint3f& p, float x, float y, float z) {
  keltest::ExpectXYZ(p, x, y, z, 1e-5);
}
void ExpectPoint(const KelMathPoint& p, double x, double y, double z) {
  keltest::ExpectXYZ(p, x, y, z, 1e-12);
}

TEST(MathAngles, SpecialAngleMeansParallelOrOppositeWithinTolerance) {
  const Keldirection3f x(1, 0, 0);
  EXPECT_EQ(Special_angle(x, InXY(9), 10 * DEG), 1);
  EXPECT_EQ(Special_angle(x, InXY(11), 10 * DEG), 0);
  EXPECT_EQ(Special_angle(x, InXY(175), 10 * DEG), 1) << "5 degrees from the opposite";
  EXPECT_EQ(Special_angle(x, InXY(90), 10 * DEG), 0);
  const Keldirection3f d(1, 2, 3);
  EXPECT_EQ(Special_angle(d, d, PI / 1000), 1);
  EXPECT_EQ(Special_angle(d, x, PI / 1000), 0);
}

TEST(MathAngles, ValueAngleTurnsByTheRightHandAboutTheAxis) {
  const Keldirection3f x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
  EXPECT_NEAR(Value_angle(x, y, z), PI / 2, 1e-7);
  EXPECT_NEAR(Value_angle(y, x, z), 3 * PI / 2, 1e-7) << "answers lie in [0, 2pi)";
  EXPECT_NEAR(Value_angle(x, y, Keldirection3f(0, 0, -1)), 3 * PI / 2, 1e-7);
  EXPECT_NEAR(Value_angle(x, Keldirection3f(-1, 0, 0), z), PI, 1e-7);
  EXPECT_EQ(Value_angle(x, x, z), 0.0);
  // (1,0,1) and (0,1,1) seen from above are x and y: a quarter turn, though
  // the directions themselves are 60 degrees apart.
  EXPECT_NEAR(Value_angle(Keldirection3f(1, 0, 1), Keldirection3f(0, 1, 1), z), PI / 2, 1e-7);
  EXPECT_EQ(Value_angle(z, x, z), 0.0) << "a direction along the axis has no angle";

  EXPECT_NEAR(Value_angle(Keldirection2f(1, 0), Keldirection2f(-1, 1)), 3 * PI / 4, 1e-7);
  EXPECT_NEAR(Value_angle(Keldirection2f(1, 0), Keldirection2f(0, -1)), 3 * PI / 2, 1e-7);
}

// Skew lines and lines meeting planes: the manipulators' drag tests, worked
// out by hand.
TEST(MathDistances, PointLineAndParallelLines) {
  Kelpoint3f foot, on1, on2;
  const Keldirection3f x(1, 0, 0);
  EXPECT_NEAR(KelDistPtLn(Kelpoint3f(1, 2, 3), Kelpoint3f(0, 0, 0), x, foot), std::sqrt(13.0),
              1e-6);
  ExpectPoint(foot, 1, 0, 0);
  // Parallel lines: the first point stays where it is.
  EXPECT_NEAR(KelDistLnLn(Kelpoint3f(0, 0, 0), x, Kelpoint3f(5, 0, 4), x, on1, on2), 4.0, 1e-6);
  ExpectPoint(on1, 0, 0, 0);
  ExpectPoint(on2, 0, 0, 4);
}

TEST(MathTransformation, TranslationsRotationsAndTheirComposition) {
  // (Points moved, and the row-vector matrix of GetMatrix: every
  // manipulator's drag test.)
  const KelMathTransformation shift(KelMathVector(1, 0, 0));
  EXPECT_EQ(shift * KelMathVector(0, 1, 0), KelMathVector(0, 1, 0)) << "vectors do not move";

  // A quarter turn about the vertical through (1, 0, 0).
  const KelMathTransformation turn(KelMathLine(KelMathPoint(1, 0, 0), KelMathVector(0, 0, 2)), 90);
  ExpectPoint(turn * KelMathPoint(2, 0, 0), 1, 1, 0);
  ExpectPoint(turn * KelMathPoint(1, 0, 5), 1, 0, 5);
  const KelMathVector v = turn * KelMathVector(1, 0, 0);
  EXPECT_NEAR(v.x, 0, 1e-12);
  EXPECT_NEAR(v.y, 1, 1e-12);

  // a * b applies a first.
  const KelMathTransformation aroundOrigin(KelMathLine(KelMathPoint(), KelMathVector(0, 0, 1)), 90);
  ExpectPoint((aroundOrigin * shift) * KelMathPoint(1, 0, 0), 1, 1, 0);
  ExpectPoint((shift * aroundOrigin) * KelMathPoint(1, 0, 0), 0, 2, 0);
  EXPECT_TRUE((turn * turn.GetInverse()).IsIdentity(1e-12));
}

TEST(MathTransformation, LineWithoutDirectionIsReported) {
  const long before = KelMath::ErrorCount();
  testing::internal::CaptureStderr();
  const KelMathLine line(KelMathPoint(1, 2, 3), KelMathVector());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Direction3D : Vecteur nul\n");
  EXPECT_EQ(KelMath::ErrorCount(), before + 1);
  EXPECT_EQ(line.GetDirection(), KelMathVector(1, 0, 0));
}

}  // namespace

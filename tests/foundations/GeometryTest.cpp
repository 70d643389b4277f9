// Matrices (transforms, determinants, scaling bands and inverses) and bounding
// volumes (unions, inside and outside, moves, and the state table), against
// numbers worked out by hand.
#include <gtest/gtest.h>

#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/foundations/KelBoundingElement.h>
#include <kel/framework/KelMath.h>

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

TEST(Kel3x3Matrix, DeterminantScalingAndInversion) {
  const Kel3x3Matrix m(Kelvector2f(1, 2), Kelvector2f(3, 4), Kelpoint2f(5, 6));
  EXPECT_FLOAT_EQ(m.GetDeterminant(), -2.0f);
  EXPECT_FLOAT_EQ(m.GetScaling(), std::sqrt(2.0f));
  const Kel3x3Matrix mirror(Kelvector2f(-3, 0), Kelvector2f(0, 3), Kelpoint2f(0, 0));
  EXPECT_FLOAT_EQ(mirror.GetScaling(), 3.0f);

  const Kel3x3Matrix inv = m.GetInvertedMatrix();
  ExpectArray(inv, {-2, 1, 0, 0, 1.5f, -0.5f, 0, 0, 0, 0, 1, 0, 1, -2, 0, 1});
  EXPECT_FLOAT_EQ(inv.GetDeterminant(), -0.5f);

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

// Bounding volumes.

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
  // (A quarter turn: the 2D bag's bounds in RepsTest.)
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

TEST(Kel3DBoundingSphere, UnionIsTheSmallestSphereHoldingBoth) {
  // (Equal radii on an axis: the bag bounds in RepsTest.) Unequal radii off the axes: the span runs
  // from -1 to 13 along (0.6, 0.8, 0).
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
  const auto uniform = [](float k) { return Diagonal(k, k, k, {1, 1, 1}); };
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
  t *= Diagonal(2, 0.5f, 1);
  EXPECT_NEAR(t.GetRadius(), 2.0f, 1e-5);
  EXPECT_NEAR(t.GetRadiusMM(), 2.0f, 1e-5);
  // A shear x' = x + y stretches at most by the golden ratio 1.618...
  Kel3DBoundingSphere u = Sphere(0, 0, 0, 1);
  u *= Kel4x4Matrix({1, 0, 0}, {1, 1, 0}, {0, 0, 1}, {});
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

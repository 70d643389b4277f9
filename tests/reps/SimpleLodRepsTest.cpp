// Levels of detail of the cylinder, curve and arc Reps, chosen through a real
// conic camera at several distances.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/reps/Kel3DArcCircleRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCurveRep.h>
#include <kel/reps/Kel3DCylinderRep.h>

#include <cmath>
#include <vector>

#include "KelRecordingRender.h"
#include "KelTestEnv.h"

namespace {

using testing::FloatNear;
using testing::Pointwise;
using F = std::vector<float>;
using I = std::vector<int>;
constexpr double kPi = KelMath::PI;
// Model size of one pixel at unit depth: tan(15 deg) / (height / 2).
const double kScale = std::tan(15.0 * kPi / 180.0) / (0.5 * KelCameraRender::kSize);

// With a sag precision of 2 pixels the tolerated chord error at depth D is
// exactly 2 * kScale * D, whatever the volume's radius: the camera distance
// that tolerates `sag` at the origin.
float DistanceFor(double sag) {
  return float(sag / (2.0 * kScale));
}

// What a Rep draws seen with a tolerated sag at the origin.
std::string DrawnAt(Kel3DRep& rep, double sag) {
  KelCameraRender render;
  render.LookFrom(DistanceFor(sag));
  rep.DrawShading(render, 0);
  return render.Joined();
}

F Sags(const Kel3DCylinderRep& c) {
  return F(c.GetSags(), c.GetSags() + c.GetNbLevels());
}
// Points of the meshes of every level but the axis.
I Points(const Kel3DCylinderRep& c) {
  I n;
  for (int level = 0; level + 1 < c.GetNbLevels(); ++level)
    n.push_back(c.GetMesh(level)->GetNbPoints());
  return n;
}

TEST(SimpleCylinderRep, LevelsFromTheDefaultOrAGivenSag) {
  // 2 (1 - cos(pi/16)), 2 (1 - cos(pi/8)), 2 (1 - cos(pi/4)), 2; the last is the axis.
  Kel3DCylinderRep c(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 4), 2.0f);
  EXPECT_THAT(Sags(c), Pointwise(FloatNear(1e-6f), F{0.0384294f, 0.1522409f, 0.5857864f, 2}));
  EXPECT_EQ(Points(c), (I{16, 8, 4}));
  EXPECT_EQ(c.GetMesh(3), nullptr);
  // Sphere (0, 0, 2), radius sqrt(2^2 + 2^2).
  keltest::ExpectXYZ(Kelpoint3f(c.GetBoundingElement().GetCenter()), 0, 0, 2);
  EXPECT_NEAR(c.GetBoundingElement().GetRadius(), std::sqrt(8.0), 1e-6);

  KelModelIdentificator none;
  const float base[3] = {0, 0, 0}, top[3] = {0, 0, 4}, plane[3] = {1, 0, 0};
  // Sag 5 >= radius 2 becomes 0.2; a = acos(0.9) = 0.451027; 2a gives
  // 2 (1 - cos 0.902054) = 0.76, 4a gives 2.46 > 2 and stops; pi / a = 6.97
  // makes 7 points, pi / 2a = 3.48 makes 3.
  Kel3DCylinderRep given(base, top, 2.0f, plane, 5.0f, none, nullptr);
  EXPECT_THAT(Sags(given), Pointwise(FloatNear(1e-6f), F{0.2f, 0.76f, 2}));
  EXPECT_EQ(Points(given), (I{7, 3}));
  // A fine sag on a large radius asks for 497 points: held at 300, never the
  // empty cylinder primitive that vanishes at close range. a = 0.0063246,
  // sags 0.01, 0.04, 0.16, 0.64, 500.
  Kel3DCylinderRep big(base, top, 500.0f, plane, 0.01f, none, nullptr);
  EXPECT_THAT(Sags(big), Pointwise(FloatNear(1e-3f), F{0.01f, 0.04f, 0.16f, 0.64f, 500}));
  EXPECT_EQ(Points(big), (I{300, 248, 124, 62}));
  EXPECT_EQ(DrawnAt(big, 2e-6), "IsDrawable volume, Draw3DCylinder 300");
  // A sag that is not positive takes the default levels; no radius leaves the axis.
  for (float bad : {0.0f, -1.0f, std::nanf("")})
    EXPECT_EQ(Points(Kel3DCylinderRep(base, top, 2.0f, plane, bad, none, nullptr)), (I{16, 8, 4}));
  Kel3DCylinderRep axis(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 4), 0.0f);
  EXPECT_EQ(axis.GetNbLevels(), 1);
  EXPECT_EQ(DrawnAt(axis, 0.01), "IsDrawable volume, Draw3DLine 2");
  EXPECT_EQ(Kel3DCylinderRep::CirclePointCount(5.0f, 1.0f), 3) << "sag beyond the diameter";
}

TEST(SimpleCylinderRep, CirclePointsStartOnThePlaneVectorAndTurnBackwards) {
  // Axis z: reference (1, 2, 3); plane vector z x (1, 2, 3) = (-2, 1, 0) / sqrt 5.
  Kel3DCylinderRep c(Kelpoint3f(1, 1, 1), Kelpoint3f(1, 1, 5), 3.0f);
  const float s5 = std::sqrt(5.0f);
  keltest::ExpectXYZ(c.GetPlaneVector(), -2 / s5, 1 / s5, 0, 1e-6);
  // Angle 0 in the last slot of the 16.
  keltest::ExpectXYZ(Kelpoint3f(c.GetMesh(0)->GetPoints() + 45), 1 - 6 / s5, 1 + 3 / s5, 1);
  // Walking the base circle in storage order turns clockwise about the axis:
  // a cap over that order faces out of the base (-d).
  for (int level = 0; level < 3; ++level) {
    const Kel3DCylinderGP* m = c.GetMesh(level);
    const int n = m->GetNbPoints();
    Kelvector3f newell;
    for (int k = 0; k < n; ++k) {
      const Kelvector3f a(m->GetPoints() + 3 * k), b(m->GetPoints() + 3 * ((k + 1) % n));
      newell += (a - Kelvector3f(1, 1, 1)) ^ (b - Kelvector3f(1, 1, 1));
    }
    EXPECT_LT(newell.z, 0.0f) << "level " << level;
    EXPECT_NEAR(newell.x, 0.0f, 1e-4);
  }
  // An axis along (1, 2, 3) is special to the reference: (1, 0, 0) is used,
  // and d x (1, 0, 0) = (0, 3, -2) / sqrt 13.
  Kel3DCylinderRep slanted(Kelpoint3f(0, 0, 0), Kelpoint3f(1, 2, 3), 1.0f);
  const float s13 = std::sqrt(13.0f);
  keltest::ExpectXYZ(slanted.GetPlaneVector(), 0, 3 / s13, -2 / s13, 1e-6);
}

TEST(SimpleCylinderRep, LevelAndElementKindFollowTheToleratedSag) {
  // Radius 2 along x around the origin: the thresholds are 0.1522 (8 points),
  // 0.5858 (4 points) and 2 (the axis, drawn as a line of element kind 1).
  Kel3DCylinderRep c(Kelpoint3f(-2, 0, 0), Kelpoint3f(2, 0, 0), 2.0f);
  const std::pair<double, const char*> cases[] = {
      {0.01, "Draw3DCylinder 16"}, {0.15, "Draw3DCylinder 16"}, {0.155, "Draw3DCylinder 8"},
      {0.58, "Draw3DCylinder 8"},  {0.59, "Draw3DCylinder 4"},  {1.99, "Draw3DCylinder 4"},
      {2.01, "Draw3DLine 2"},      {50.0, "Draw3DLine 2"}};
  for (const auto& [sag, drawn] : cases) {
    KelCameraRender render;
    render.LookFrom(DistanceFor(sag));
    c.DrawShading(render, 0);
    EXPECT_EQ(render.Joined(), std::string("IsDrawable volume, ") + drawn) << "sag " << sag;
    EXPECT_EQ(render.GetCurrentAttribute().ElementKind(), sag > 2 ? 1 : 3) << "sag " << sag;
  }
  // Without meshes on the support the finest level stands for the cylinder.
  KelCameraRender render;
  render.LookFrom(DistanceFor(50.0));
  render.SetMesh(0);
  c.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "IsDrawable volume, Draw3DCylinder 16");
}

TEST(SimpleCurveRep, DrawsThePrimitiveOfTheChosenLevel) {
  // Levels of sags 0.01, 0.1, 0.5: tolerated 0.05 -> level 0, 0.3 -> 1, 2 -> 2.
  const float sags[3] = {0.01f, 0.1f, 0.5f};
  Kel3DCurveRep curve(3, sags);
  curve.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 0, 0), 1.0f, 0.0f));
  const float pts[6] = {0, 0, 0, 1, 0, 0};
  curve.AddWireframeLOD(0, new Kel3DPolylineGP(pts, 2, 1));
  curve.AddWireframeLOD(2, new Kel3DMarkerGP(pts, 2, DEFAULT_SYMBOL, 1));
  // Replacing a level releases the primitive it held (no leak).
  curve.AddWireframeLOD(2, new Kel3DLineGP(pts, 2, 1));
  EXPECT_EQ(DrawnAt(curve, 0.05), "IsDrawable volume, Draw3DPolyline");
  EXPECT_EQ(DrawnAt(curve, 0.3), "IsDrawable volume") << "an empty level draws nothing";
  EXPECT_EQ(DrawnAt(curve, 2.0), "IsDrawable volume, Draw3DLine 2");
  // A level out of range is refused and the caller keeps its primitive.
  auto* stray = new Kel3DLineGP(pts, 2, 1);
  for (int bad : {-1, 3}) {
    testing::internal::CaptureStderr();
    curve.AddWireframeLOD(bad, stray);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Kel3DCurveRep::AddWireframeLOD: Invalid function parameters.\n");
  }
  KelGraphicPrimitive::Destroy(stray);
}

TEST(SimpleArcCircleRep, SegmentsFollowTheToleratedSag) {
  const float centre[3] = {0, 0, 0}, normal[3] = {0, 0, 1}, axis[3] = {1, 0, 0};
  Kel3DArcCircleRep arc(centre, normal, axis, 10.0f, 0.0f, float(kPi));
  // Tolerated sag 0.1 on radius 10: a = 2 acos(0.99) = 0.28334 rad = 45.1
  // units of 2pi/1000 -> 45; 1000 / 45 = 22.2 segments per turn, half a turn
  // gives int(11.1 + 0.5) = 11 points. Nearer, sag 0.001: a = 0.028284 = 4.5
  // units -> int(5.0) = 5; 200 per turn, 100 points.
  for (const auto& [sag, points] : {std::pair<double, size_t>{0.1, 11}, {0.001, 100}}) {
    KelCameraRender render;
    render.LookFrom(DistanceFor(sag));
    arc.DrawShading(render, 0);
    ASSERT_EQ(render.polylines.size(), 1u);
    const std::vector<float>& p = render.polylines[0];
    EXPECT_EQ(p.size(), 3 * points) << "sag " << sag;
    keltest::ExpectXYZ(Kelpoint3f(p.data()), 10, 0, 0, 1e-5);
    keltest::ExpectXYZ(Kelpoint3f(p.data() + p.size() - 3), -10, 0, 0, 1e-3);
  }
}

}  // namespace

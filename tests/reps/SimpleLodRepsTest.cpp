// Levels of detail of the cylinder, curve and arc Reps, chosen through a real
// conic camera at several distances.
#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/reps/Kel3DArcCircleRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCurveRep.h>
#include <kel/reps/Kel3DCylinderRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>
#include <memory>
#include <vector>

#include "KelRecordingRender.h"

namespace {

constexpr double kPi = KelMath::PI;
// Model size of one pixel at unit depth: tan(15 deg) / (height / 2).
const double kScale = std::tan(15.0 * kPi / 180.0) / (0.5 * KelCameraRender::kSize);

// With a sag precision of 2 pixels the tolerated chord error at depth D is
// exactly 2 * kScale * D, whatever the volume's radius: the camera distance
// that tolerates `sag` at the origin.
double DistanceFor(double sag) {
  return sag / (2.0 * kScale);
}

// What a Rep draws from a camera at distance d.
std::string DrawnFrom(Kel3DRep& rep, double d) {
  KelCameraRender render;
  render.LookFrom(float(d));
  rep.DrawShading(render, 0);
  return render.Joined();
}

TEST(SimpleCylinderRep, DefaultLevelsAndMeshSizes) {
  Kel3DCylinderRep c(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 4), 2.0f);
  ASSERT_EQ(c.GetNbLevels(), 4);
  // 2 (1 - cos(pi/16)), 2 (1 - cos(pi/8)), 2 (1 - cos(pi/4)), 2.
  EXPECT_NEAR(c.GetSags()[0], 0.0384294, 1e-6);
  EXPECT_NEAR(c.GetSags()[1], 0.1522409, 1e-6);
  EXPECT_NEAR(c.GetSags()[2], 0.5857864, 1e-6);
  EXPECT_EQ(c.GetSags()[3], 2.0f);
  for (int level = 0; level < 3; ++level) EXPECT_EQ(c.GetMesh(level)->GetNbPoints(), 16 >> level);
  EXPECT_EQ(c.GetMesh(3), nullptr) << "the last level is the axis";

  // Sphere (0, 0, 2), radius sqrt(2^2 + 2^2).
  Kel3DCylinderRep d(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 4), 3.0f);
  EXPECT_EQ(Kelpoint3f(d.GetBoundingElement().GetCenter()), Kelpoint3f(0, 0, 2));
  EXPECT_NEAR(d.GetBoundingElement().GetRadius(), std::sqrt(13.0), 1e-6);
}

TEST(SimpleCylinderRep, LevelsFromAGivenSag) {
  KelModelIdentificator none;
  const float base[3] = {0, 0, 0}, top[3] = {0, 0, 4}, plane[3] = {1, 0, 0};

  // Sag 5 >= radius 2 becomes 0.2; a = acos(0.9) = 0.451027; 2a gives
  // 2 (1 - cos 0.902054) = 0.76, 4a gives 2.46 > 2 and stops.
  Kel3DCylinderRep c(base, top, 2.0f, plane, 5.0f, none, nullptr);
  ASSERT_EQ(c.GetNbLevels(), 3);
  EXPECT_NEAR(c.GetSags()[0], 0.2, 1e-6);
  EXPECT_NEAR(c.GetSags()[1], 0.76, 1e-6);
  EXPECT_EQ(c.GetSags()[2], 2.0f);
  // pi / 0.451027 = 6.97 -> 7; pi / 0.902054 = 3.48 -> 3.
  EXPECT_EQ(c.GetMesh(0)->GetNbPoints(), 7);
  EXPECT_EQ(c.GetMesh(1)->GetNbPoints(), 3);

  // A fine sag on a large radius asks for 497 points: held at 300, never the
  // empty cylinder primitive that vanishes at close range. a = 0.0063246,
  // sags 0.01, 0.04, 0.16, 0.64, 500 with 300, 248, 124 and 62 points.
  Kel3DCylinderRep big(base, top, 500.0f, plane, 0.01f, none, nullptr);
  ASSERT_EQ(big.GetNbLevels(), 5);
  EXPECT_NEAR(big.GetSags()[3], 0.64, 1e-3);
  const int bigPoints[4] = {300, 248, 124, 62};
  for (int level = 0; level < 4; ++level)
    EXPECT_EQ(big.GetMesh(level)->GetNbPoints(), bigPoints[level]);
  EXPECT_EQ(DrawnFrom(big, 1.0), "IsDrawable volume, Draw3DCylinder 300");

  // A sag that is not positive takes the default levels.
  for (float bad : {0.0f, -1.0f, std::nanf("")}) {
    Kel3DCylinderRep d(base, top, 2.0f, plane, bad, none, nullptr);
    ASSERT_EQ(d.GetNbLevels(), 4) << bad;
    EXPECT_EQ(d.GetMesh(0)->GetNbPoints(), 16) << bad;
  }
}

TEST(SimpleCylinderRep, ZeroRadiusIsItsAxis) {
  Kel3DCylinderRep c(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 4), 0.0f);
  ASSERT_EQ(c.GetNbLevels(), 1);
  EXPECT_EQ(DrawnFrom(c, 10.0), "IsDrawable volume, Draw3DLine 2");
  EXPECT_EQ(Kel3DCylinderRep::CirclePointCount(0.0f, 0.0f), 3);
  EXPECT_EQ(Kel3DCylinderRep::CirclePointCount(5.0f, 1.0f), 3) << "sag beyond the diameter";
}

TEST(SimpleCylinderRep, CirclePointsStartOnThePlaneVectorAndTurnBackwards) {
  // Axis z: reference (1, 2, 3); plane vector z x (1, 2, 3) = (-2, 1, 0) / sqrt 5
  // and the second in-plane direction z x p = (-1, -2, 0) / sqrt 5.
  Kel3DCylinderRep c(Kelpoint3f(1, 1, 1), Kelpoint3f(1, 1, 5), 3.0f);
  const float s5 = std::sqrt(5.0f);
  EXPECT_NEAR(c.GetPlaneVector().x, -2 / s5, 1e-6);
  EXPECT_NEAR(c.GetPlaneVector().y, 1 / s5, 1e-6);
  const Kel3DCylinderGP* mesh = c.GetMesh(0);
  ASSERT_EQ(mesh->GetNbPoints(), 16);
  const float* p = mesh->GetPoints();
  // Angle 0 in the last slot; the order is checked below.
  EXPECT_NEAR(p[45], 1 + 3 * (-2 / s5), 1e-5);
  EXPECT_NEAR(p[46], 1 + 3 * (1 / s5), 1e-5);
  EXPECT_NEAR(p[47], 1.0f, 1e-6);

  // Walking the base circle in storage order turns clockwise about the axis:
  // a cap over that order faces out of the base (-d), and the top cap, walked
  // backwards, faces out of the top (+d).
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
  EXPECT_NEAR(slanted.GetPlaneVector().x, 0.0f, 1e-6);
  EXPECT_NEAR(slanted.GetPlaneVector().y, 3 / s13, 1e-6);
  EXPECT_NEAR(slanted.GetPlaneVector().z, -2 / s13, 1e-6);
}

TEST(SimpleCylinderRep, LevelFollowsTheToleratedSagWithDistance) {
  // Radius 2 along x around the origin: the thresholds are 0.1522 (8 points),
  // 0.5858 (4 points) and 2 (the axis).
  Kel3DCylinderRep c(Kelpoint3f(-2, 0, 0), Kelpoint3f(2, 0, 0), 2.0f);
  struct Case {
    double sag;
    const char* drawn;
  } cases[] = {{0.01, "Draw3DCylinder 16"}, {0.15, "Draw3DCylinder 16"},
               {0.155, "Draw3DCylinder 8"}, {0.58, "Draw3DCylinder 8"},
               {0.59, "Draw3DCylinder 4"},  {1.99, "Draw3DCylinder 4"},
               {2.01, "Draw3DLine 2"},      {50.0, "Draw3DLine 2"}};
  for (const Case& k : cases) {
    EXPECT_EQ(DrawnFrom(c, DistanceFor(k.sag)), std::string("IsDrawable volume, ") + k.drawn)
        << "tolerated sag " << k.sag;
  }

  // Without meshes on the support the finest level stands for the cylinder.
  KelCameraRender render;
  render.LookFrom(float(DistanceFor(50.0)));
  render.SetMesh(0);
  c.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "IsDrawable volume, Draw3DCylinder 16");
}

TEST(SimpleCylinderRep, ElementKindSwitchesWithTheLevelDrawn) {
  Kel3DCylinderRep c(Kelpoint3f(-2, 0, 0), Kelpoint3f(2, 0, 0), 2.0f);
  // After construction the last level built (the axis) left kind 1.
  EXPECT_EQ(c.GetGraphicAttributeSet().ElementKind(), 1);
  KelCameraRender render;
  std::vector<int> kinds;
  for (double sag : {0.01, 10.0, 0.3, 10.0}) {
    render.LookFrom(float(DistanceFor(sag)));
    c.DrawShading(render, 0);
    kinds.push_back(render.GetCurrentAttribute().ElementKind());
  }
  EXPECT_EQ(kinds, (std::vector<int>{3, 1, 3, 1}));
  EXPECT_EQ(c.GetGraphicAttributeSet().ElementKind(), 1);
}

TEST(SimpleCylinderRep, ModifyRebuildsEveryLevelAndTheParentsBounds) {
  auto* bag = new Kel3DBagRep;
  auto* c = new Kel3DCylinderRep(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 4), 2.0f);
  bag->AddChild(*c);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), std::sqrt(8.0), 1e-5);

  c->Modify(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 8), 3.0f);
  ASSERT_EQ(c->GetNbLevels(), 4);
  EXPECT_NEAR(c->GetSags()[0], 3 * (1 - std::cos(kPi / 16)), 1e-6);
  for (int level = 0; level < 3; ++level) {
    const Kel3DCylinderGP* m = c->GetMesh(level);
    const float* p = m->GetPoints() + 3 * (m->GetNbPoints() - 1);
    EXPECT_NEAR(std::hypot(p[0], p[1]), 3.0f, 1e-5) << "level " << level;
  }
  EXPECT_EQ(c->GetAxisLine()->GetPoints()[5], 8.0f);
  // Sphere (0, 0, 4), radius 5: the bag follows.
  EXPECT_NEAR(bag->GetBoundingElement().GetCenter()[2], 4.0f, 1e-5);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), 5.0f, 1e-5);
  bag->Destroy();
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

  auto drawn = [&](double sag) { return DrawnFrom(curve, DistanceFor(sag)); };
  EXPECT_EQ(drawn(0.05), "IsDrawable volume, Draw3DPolyline");
  EXPECT_EQ(drawn(0.3), "IsDrawable volume") << "an empty level draws nothing";
  EXPECT_EQ(drawn(2.0), "IsDrawable volume, Draw3DLine 2");

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
  const std::pair<double, size_t> cases[] = {{0.1, 11}, {0.001, 100}};
  for (const auto& k : cases) {
    KelCameraRender render;
    render.LookFrom(float(DistanceFor(k.first)));
    arc.DrawShading(render, 0);
    ASSERT_EQ(render.polylines.size(), 1u);
    EXPECT_EQ(render.polylines[0].size(), 3 * k.second) << "sag " << k.first;
    const std::vector<float>& p = render.polylines[0];
    EXPECT_NEAR(p[0], 10.0f, 1e-5);
    EXPECT_NEAR(p[p.size() - 3], -10.0f, 1e-3);
    EXPECT_NEAR(p[p.size() - 2], 0.0f, 1e-3);
  }
}

}  // namespace

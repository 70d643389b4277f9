// The simple Reps. Shaded rectangle, cuboid, sphere and cone: every triangle
// of their faces must turn outwards and agree with its normals. Line, point,
// cloud and axis: volumes, drawing tests and rebuilds. Cylinder, curve and
// arc: levels of detail chosen through a real conic camera at several
// distances. The light source set and its Rep. The ready-made 2D Reps.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel2DImagePixelGP.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DPolylineGP.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DFixedArrowGP.h>
#include <kel/primitives/Kel3DLightSourceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/render/KelDisplayList.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel2DCadreRep.h>
#include <kel/reps/Kel2DCrossRep.h>
#include <kel/reps/Kel2DCustomRep.h>
#include <kel/reps/Kel2DImagePixelRep.h>
#include <kel/reps/Kel2DSimpleGeometricTextRep.h>
#include <kel/reps/Kel3DArcCircleRep.h>
#include <kel/reps/Kel3DAxisRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCloudOfPointsRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DCurveRep.h>
#include <kel/reps/Kel3DCylinderRep.h>
#include <kel/reps/Kel3DLineRep.h>
#include <kel/reps/Kel3DRectangleRep.h>
#include <kel/reps/Kel3DSimpleConeRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>
#include <kel/reps/KelLightSourceSet.h>
#include <kel/reps/KelLightSourceSetRep.h>
#include <kel/reps/KelSurfacicRep.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "KelRecordingRender.h"
#include "KelTestEnv.h"
#include "KelTestScene.h"

namespace {

using keltest::ExpectXYZ;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using Triangle = std::array<int, 3>;  // coordinate positions
using F = std::vector<float>;

// The triangles a face stands for: its triangles, its strips (every other
// triangle turned back to keep the winding) and its fans.
std::vector<Triangle> TrianglesOf(const Kel3DFaceGP& f) {
  std::vector<Triangle> out;
  const int* t = f.GetTriangles();
  for (int k = 0; k < f.GetNbTriangles(); ++k)
    out.push_back({t[3 * k], t[3 * k + 1], t[3 * k + 2]});
  const int* s = f.GetStrips();
  for (int k = 0; k < f.GetNbStrips(); s += f.GetStripLengths()[k++])
    for (int i = 0; i + 2 < f.GetStripLengths()[k]; ++i)
      out.push_back(i % 2 ? Triangle{s[i + 1], s[i], s[i + 2]}
                          : Triangle{s[i], s[i + 1], s[i + 2]});
  const int* n = f.GetFans();
  for (int k = 0; k < f.GetNbFans(); n += f.GetFanLengths()[k++])
    for (int i = 1; i + 1 < f.GetFanLengths()[k]; ++i) out.push_back({n[0], n[i], n[i + 1]});
  return out;
}

// Every non-degenerate triangle of the face turns away from `inside` and
// agrees with the face's normals (one per vertex, or the single one), and
// every vertex lies in the sphere. Answers the number of triangles checked.
int ExpectOutward(const Kel3DFaceGP& f, const Kelpoint3f& inside, const Kel3DBoundingSphere& s) {
  const float* v = f.GetVertexArray();
  const float* n = f.GetNormals();
  const bool perVertex = f.GetNbNormalCoords() == f.GetNbVertexCoords();
  int checked = 0;
  for (const Triangle& t : TrianglesOf(f)) {
    const Kelvector3f a(v + t[0]), b(v + t[1]), c(v + t[2]);
    const Kelvector3f g = (b - a) ^ (c - a);
    if (g.Norm() < 1e-3f) continue;  // pole or closing sliver
    ++checked;
    EXPECT_GT(g * ((a + b + c) / 3.0f - inside.AsVector()), 0.0f) << t[0] << " " << t[1];
    const Kelvector3f normal =
        perVertex ? Kelvector3f(n + t[0]) + Kelvector3f(n + t[1]) + Kelvector3f(n + t[2])
                  : Kelvector3f(n);
    EXPECT_GT(g * normal, 0.0f) << t[0] << " " << t[1];
  }
  for (int k = 0; k < f.GetNbVertexCoords(); k += 3)
    EXPECT_LE((Kelpoint3f(v + k) - Kelpoint3f(s.GetCenter())).Norm(), s.GetRadius() + 1e-5f);
  return checked;
}

std::string Drawn(Kel3DRep& rep, int inside = 0, int outside = 0, float cullingSize = 0) {
  KelRecordingRender render;
  render.outside = outside;
  render.SetCullingSize(cullingSize);
  rep.DrawShading(render, inside);
  return render.Joined();
}

TEST(SimpleRectangleRep, FacesUCrossV) {
  Kel3DRectangleRep r(Kelpoint3f(1, 1, 0), Kelvector3f(2, 0, 0), Kelvector3f(0, 3, 0), 7);
  ExpectXYZ(Kelpoint3f(r.GetBoundingElement().GetCenter()), 2, 2.5f, 0);
  EXPECT_NEAR(r.GetBoundingElement().GetRadius(), 0.5f * std::sqrt(13.0f), 1e-6);
  EXPECT_EQ(ExpectOutward(*r.GetFace(), Kelpoint3f(2, 2.5f, -1), r.GetBoundingElement()), 2);
  // A slanted parallelogram: its far corners lie on the longer diagonal u - v.
  Kel3DRectangleRep slanted(Kelpoint3f(), Kelvector3f(4, 0, 0), Kelvector3f(-3, 1, 0), 1);
  EXPECT_EQ(ExpectOutward(*slanted.GetFace(), Kelpoint3f(0, 0, -1), slanted.GetBoundingElement()),
            2);
  EXPECT_EQ(Drawn(r), "IsDrawable volume, SetForeground 7, IsSeen, Draw3DPlanarFace");
}

TEST(SimpleCuboidRep, SixSidesFacingOutwardsWhateverTheHandedness) {
  const Kelpoint3f corner(1, 2, 3);
  const Kelvector3f u(2, 0, 0), v(0, 3, 0), w(0, 0, 4);
  // Right-handed, left-handed and slanted edge triples.
  const std::array<Kelvector3f, 3> triples[] = {
      {u, v, w}, {v, u, w}, {Kelvector3f(2, 0, 0), Kelvector3f(1, 2, 0), Kelvector3f(1, 1, 3)}};
  for (const auto& e : triples) {
    Kel3DCuboidRep box(corner, e[0], e[1], e[2], 12);
    const Kelpoint3f centre = corner + 0.5f * (e[0] + e[1] + e[2]);
    EXPECT_EQ(Kelpoint3f(box.GetBoundingElement().GetCenter()), centre);
    for (int k = 0; k < 6; ++k)
      EXPECT_EQ(ExpectOutward(*box.GetFace(k), centre, box.GetBoundingElement()), 2) << k;
  }
  Kel3DCuboidRep box(corner, u, v, w, 400);
  EXPECT_NEAR(box.GetBoundingElement().GetRadius(), 0.5f * std::sqrt(29.0f), 1e-6);

  // Moved, then reshaped: the bag follows.
  auto* bag = new Kel3DBagRep;
  auto* cube = new Kel3DCuboidRep(Kelpoint3f(0, 0, 0), Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0),
                                  Kelvector3f(0, 0, 2), 1);
  bag->AddChild(*cube);
  cube->Modify(Kelpoint3f(10, 0, 0));
  EXPECT_NEAR(bag->GetBoundingElement().GetCenter()[0], 11.0f, 1e-5);
  cube->Modify(Kelpoint3f(0, 0, 0), Kelvector3f(6, 0, 0), Kelvector3f(0, 2, 0),
               Kelvector3f(0, 0, 3));
  EXPECT_NEAR(bag->GetBoundingElement().GetCenter()[0], 3.0f, 1e-5);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), 3.5f, 1e-5);
  bag->Destroy();
}

TEST(SimpleSphereRep, PointsOnTheSphereFacingOutwards) {
  for (int meridians : {3, 7}) {
    Kel3DSimpleSphereRep s(Kelpoint3f(1, 2, 3), 5.0f, meridians);
    const Kel3DFaceGP& f = *s.GetFace();
    ASSERT_EQ(f.GetNbVertexCoords(), 3 * (meridians + 1) * (meridians + 1));
    EXPECT_GE(ExpectOutward(f, Kelpoint3f(1, 2, 3), s.GetBoundingElement()), meridians * 2);
    for (int k = 0; k < f.GetNbVertexCoords(); k += 3) {
      const Kelvector3f radial = Kelpoint3f(f.GetVertexArray() + k) - Kelpoint3f(1, 2, 3);
      EXPECT_NEAR(radial.Norm(), 5.0f, 1e-5);
      EXPECT_NEAR(radial * Kelvector3f(f.GetNormals() + k), 5.0f, 1e-5);
    }
    ExpectXYZ(Kelpoint3f(f.GetVertexArray()), 1, 2, 8);  // the north pole first
  }
  auto* bag = new Kel3DBagRep;
  auto* t = new Kel3DSimpleSphereRep(Kelpoint3f(0, 0, 0), 1.0f, 4);
  bag->AddChild(*t);
  t->Modify(Kelpoint3f(0, 0, 5), 2.0f);
  EXPECT_EQ(t->GetFace()->GetNbVertexCoords(), 75) << "the meridians are kept";
  EXPECT_NEAR(bag->GetBoundingElement().GetCenter()[2], 5.0f, 1e-6);
  // Fewer than 2 meridians would divide by zero.
  CaptureStderr();
  t->Modify(Kelpoint3f(0, 0, 0), 1.0f, 0);
  EXPECT_EQ(GetCapturedStderr(),
            "Kel3DSimpleSphereRep::BuildFaces: Invalid number of meridians.\n");
  EXPECT_EQ(t->GetNbMeridians(), 2);
  bag->Destroy();
}

TEST(SimpleConeRep, AnyOrientationFacesOutwards) {
  // Apex above the base, radius 1: side normal at the first rim point, at 45
  // degrees between u = (1, 0, 0) and v = a x u = (0, -1, 0), is
  // (2, -2, sqrt 2) / sqrt 10; sphere centre (0, 0, 1), radius sqrt 2.
  Kel3DSimpleConeRep c(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 2), 1.0f, 4);
  const float s10 = std::sqrt(10.0f);
  ExpectXYZ(Kelpoint3f(c.GetFace()->GetVertexArray() + 3), std::sqrt(0.5f), -std::sqrt(0.5f), 0);
  ExpectXYZ(Kelvector3f(c.GetFace()->GetNormals() + 21), 2 / s10, -2 / s10, std::sqrt(2.0f) / s10);
  ExpectXYZ(Kelpoint3f(c.GetBoundingElement().GetCenter()), 0, 0, 1);
  EXPECT_NEAR(c.GetBoundingElement().GetRadius(), std::sqrt(2.0f), 1e-6);
  EXPECT_EQ(ExpectOutward(*c.GetFace(), Kelpoint3f(0, 0, 0.5f), c.GetBoundingElement()), 8);

  const Kelpoint3f bases[] = {Kelpoint3f(1, 2, 3), Kelpoint3f(0, 0, 5), Kelpoint3f(0, 0, 0)};
  const Kelpoint3f apexes[] = {Kelpoint3f(4, 0, 5), Kelpoint3f(0, 0, 0), Kelpoint3f(0, 3, 0)};
  for (int k = 0; k < 3; ++k) {
    Kel3DSimpleConeRep cone(bases[k], apexes[k], 1.5f, 7);
    const Kelpoint3f inside = bases[k] + 0.25f * (apexes[k] - bases[k]);
    EXPECT_EQ(ExpectOutward(*cone.GetFace(), inside, cone.GetBoundingElement()), 14) << k;
  }
  auto* bag = new Kel3DBagRep;
  auto* moved = new Kel3DSimpleConeRep(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 2), 1.0f, 4);
  bag->AddChild(*moved);
  moved->Modify(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 8), 3.0f);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), 5.0f, 1e-5);
  bag->Destroy();
  CaptureStderr();
  Kel3DSimpleConeRep none(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 1), 1.0f, 0);
  EXPECT_EQ(GetCapturedStderr(),
            "Kel3DSimpleConeRep::Kel3DSimpleConeRep: Invalid number of facets.\n");
  EXPECT_EQ(none.GetFace()->GetNbVertexCoords(), 3 * 10);
}

TEST(SimpleLineRep, VolumeDrawingAndModify) {
  auto* bag = new Kel3DBagRep;
  auto* line = new Kel3DLineRep(Kelpoint3f(0, 0, 0), Kelpoint3f(6, 8, 0));
  bag->AddChild(*line);
  ExpectXYZ(Kelpoint3f(line->GetBoundingElement().GetCenter()), 3, 4, 0);
  EXPECT_EQ(line->GetBoundingElement().GetRadius(), 5.0f);
  EXPECT_EQ(Drawn(*line), "IsDrawable volume, Draw3DLine 2");
  EXPECT_EQ(Drawn(*line, 1, 1), "IsDrawable volume");
  line->Modify(Kelpoint3f(10, 0, 0), Kelpoint3f(10, 0, 2));
  ExpectXYZ(Kelpoint3f(line->GetLine()->GetPoints() + 3), 10, 0, 2);
  ExpectXYZ(Kelpoint3f(bag->GetBoundingElement().GetCenter()), 10, 0, 1);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), 1.0f, 1e-6);
  bag->Destroy();
}

TEST(SimpleCloudOfPointsRep, ShadedDotsWithBothVisibilityTests) {
  float points[6] = {0, 0, 0, 1, 1, 1};
  Kel3DCloudOfPointsRep cloud(points, 2);
  points[0] = 9;  // the cloud holds its own copy
  EXPECT_EQ(cloud.GetMarker()->GetPoints()[0], 0.0f);
  EXPECT_EQ(Drawn(cloud), "IsDrawable volume") << "its owner has set no volume yet";
  cloud.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0.5f, 0.5f, 0.5f), 1.0f, 0.0f));
  EXPECT_EQ(Drawn(cloud), "IsDrawable volume, Draw3DMarker");
  EXPECT_EQ(Drawn(cloud, 1), "IsDrawable flags, Draw3DMarker");
  EXPECT_EQ(Drawn(cloud, 0, 0, 2) + ", " + Drawn(cloud, 1, 0, 2),
            "IsDrawable volume, IsDrawable flags")
      << "too small either way";
}

TEST(SimpleAxisRep, SizesTextsAndSubElements) {
  // Frame axes of lengths 2, 1, 3 about the origin (1, 2, 3).
  Kel4x4Matrix frame(Kelvector3f(2, 0, 0), Kelvector3f(0, 1, 0), Kelvector3f(0, 0, 3),
                     Kelvector3f(1, 2, 3));
  CaptureStderr();
  Kel3DAxisRep bad(frame, -5, 0);
  EXPECT_EQ(GetCapturedStderr(), "Kel3DAxisRep::Kel3DAxisRep: Invalid size parameter.\n");
  for (int k = 0; k < 3; ++k) {
    ExpectXYZ(bad.GetArrow(k)->GetOrigin(), 1, 2, 3);
    EXPECT_NEAR(bad.GetArrow(k)->GetDirection()[k], 1.0f, 1e-6) << "frame axes are normalised";
  }
  EXPECT_EQ(bad.GetBoundingElement().GetRadius(), 0.0f);

  Kel3DAxisRep sized(frame, 5, "u", 8, "v", 12, "w");
  EXPECT_EQ(sized.GetBoundingElement().GetRadiusMM(), 12.0f);
  CaptureStderr();
  Kel3DAxisRep zero(frame, 5, "u", 0, "v", 12, "w");
  EXPECT_EQ(GetCapturedStderr(), "Kel3DAxisRep::Kel3DAxisRep: Invalid size parameters.\n");
  for (int k = 0; k < 3; ++k) EXPECT_EQ(zero.GetArrow(k)->GetLength(), 10);

  EXPECT_EQ(Drawn(sized),
            "IsDrawable volume, IsDrawable flags, DrawDynamicGP, IsDrawable flags, DrawDynamicGP, "
            "IsDrawable flags, DrawDynamicGP");
  EXPECT_EQ(Drawn(sized, 0, 1), "IsDrawable volume");
}

// Levels of detail.

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
  EXPECT_THAT(Sags(c), keltest::Near({0.0384294f, 0.1522409f, 0.5857864f, 2}, 1e-6f));
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
  EXPECT_THAT(Sags(given), keltest::Near({0.2f, 0.76f, 2}, 1e-6f));
  EXPECT_EQ(Points(given), (I{7, 3}));
  // A fine sag on a large radius asks for 497 points: held at 300, never the
  // empty cylinder primitive that vanishes at close range. a = 0.0063246,
  // sags 0.01, 0.04, 0.16, 0.64, 500.
  Kel3DCylinderRep big(base, top, 500.0f, plane, 0.01f, none, nullptr);
  EXPECT_THAT(Sags(big), keltest::Near({0.01f, 0.04f, 0.16f, 0.64f, 500}, 1e-3f));
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
    const F& p = render.polylines[0];
    EXPECT_EQ(p.size(), 3 * points) << "sag " << sag;
    keltest::ExpectXYZ(Kelpoint3f(p.data()), 10, 0, 0, 1e-5);
    keltest::ExpectXYZ(Kelpoint3f(p.data() + p.size() - 3), -10, 0, 0, 1e-3);
  }
}

// Light sources.

const Keldirection3f kUp(0, 0, 1), kSide(0, 1, 0), kX(1, 0, 0);

F Position(const Kel3DLightSourceGP* light) {
  return F(light->GetPosition(), light->GetPosition() + 4);
}

TEST(LightSourceSet, BuildRepUpdatesTheSameRepWithDirectionalLights) {
  KelLightSourceSet set(kUp, kSide);
  KelLightSourceSetRep* rep = set.BuildRep();
  Kel3DLightSourceGP* first = rep->GetFirstLight();
  Kel3DLightSourceGP* second = rep->GetSecondLight();
  EXPECT_EQ(Position(first), (F{0, 0, 1, 0})) << "w = 0: a light at infinity";
  EXPECT_TRUE(rep->GetBoundingElement().IsEmpty());
  // Moving a light changes x, y, z of its position only.
  first->ModifyDirection(kX);
  EXPECT_EQ(Position(first), (F{1, 0, 0, 0}));

  // Down to one light (assignment keeps this set's Rep): the second light is
  // released, through the primitive lock like any primitive.
  set = KelLightSourceSet(kUp);
  KelGraphicPrimitive::Lock();
  EXPECT_EQ(set.BuildRep(), rep);
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Find(second), 0);
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(rep->GetSecondLight(), nullptr);
  EXPECT_EQ(rep->GetFirstLight(), first);
  // Back up to two, then none.
  set = KelLightSourceSet(kX, kSide);
  set.BuildRep();
  ASSERT_NE(rep->GetSecondLight(), nullptr);
  EXPECT_EQ(Position(rep->GetSecondLight()), (F{0, 1, 0, 0}));
  set = KelLightSourceSet();
  set.BuildRep();
  EXPECT_EQ(rep->GetLightSourceCount(), 0);
}

TEST(LightSourceSet, LightsAreRecordedIntoTheirOwnElementList) {
  // A closed-volume surface drawn first leaves element list 1 current.
  KelSurfacicRep surface;
  auto* face = keltest::SquareFace(0.5f, 0.5f, 0, 0.5f);
  auto* closed = new KelGraphicAttributeSet;
  closed->flags = 0x30;
  surface.AddGeomFace(face, closed);
  surface.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0.5f, 0.5f, 0), 1.0f, 0.0f));
  KelLightSourceSet set(kUp, kSide);
  KelLightSourceSetRep* lights = set.BuildRep();
  const auto viewpoint = keltest::TopCamera();
  viewpoint->AddRep(&surface);
  viewpoint->AddRep(lights);
  keltest::TestSupport support;
  keltest::Cull(support, *viewpoint);

  using DL = KelDisplayList;
  const DL& dl = *viewpoint->GetDisplayList();
  EXPECT_EQ(keltest::StreamOf(dl, 0),
            (keltest::Stream{{DL::OP_LIGHT_SOURCE, keltest::Address(*lights->GetFirstLight())},
                             {DL::OP_LIGHT_SOURCE, keltest::Address(*lights->GetSecondLight())}}));
  // The face went to list 1, and nothing of the lights did.
  EXPECT_EQ(keltest::StreamOf(dl, 1), (keltest::Stream{{DL::OP_ATTRIBUTE, closed->FirstWord()},
                                                       {DL::OP_3D_FACE, keltest::Address(*face)}}));
}

// ---- The ready-made 2D Reps: their boxes, what they draw, and how they keep
// their primitives and images.

F Floats(const float* p, int n) {
  return F(p, p + n);
}

F Box(const Kel2DRep& rep) {
  float b[4];
  rep.GetBoundingElement().GetParameter(&b[0], &b[1], &b[2], &b[3]);
  return Floats(b, 4);
}

Kel2DLineGP* Segment() {
  const float p[4] = {0, 0, 1, 1};
  return new Kel2DLineGP(p, 2, 1);
}

TEST(CustomRep2D, EachSetStaysWithItsPrimitive) {
  // The line given twice is held once and its second pair dropped whole: the
  // third set given stays with the polyline, and hiding it hides only that.
  KelGraphicPrimitive* line = Segment();
  const float bend[6] = {0, 0, 1, 0, 1, 1};
  list<KelGraphicPrimitive*> gps;
  list<KelGraphicAttributeSet*> sets;
  for (KelGraphicPrimitive* gp :
       {line, line, static_cast<KelGraphicPrimitive*>(new Kel2DPolylineGP(bend, 3, 1))})
    gps.Append(gp);
  for (int i = 0; i < 3; ++i) sets.Append(new KelGraphicAttributeSet);
  sets[2]->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  Kel2DCustomRep rep(gps, sets);
  EXPECT_TRUE(rep.GetBoundingElement().IsInfinite()) << "never culled";
  KelRecordingRender render;
  rep.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "IsDrawable volume, IsDrawable flags, Draw2DLine, IsDrawable flags");

  // Three primitives for one set given twice: the set is copied for the
  // second, the third primitive is kept (and released) but not drawn.
  list<KelGraphicPrimitive*> three;
  for (int i = 0; i < 3; ++i) three.Append(Segment());
  list<KelGraphicAttributeSet*> shared;
  auto* set = new KelGraphicAttributeSet;
  shared.Append(set);
  shared.Append(set);
  Kel2DCustomRep partial(three, shared);
  EXPECT_NE(partial.GetAttributeSets()[1], set);
  render.ClearLog();
  partial.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(),
            "IsDrawable volume, IsDrawable flags, Draw2DLine, IsDrawable flags, Draw2DLine");
}

TEST(CrossAndCadreRep2D, SegmentsCornersAndBoxes) {
  Kelpoint2f c(10, 20);
  EXPECT_EQ(Kel2DCrossRep(c, 2, 4, 0).GetNbSegments(), 2);
  Kel2DCrossRep arms(c, 2, 4, 1);
  ASSERT_EQ(arms.GetNbSegments(), 4);
  EXPECT_EQ(Floats(arms.GetSegment(0)->GetPoints(), 4), (F{8, 16, 9, 18}));
  EXPECT_EQ(Box(arms), (F{8, 12, 16, 24}));
  // No width: no slope to stop on, and no division by it.
  Kel2DCrossRep flat(c, 0, 4, 1);
  EXPECT_EQ(Floats(flat.GetSegment(0)->GetPoints(), 4), (F{10, 16, 10, 24}));

  Kel2DCadreRep corner(c, 5, 3, 2, BOTTOM_LEFT_CADRE_CORNER);
  ASSERT_EQ(corner.GetNbCorners(), 1);
  EXPECT_EQ(Floats(corner.GetCorner(0)->GetPoints(), 6), (F{7, 17, 5, 17, 5, 19}));
  EXPECT_EQ(Box(Kel2DCadreRep(c, 5, 3, 2, ALL_CADRE_CORNERS)), (F{5, 15, 17, 23}));

  testing::internal::CaptureStderr();
  Kel2DCadreRep unknown(c, 5, 3, 2, CadreRepCorner(7));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel2DCadreRep::Kel2DCadreRep: Invalid function parameters.\n");
  KelRecordingRender render;
  unknown.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "");
}

TEST(Reps2D, ATextAloneInABagGivesTheBagABox) {
  // Four characters 10 high are 25 wide, centred on (10, 0): the bag is drawn.
  auto* bag = new Kel2DBagRep;
  const float at[2] = {10, 0};
  bag->AddChild(*new Kel2DSimpleGeometricTextRep(at, "ABCD", MIDDLE_CENTER, 10.0f));
  EXPECT_EQ(Box(*bag), (F{-2.5f, 22.5f, -5, 5}));
  bag->Destroy();
}

// What an image primitive sends through a camera of one model unit a pixel
// (the view from -50 to 50), or of no size at all.
std::vector<std::string> DrawnImage(KelGraphicPrimitive& gp, float modelPerPixel = 1) {
  Kel2DViewpoint camera(Kelpoint2f(0, 0), 1.0f);
  KelRecordingRender render;
  render.immediate = 1;
  render.LookThrough(camera, 100, 100, 1);
  render.SetModelPerPixel(modelPerPixel);
  gp.Draw(render);
  render.EndDraw(camera);
  std::vector<std::string> out;
  for (const auto& shape : render.shapes2D)
    out.push_back(shape.kind + " at " + std::to_string(int(shape.points[0])) + " " +
                  std::to_string(int(shape.points[1])));
  return out;
}

TEST(ImageRep2D, ItsImageLivesAsLongAsAPendingDrawNeedsIt) {
  KelPixelImage image(10, 6, PixelImageRGB);
  image.SetXPixelSize(2.0f);
  image.SetYPixelSize(2.0f);
  const float at[2] = {-10, -10};
  auto* rep = new Kel2DImagePixelRep(at, &image, 0);
  EXPECT_EQ(Box(*rep), (F{-10, 10, -10, 2}));
  EXPECT_NE(rep->GetPixelImage(), &image) << "its own copy";
  // A drawing pass holds the primitive while the Rep goes away; the image is
  // zoomed to its 20 x 12 pixels.
  KelGraphicPrimitive::Lock();
  auto* gp = const_cast<Kel2DImagePixelGP*>(rep->GetImagePixel());
  rep->Destroy();
  EXPECT_EQ(DrawnImage(*gp), (std::vector<std::string>{"image 20x12 0 at -10 -10"}));
  KelGraphicPrimitive::Unlock();

  // 10 screen pixels cut off on the left: columns 5 to 9, from the view's side.
  const float cut[2] = {-60, 0};
  Kel2DImagePixelGP left(cut, &image, 0);
  EXPECT_EQ(DrawnImage(left), (std::vector<std::string>{"image 10x12 0 at -50 0"}));
  // Nothing to divide by, nothing to show.
  EXPECT_TRUE(DrawnImage(left, 0.0f).empty()) << "a pixel of no size";
  KelPixelImage flat(10, 6, PixelImageRGB), none(0, 6, PixelImageRGB);
  flat.SetXPixelSize(0.0f);
  for (const KelPixelImage* i : {&flat, &none, static_cast<KelPixelImage*>(nullptr)}) {
    Kel2DImagePixelGP empty(at, i, 0);
    EXPECT_TRUE(DrawnImage(empty).empty());
  }
  Kel2DImagePixelRep nothing(at, nullptr, 0);
  EXPECT_TRUE(nothing.GetBoundingElement().IsEmpty());
}

}  // namespace

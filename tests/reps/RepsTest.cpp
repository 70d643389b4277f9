// The Reps. The simple ones: shaded rectangle, cuboid, sphere and cone, every
// triangle of their faces turning outwards and agreeing with its normals;
// line, point, cloud and axis: volumes, drawing tests and rebuilds; cylinder,
// curve and arc: levels of detail chosen through a real conic camera at
// several distances; the light source set and its Rep; the ready-made 2D
// Reps. The scene graph: attributes, bags, path elements and the
// controller's table. The surfacic Rep: its faces and edges drawn one by one,
// by path or by level of detail, and merged into one face.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <kel/controller/KelVisuController.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel2DImagePixelGP.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DPolylineGP.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
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
#include <kel/reps/KelHashRepTable.h>
#include <kel/reps/KelLightSourceSet.h>
#include <kel/reps/KelLightSourceSetRep.h>
#include <kel/reps/KelPathElementRep.h>
#include <kel/reps/KelRepPath.h>
#include <kel/reps/KelSurfacicRep.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
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

TEST(SimpleRectangleRep, FacesUCrossVAndFallsBackToTheDefaultColour) {
  // Colours out of 0 to 255 give the default colour, never a wrapped one.
  for (int colour : {300, -2})
    EXPECT_EQ(Kel3DRectangleRep(Kelpoint3f(), Kelvector3f(1, 0, 0), Kelvector3f(0, 1, 0), colour)
                  .GetGraphicAttributeSet()
                  .color,
              253);
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
    for (int k = 0; k < 6; ++k)
      EXPECT_EQ(ExpectOutward(*box.GetFace(k), centre, box.GetBoundingElement()), 2) << k;
  }

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

// Its faces (points on the sphere, turned outwards, radial normals) are drawn
// lit and culled as closed volumes in the solids' reference pictures.
TEST(SimpleSphereRep, ModifyKeepsTheMeridiansAndTooFewAreRefused) {
  Kel3DSimpleSphereRep t(Kelpoint3f(0, 0, 0), 1.0f, 4);
  t.Modify(Kelpoint3f(0, 0, 5), 2.0f);
  EXPECT_EQ(t.GetFace()->GetNbVertexCoords(), 75) << "the meridians are kept";
  EXPECT_NEAR(t.GetBoundingElement().GetCenter()[2], 5.0f, 1e-6);
  // Fewer than 2 meridians would divide by zero: refused, 2 are taken.
  t.Modify(Kelpoint3f(0, 0, 0), 1.0f, 0);
  EXPECT_EQ(t.GetNbMeridians(), 2);
}

// Cones along z, up and down, and along x (each branch of the frame chosen
// for the axis) are drawn lit and culled as closed volumes in the solids' and
// the default scene's reference pictures.
TEST(SimpleConeRep, NormalsWorkedOutByHandAndTooFewFacetsRefused) {
  // Apex above the base, radius 1: side normal at the first rim point, at 45
  // degrees between u = (1, 0, 0) and v = a x u = (0, -1, 0), is
  // (2, -2, sqrt 2) / sqrt 10; sphere centre (0, 0, 1) (its radius: the
  // reshaped cone below).
  Kel3DSimpleConeRep c(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 2), 1.0f, 4);
  const float s10 = std::sqrt(10.0f);
  ExpectXYZ(Kelpoint3f(c.GetFace()->GetVertexArray() + 3), std::sqrt(0.5f), -std::sqrt(0.5f), 0);
  ExpectXYZ(Kelvector3f(c.GetFace()->GetNormals() + 21), 2 / s10, -2 / s10, std::sqrt(2.0f) / s10);
  ExpectXYZ(Kelpoint3f(c.GetBoundingElement().GetCenter()), 0, 0, 1);
  EXPECT_EQ(ExpectOutward(*c.GetFace(), Kelpoint3f(0, 0, 0.5f), c.GetBoundingElement()), 8);

  c.Modify(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 8), 3.0f);
  EXPECT_NEAR(c.GetBoundingElement().GetRadius(), 5.0f, 1e-5);
  // No facets: refused, the default 4 are made.
  Kel3DSimpleConeRep none(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 1), 1.0f, 0);
  EXPECT_EQ(none.GetFace()->GetNbVertexCoords(), 3 * 10);
}

TEST(SimpleLineRep, VolumeDrawingAndModify) {
  Kel3DLineRep line(Kelpoint3f(0, 0, 0), Kelpoint3f(6, 8, 0));
  EXPECT_EQ(Drawn(line), "IsDrawable volume, Draw3DLine 2");
  line.Modify(Kelpoint3f(10, 0, 0), Kelpoint3f(10, 0, 2));
  ExpectXYZ(Kelpoint3f(line.GetLine()->GetPoints() + 3), 10, 0, 2);
  ExpectXYZ(Kelpoint3f(line.GetBoundingElement().GetCenter()), 10, 0, 1);
  EXPECT_NEAR(line.GetBoundingElement().GetRadius(), 1.0f, 1e-6);
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
  // A negative size, or any of three below 1, is refused: the default 10.
  Kel3DAxisRep bad(frame, -5, 0);
  Kel3DAxisRep zero(frame, 5, "u", 0, "v", 12, "w");
  for (int k = 0; k < 3; ++k) {
    ExpectXYZ(bad.GetArrow(k)->GetOrigin(), 1, 2, 3);
    EXPECT_NEAR(bad.GetArrow(k)->GetDirection()[k], 1.0f, 1e-6) << "frame axes are normalised";
    EXPECT_EQ(bad.GetArrow(k)->GetLength(), 10);
    EXPECT_EQ(zero.GetArrow(k)->GetLength(), 10);
  }
  EXPECT_EQ(bad.GetBoundingElement().GetRadius(), 0.0f);

  Kel3DAxisRep sized(frame, 5, "u", 8, "v", 12, "w");
  EXPECT_EQ(sized.GetBoundingElement().GetRadiusMM(), 12.0f);

  // Its arrows are drawn in the default scene's reference picture; outside
  // the view, nothing.
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
  // A sag that is not positive takes the default levels; no radius leaves the axis.
  for (float bad : {0.0f, -1.0f, std::nanf("")})
    EXPECT_EQ(Points(Kel3DCylinderRep(base, top, 2.0f, plane, bad, none, nullptr)), (I{16, 8, 4}));
  Kel3DCylinderRep axis(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 4), 0.0f);
  EXPECT_EQ(axis.GetNbLevels(), 1);
  EXPECT_EQ(DrawnAt(axis, 0.01), "IsDrawable volume, Draw3DLine 2");
  EXPECT_EQ(Kel3DCylinderRep::CirclePointCount(5.0f, 1.0f), 3) << "sag beyond the diameter";
}

TEST(SimpleCylinderRep, PlaneVectorFromTheReferenceAndCirclesTurningBackwards) {
  // Axis z: reference (1, 2, 3); plane vector z x (1, 2, 3) = (-2, 1, 0) / sqrt 5.
  Kel3DCylinderRep c(Kelpoint3f(1, 1, 1), Kelpoint3f(1, 1, 5), 3.0f);
  const float s5 = std::sqrt(5.0f);
  keltest::ExpectXYZ(c.GetPlaneVector(), -2 / s5, 1 / s5, 0, 1e-6);
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
  EXPECT_EQ(Position(rep->GetSecondLight()), (F{0, 1, 0, 0})) << "w = 0: a light at infinity";
  set = KelLightSourceSet();
  set.BuildRep();
  EXPECT_EQ(rep->GetLightSourceCount(), 0);
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
  // An arm's ends worked out by hand: the marshalling test.
  Kel2DCrossRep arms(c, 2, 4, 1);
  EXPECT_EQ(arms.GetNbSegments(), 4);
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

// ---- The scene graph: attributes, bags' bounds, destruction, cycles, drawing
// and sorting, path elements and the controller's table; the surfacic Rep.

using keltest::GPLeaf;
using keltest::NamedGP;
using Log = std::vector<std::string>;

// A leaf writing "Draw <name>" when drawn; NamedGP::alive counts the live ones.
GPLeaf* Leaf(const char* name, const Kelpoint3f& centre = Kelpoint3f(0, 0, 0)) {
  return new GPLeaf({new NamedGP(name)}, centre, 1.0f);
}

// The lines of a log that start with `prefix`.
Log Only(const Log& log, const std::string& prefix) {
  Log out;
  for (const auto& l : log)
    if (l.rfind(prefix, 0) == 0) out.push_back(l);
  return out;
}

KelRepPath PathOf(std::initializer_list<KelRep*> reps) {
  KelRepPath path(nullptr);
  for (KelRep* r : reps) path.AddRep(*r);
  path.InitToTopRep();
  return path;
}

// A bag holding leaf "a".
struct OneLeaf {
  Kel3DBagRep* bag = new Kel3DBagRep;
  GPLeaf* leaf = Leaf("a");
  OneLeaf() { bag->AddChild(*leaf); }
  ~OneLeaf() { bag->Destroy(); }
};

TEST(RepAttributes, ColourClampAndFlagBits) {
  GPLeaf a, b;
  a.SetColor(300);
  EXPECT_EQ(a.GetGraphicAttributeSet().color, 253);
  a.TemporyNoshowOn();
  a.HighLightOn();
  a.HighLightOff();
  EXPECT_TRUE(a.IsTemporyHidden()) << "highlight must not touch the other flag bits";
  // The path forms act on the path's current Rep.
  KelRepPath path = PathOf({&a, &b});
  path.NextChildRep();
  path.NextChildRep();
  a.HighLightOn(path);
  EXPECT_FALSE(a.GetGraphicAttributeSet().flags & KelGraphicAttributeSet::HIGHLIGHTED);
  EXPECT_TRUE(b.GetGraphicAttributeSet().flags & KelGraphicAttributeSet::HIGHLIGHTED);
}

TEST(BagBounds, ClimbToEveryRootOnAddHideShowMatrixAndRemove) {
  auto* root = new Kel3DBagRep;
  auto* mid = new Kel3DBagRep;
  root->AddChild(*mid);
  GPLeaf* b = Leaf("b", Kelpoint3f(4, 0, 0));
  mid->AddChild(*Leaf("a"));
  mid->AddChild(*b);
  const auto& volume = root->GetBoundingElement();
  // Smallest sphere around both: centre (2, 0, 0), radius 3.
  EXPECT_NEAR(volume.GetCenter()[0], 2.0f, 1e-6);
  EXPECT_NEAR(volume.GetRadius(), 3.0f, 1e-6);
  b->TemporyNoshowOn();
  EXPECT_NEAR(volume.GetRadius(), 1.0f, 1e-6);
  b->TemporyNoshowOff();
  mid->SetMatrix(Kel4x4Matrix(Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2),
                              Kelvector3f(0, 0, 0)));
  EXPECT_NEAR(volume.GetRadius(), 6.0f, 1e-5);
  EXPECT_NEAR(volume.GetCenter()[0], 4.0f, 1e-5);
  mid->ResetMatrix();
  mid->RemoveChild(*b);
  EXPECT_NEAR(volume.GetRadius(), 1.0f, 1e-6);
  delete b;

  // A hidden child of two bags leaves both bounds.
  auto* other = new Kel3DBagRep;
  GPLeaf* shared = Leaf("s", Kelpoint3f(10, 0, 0));
  mid->AddChild(*shared);
  other->AddChild(*shared);
  shared->TemporyNoshowOn();
  EXPECT_NEAR(volume.GetRadius(), 1.0f, 1e-6);
  EXPECT_TRUE(other->GetBoundingElement().IsEmpty());
  root->Destroy();
  other->Destroy();
  EXPECT_EQ(NamedGP::alive, 0);
}

TEST(BagDestruction, SharedChildSurvivesItsFirstBagAndUnsharedSubtreesGo) {
  auto* top = new Kel3DBagRep;
  auto* root = new Kel3DBagRep;
  auto* other = new Kel3DBagRep;
  top->AddChild(*root);
  GPLeaf* shared = Leaf("s");
  root->AddChild(*shared);
  root->AddChild(*shared);  // twice: one entry
  other->AddChild(*shared);
  EXPECT_EQ(root->GetChildCount(), 1);
  for (int i = 0; i < 3; ++i) {
    auto* inner = new Kel3DBagRep;
    root->AddChild(*inner);
    inner->AddChild(*Leaf("x", Kelpoint3f(float(i), 0, 0)));
    inner->AddChild(*Leaf("y"));
  }
  EXPECT_EQ(NamedGP::alive, 7);
  root->Destroy();
  EXPECT_EQ(NamedGP::alive, 1);
  EXPECT_EQ(shared->GetParents().Count(), 1);
  EXPECT_EQ(top->GetChildCount(), 0);
  EXPECT_TRUE(top->GetBoundingElement().IsEmpty());
  top->Destroy();
  other->Destroy();
  EXPECT_EQ(NamedGP::alive, 0);
}

TEST(BagDestruction, LeafDestroyedInsideABagLeavesNoDanglingChild) {
  auto* bag = new Kel3DBagRep;
  GPLeaf* gone = Leaf("gone", Kelpoint3f(5, 0, 0));
  GPLeaf* deleted = Leaf("deleted");
  bag->AddChild(*gone);
  bag->AddChild(*Leaf("kept"));
  bag->AddChild(*deleted);
  gone->Destroy();
  delete deleted;  // plain delete detaches too
  EXPECT_EQ(bag->GetChildCount(), 1);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), 1.0f, 1e-6);
  KelRecordingRender render;
  bag->DrawShading(render, 0);
  EXPECT_EQ(Only(render.GetLog(), "Draw"), Log{"Draw kept"});
  bag->Destroy();
}

TEST(BagGraph, CyclesAreRefused) {
  auto* root = new Kel3DBagRep;
  auto* mid = new Kel3DBagRep;
  root->AddChild(*mid);
  mid->AddChild(*root);
  root->AddChild(*root);
  EXPECT_EQ(mid->GetChildCount(), 0);
  EXPECT_EQ(root->GetChildCount(), 1);
  EXPECT_EQ(root->GetParents().Count(), 0);
  root->Destroy();
}

TEST(BagDrawing, TooSmallBagIsNotWalkedEvenWhollyInsideTheView) {
  // The bag's sphere (radius 1) is under a culling size of 2: its children
  // are not walked, whether its parent was wholly inside the view or not.
  OneLeaf one;
  for (int inside : {0, 1})
    EXPECT_EQ(Drawn(*one.bag, inside, 0, 2.0f), inside ? "IsDrawable flags" : "IsDrawable volume")
        << inside;
}

TEST(BagDrawing, MarkIsForcedOnTheSubtreeAndReleasedEvenWhenCulled) {
  // The forcing of a drawn bag: the culling stream tests. Culled, the forcing
  // must still end, or it leaks onto the siblings.
  OneLeaf one;
  one.bag->GetGraphicAttributeSet().flags |= KelGraphicAttributeSet::SECOND_MARK;
  EXPECT_EQ(Drawn(*one.bag, 0, 1),
            "InheritForeground 252, SetForeground 252, IsDrawable volume, InheritForeground 0, "
            "SetForeground 253");
}

TEST(BagSorting, ChildrenAreOrderedByTheirAttributeBytesAndColouredByTheBag) {
  Kel3DBagRep bag;
  GPLeaf c[3];
  for (int i = 0; i < 3; ++i) {
    c[i].SetColor(i == 0 ? 5 : i == 1 ? 2 : 9);
    bag.AddChild(c[i]);
  }
  bag.SortGraphicAttributeSet();
  EXPECT_EQ((std::vector<Kel3DRep*>{bag.GetChild(0), bag.GetChild(1), bag.GetChild(2)}),
            (std::vector<Kel3DRep*>{&c[1], &c[0], &c[2]}));
  bag.SetColor(7);
  EXPECT_EQ(c[1].GetGraphicAttributeSet().color, 7);
  EXPECT_EQ(bag.GetGraphicAttributeSet().color, 253) << "the bag colours its children only";
}

TEST(Bag2D, SetBoundingElementReachesTheParentsAndRotationsAreKept) {
  struct Leaf2D : Kel2DRep {
  } leaf;
  Kel2DBagRep bag;
  bag.AddChild(leaf);
  leaf.SetBoundingElement(Kel2DBoundingBox(4, 6, -1, 1));
  // A quarter turn: the 2 x 2 box from (4, -1) becomes x in [-1, 1], y in [4, 6].
  bag.SetMatrix(Kel3x3Matrix(Kelvector2f(0, 1), Kelvector2f(-1, 0), Kelpoint2f(0, 0)));
  float e[4];
  bag.GetBoundingElement().GetParameter(&e[0], &e[1], &e[2], &e[3]);
  const float expected[4] = {-1, 1, 4, 6};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(e[i], expected[i], 1e-5) << i;
  bag.RemoveChild(leaf);
}

TEST(PathElementRep, DrawsItsPathFurtivelyAndNothingWhenEmpty) {
  OneLeaf one;
  KelRepPath path = PathOf({one.bag, one.leaf});
  path.SetFurtive(1);
  KelPathElement element;
  KelPathElementRep rep(element, path);
  rep.HighLightOn();
  KelRecordingRender render;
  rep.DrawShading(render, 0);
  const Log& log = render.GetLog();
  EXPECT_EQ(Log(log.begin(), log.begin() + 4), (Log{"InheritElementType 7 1", "SetFurtiveOn",
                                                    "SetSensitivity 0", "InheritForeground 251"}));
  EXPECT_EQ(Only(log, "Draw"), Log{"Draw a"});
  EXPECT_EQ(log.back(), "InheritElementType 7 0");

  KelRepPath empty(nullptr);
  KelPathElementRep nothing(element, empty);
  KelRecordingRender none;
  nothing.DrawShading(none, 0);
  EXPECT_TRUE(Only(none.GetLog(), "Draw").empty());
}

TEST(GraphicTable, RepsEnterAndLeaveTheirControllersTableByFullWidthKey) {
  KelVisuController controller;
  auto* table = new KelHashRepTable;  // the controller's from now on
  controller.SetAssociatedGraphicTable(table);
  // Two ids equal in their lower 32 bits: one key each.
  KelModelIdentificator low(reinterpret_cast<void*>(0x1234));
  KelModelIdentificator high(reinterpret_cast<void*>((std::intptr_t(1) << 40) | 0x1234));
  KelModelIdentificator none;
  auto* a = new Kel3DBagRep(low, &controller);
  auto* b = new Kel3DBagRep(high, &controller);
  Kel3DBagRep unrecorded(none, &controller);
  EXPECT_EQ(table->GetSize(), 2);
  EXPECT_EQ(controller.GetRep(low), a);
  EXPECT_EQ(controller.GetRep(high), b);
  a->Destroy();  // leaves the table through its controller
  EXPECT_EQ(table->GetSize(), 1);
  EXPECT_EQ(controller.GetRep(high), b);
  b->Destroy();
  EXPECT_EQ(table->GetSize(), 0);
}

// ---- The surfacic Rep: its faces and edges drawn one by one, by path or by
// level of detail, and merged into one face.

using DL = KelDisplayList;
using keltest::Stream;

KelGraphicAttributeSet* Attributes(unsigned char colour, unsigned char flags = 0) {
  return new KelGraphicAttributeSet(keltest::Look(colour, flags));
}
std::intptr_t Word(unsigned char colour, unsigned char flags = 0) {
  return keltest::Look(colour, flags).FirstWord();
}
// A unit square with its lower left corner at (x, y) in the plane z = 0.
Kel3DFaceGP* Square(float x, float y) {
  return keltest::SquareFace(x + 0.5f, y + 0.5f, 0, 0.5f);
}
Kel3DEdgeGP* EdgeOf(Kel3DFaceGP* face) {
  const int indices[2] = {0, 3};
  return new Kel3DEdgeGP(face, nullptr, indices, 2);
}

// Names the faces and edges it draws, logs the sub-element numbers asked
// about and the spheres of the per-face tests, and answers "outside" for
// chosen numbers.
class SurfaceRender : public KelRecordingRender {
 public:
  SurfaceRender() {
    SetMesh(1);
    SetEdge(1);
  }
  std::map<const void*, std::string> names;
  std::vector<int> outsideNumbers;

  int IsDrawable(const KelGraphicAttributeSet& a, const float* c, const float r,
                 const int n) override {
    char line[80];
    std::snprintf(line, sizeof line, "sphere %d %g %g %g", n, c[0], c[1], r);
    Record(line);
    if (std::count(outsideNumbers.begin(), outsideNumbers.end(), n)) return 0;
    return KelRender::IsDrawable(a);
  }
  int IsDrawable(const KelGraphicAttributeSet& a, const int n) override {
    Record("flags " + std::to_string(n));
    return KelRender::IsDrawable(a);
  }
  using KelRecordingRender::IsDrawable;
  void Draw3DFace(Kel3DFaceGP& gp) override { Record(names[&gp]); }
  void Draw3DEdge(Kel3DEdgeGP& gp) override { Record(names[&gp]); }
  // The log without the colour changes.
  std::string Drawn() const {
    std::string s;
    for (const std::string& line : GetLog())
      if (line.rfind("SetForeground", 0) != 0) s += (s.empty() ? "" : ", ") + line;
    return s;
  }
};

// Three squares side by side (faces 0 to 2, sub-elements 0 to 2) and an edge on
// each of the first two (sub-elements 3 and 4).
class SurfacicRepTest : public ::testing::Test {
 protected:
  SurfacicRepTest() {
    for (int i = 0; i < 3; ++i) {
      faces[i] = Square(2.0f * i, 0.0f);
      rep.AddGeomFace(faces[i], Attributes(static_cast<unsigned char>(10 + i)));
      render.names[faces[i]] = "face " + std::to_string(i);
    }
    for (int j = 0; j < 2; ++j) {
      Kel3DEdgeGP* edge = EdgeOf(faces[j]);
      rep.AddGeomEdge(edge, Attributes(static_cast<unsigned char>(20 + j)));
      render.names[edge] = "edge " + std::to_string(j);
    }
    rep.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(2.5f, 0.5f, 0), 3.0f, 0.0f));
  }
  std::string Drawn(int inside) {
    render.ClearLog();
    rep.DrawShading(render, inside);
    return render.Drawn();
  }
  std::string DrawPath(const std::vector<int>& numbers, KelRep* after = nullptr) {
    KelRepPath path;
    path.AddRep(rep);
    if (after) path.AddRep(*after);
    list<int> subElements;
    for (int s : numbers) subElements.Append(s);
    path.SetSubElementList(subElements);
    path.InitToTopRep();
    path.NextChildRep();
    render.ClearLog();
    rep.DrawPath(render, 0, path);
    return render.Joined();
  }

  KelSurfacicRep rep;
  Kel3DFaceGP* faces[3];
  SurfaceRender render;
};

TEST_F(SurfacicRepTest, DrawsEdgesThenFacesLastFirstCullingFacesOneByOneUnlessInside) {
  // Face i is the square [2i, 2i + 1] x [0, 1]: sphere centre (2i + 0.5, 0.5), radius sqrt(0.5).
  render.outsideNumbers = {1};
  EXPECT_EQ(Drawn(0),
            "IsDrawable volume, flags 4, edge 1, flags 3, edge 0, "
            "sphere 2 4.5 0.5 0.707107, face 2, sphere 1 2.5 0.5 0.707107, "
            "sphere 0 0.5 0.5 0.707107, face 0");
  // An ancestor wholly inside the view: no volume test at all, faces by flags.
  EXPECT_EQ(Drawn(1),
            "IsDrawable flags, flags 4, edge 1, flags 3, edge 0, "
            "flags 2, face 2, flags 1, face 1, flags 0, face 0");
  // Hidden elements and switched-off kinds are not drawn.
  rep.GetFaceAttributes(0)->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  rep.GetEdgeAttributes(1)->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  render.SetEdge(0);
  EXPECT_EQ(Drawn(1), "IsDrawable flags, flags 2, face 2, flags 1, face 1, flags 0");
  render.SetEdge(1);
  render.SetMesh(0);
  EXPECT_EQ(Drawn(1), "IsDrawable flags, flags 4, flags 3, edge 0");
  render.outside = 1;
  EXPECT_EQ(Drawn(0), "IsDrawable volume");
}

TEST_F(SurfacicRepTest, PathNumbersFacesThenEdgesAndSkipsUnknownNumbers) {
  EXPECT_EQ(DrawPath({4}), "SetForeground 21, edge 1");
  // Last number first, no visibility test.
  EXPECT_EQ(DrawPath({0, 3}), "SetForeground 20, edge 0, SetForeground 10, face 0");
  // Numbers naming nothing (from an older pick, or set from outside) are skipped.
  EXPECT_EQ(DrawPath({-1, 5, 1, 1 << 30}), "SetForeground 11, face 1");
  // A whole-Rep path shows the drawable edges only.
  rep.GetEdgeAttributes(0)->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  EXPECT_EQ(DrawPath({}), "SetForeground 21, edge 1");
  // Not the end of its path: nothing.
  Kel3DBagRep other;
  EXPECT_EQ(DrawPath({}, &other), "");
}

TEST_F(SurfacicRepTest, HighlightAndHideReachEveryAttributeSetAndShowingRestoresTheBounds) {
  rep.AddLOD(Square(0, 0), Attributes(30), 0.5f);
  rep.GetFaceAttributes(1)->flags |= KelGraphicAttributeSet::SECOND_MARK;
  // The surface spans x in [0, 5]; its sibling sits far along y.
  auto* sibling = new KelSurfacicRep;
  sibling->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 100, 0), 1.0f, 0.0f));
  Kel3DBagRep bag;
  bag.AddChild(rep);
  bag.AddChild(*sibling);
  rep.HighLightOn();
  rep.TemporyNoshowOn();
  const KelGraphicAttributeSet* sets[] = {&rep.GetGraphicAttributeSet(), rep.GetFaceAttributes(0),
                                          rep.GetFaceAttributes(1),      rep.GetFaceAttributes(2),
                                          rep.GetEdgeAttributes(0),      rep.GetEdgeAttributes(1),
                                          rep.GetLODAttributes(1)};
  for (const KelGraphicAttributeSet* a : sets) EXPECT_EQ(a->flags & 0x0A, 0x0A);
  EXPECT_FLOAT_EQ(bag.GetBoundingElement().GetRadius(), 1.0f);
  // The sibling moves while the surface is hidden.
  sibling->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 50, 0), 1.0f, 0.0f));
  bag.ComputeBoundingElement();
  rep.HighLightOff();
  rep.TemporyNoshowOff();
  for (const KelGraphicAttributeSet* a : sets) EXPECT_EQ(a->flags & 0x0A, 0);
  EXPECT_EQ(rep.GetFaceAttributes(1)->flags, KelGraphicAttributeSet::SECOND_MARK);
  EXPECT_TRUE(bag.GetBoundingElement().IsInside(
      Kel3DBoundingSphere(Kelpoint3f(2.5f, 0.5f, 0), 2.9f, 0.0f)));
  bag.RemoveChild(rep);
  bag.RemoveChild(*sibling);
  sibling->Destroy();
}

TEST_F(SurfacicRepTest, RefusesBadArgumentsAndKeepsPrimitivesThroughADrawingPass) {
  auto* face = Square(0, 0);
  auto* attributes = Attributes(1);
  rep.AddGeomFace(face, nullptr);
  rep.AddGeomFace(nullptr, attributes);
  rep.AddGeomEdge(nullptr, attributes);
  rep.AddLOD(face, attributes, -0.5f);
  rep.AddLOD(nullptr, attributes, 0.5f);
  rep.SetGeomSag(0.25f);
  rep.SetGeomSag(-1.0f);
  EXPECT_EQ(rep.GetNbFaces() + rep.GetNbEdges() + rep.GetNbLODs(), 3 + 2 + 0);
  EXPECT_FLOAT_EQ(rep.GetGeomSag(), 0.25f);
  delete attributes;  // refused arguments stay the caller's

  auto* doomed = new KelSurfacicRep;
  doomed->AddGeomFace(face, Attributes(1));
  doomed->AddGeomEdge(EdgeOf(face), Attributes(1));
  doomed->AddLOD(Square(0, 0), Attributes(1), 1.0f);
  KelGraphicPrimitive::Lock();
  doomed->Destroy();
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Count(), 3);
  KelGraphicPrimitive::Unlock();
}

// A surface of radius 1 around the origin seen by an eye on the z axis,
// looking down -z, with a half field angle of 45 degrees on a support 100
// pixels high: one pixel at depth d spans d / 50 model units. With a sag
// precision of 2 pixels the on-screen sag at depth d is 2 * d / 50 = 0.04 d
// (the radius term vanishes), and the culling size 2 * d / 50 as well.
class SurfacicCullingTest : public ::testing::Test {
 protected:
  SurfacicCullingTest() {
    support.SetSagPrecision(2.0f);
    rep->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 0, 0), 1.0f, 0.0f));
  }
  ~SurfacicCullingTest() override { rep->Destroy(); }
  Stream Cull(float distance, int list = 5) {
    Kel3DViewpoint viewpoint(Kelpoint3f(0, 0, distance), Keldirection3f(0, 0, -1),
                             Keldirection3f(0, 1, 0), 0.1f, 1000.0f, CONIC_PROJECTION, distance);
    viewpoint.SetAngle(45.0f);
    viewpoint.AddRep(rep);
    keltest::Cull(support, viewpoint);
    return keltest::StreamOf(*viewpoint.GetDisplayList(), list);
  }
  static Stream Drawn(std::intptr_t word, std::vector<KelGraphicPrimitive*> gps, int op = 0) {
    Stream s{{DL::OP_ATTRIBUTE, word}};
    for (KelGraphicPrimitive* gp : gps)
      s.emplace_back(op ? op : DL::OP_3D_FACE, keltest::Address(*gp));
    return s;
  }

  keltest::TestSupport support;
  KelSurfacicRep* rep = new KelSurfacicRep;
};

TEST_F(SurfacicCullingTest, ChoosesTheLevelWhoseSagTheScreenCanShow) {
  // Faces of sag 0.01, levels of sag 0.1 and 0.5; every look is of colour 7.
  Kel3DFaceGP *f0 = Square(-1, -1), *f1 = Square(0, 0), *lod1 = Square(-1, 0),
              *lod2 = Square(0, -1);
  rep->AddGeomFace(f0, Attributes(7));
  rep->AddGeomFace(f1, Attributes(7));
  rep->SetGeomSag(0.01f);
  rep->AddLOD(lod1, Attributes(7), 0.1f);
  rep->AddLOD(lod2, Attributes(7), 0.5f);
  // Depth 2: sag 0.08, below 0.1: the faces, last first. Depth 5: sag 0.2,
  // the first level. Depth 20: sag 0.8, above 0.5: the second level (culling
  // size 0.8, below the radius 1). Depth 30: culling size 1.2, too small: the
  // list keeps its default attribute only.
  EXPECT_EQ(Cull(2), Drawn(Word(7), {f1, f0}));
  EXPECT_EQ(Cull(5), Drawn(Word(7), {lod1}));
  EXPECT_EQ(Cull(20), Drawn(Word(7), {lod2}));
  EXPECT_EQ(Cull(30), Drawn(Word(253), {}));
  rep->SetLODMode(0);  // levels switched off: the faces at any distance
  EXPECT_EQ(Cull(20), Drawn(Word(7), {f1, f0}));
  rep->SetLODMode(1);
  // 98 levels are chosen from; the 99th is one too many.
  for (int k = 3; k <= 98; ++k) rep->AddLOD(Square(0, 0), Attributes(7), 0.001f * k);
  EXPECT_EQ(Cull(20), Drawn(Word(7), {rep->GetLODFace(98)}));
  rep->AddLOD(Square(0, 0), Attributes(7), 1.0f);
  EXPECT_EQ(Cull(20), Drawn(Word(7), {f1, f0}));
}

TEST_F(SurfacicCullingTest, FacesAndEdgesGoToTheListsOfTheirElementKinds) {
  Kel3DFaceGP *closed = Square(-1, -1), *glass = Square(0, 0), *plain = Square(-1, 0),
              *far = Square(0, 0);
  rep->AddGeomFace(closed, Attributes(3, 0x30));
  rep->AddGeomFace(glass, Attributes(4, 0xB0));
  rep->AddGeomFace(plain, Attributes(5));
  Kel3DEdgeGP* wire = EdgeOf(closed);
  rep->AddGeomEdge(wire, Attributes(6, 0x10));
  rep->AddLOD(far, Attributes(8, 0x30), 0.1f);  // a far level drawn as a closed volume
  support.SetEdge(1);
  EXPECT_EQ(Cull(2, 1), Drawn(Word(3, 0x30), {closed}));
  EXPECT_EQ(Cull(2, 3), Drawn(Word(4, 0xB0), {glass}));
  EXPECT_EQ(Cull(2, 4), Drawn(Word(6, 0x10), {wire}, DL::OP_3D_EDGE));
  EXPECT_EQ(Cull(2, 5), Drawn(Word(5), {plain}));
  // From afar the level replaces the faces; the edges stay.
  EXPECT_EQ(Cull(5, 1), Drawn(Word(8, 0x30), {far}));
  EXPECT_EQ(Cull(5, 3), Drawn(Word(253), {}));
  EXPECT_EQ(Cull(5, 4), Drawn(Word(6, 0x10), {wire}, DL::OP_3D_EDGE));
}

// Hands out the arrays it is given, as a face whose data another face owns
// (no vertex count of its own), or as copies made for each call.
class HandOutFaceGP : public Kel3DBoundingGP {
 public:
  HandOutFaceGP(const float* v, int nv, std::vector<int> tri, bool made = false)
      : _v(v), _nv(nv), _tri(std::move(tri)), _made(made) {}
  void Get(int* allocate, float** v, int* nv, float** n, int* nn, int** tri, int* ntri, int** st,
           int* nst, int** stl, int** fa, int* nfa, int** fal) override {
    Kel3DBoundingGP::Get(allocate, v, nv, n, nn, tri, ntri, st, nst, stl, fa, nfa, fal);
    *allocate = _made;
    *nv = *nn = _nv;
    *ntri = 1;
    *v = _made ? std::copy(_v, _v + 9, new float[9]) - 9 : const_cast<float*>(_v);
    *n = _made ? std::copy(_v, _v + 9, new float[9]) - 9 : const_cast<float*>(_v);
    *tri = _made ? std::copy(_tri.begin(), _tri.end(), new int[3]) - 3 : _tri.data();
  }

 private:
  const float* _v;
  int _nv;
  std::vector<int> _tri;
  bool _made;
};

// The merged vertices, normals, triangles, strips and fans, or "empty".
std::string Merge(KelSurfacicRep& rep) {
  float *v = nullptr, *n = nullptr;
  int *tri = nullptr, *st = nullptr, *stl = nullptr, *fa = nullptr, *fal = nullptr;
  int nv = -1, nn = -1, ntri = -1, nst = -1, nfa = -1;
  rep.GroupFaces(&v, &nv, &n, &nn, &tri, &ntri, &st, &nst, &stl, &fa, &nfa, &fal);
  std::string s;
  auto put = [&s](const char* name, auto* p, int count) {
    s += name;
    for (int i = 0; i < count; ++i) s += " " + std::to_string(int(p[i] * 10));
    s += ";";
  };
  if (nv == 0 && !v && !n && !tri && !st && !fa && ntri + nst + nfa == 0)
    s = "empty";
  else {
    put("v", v, nv), put("n", n, nn), put("t", tri, 3 * ntri);
    put("s", st, nst ? stl[0] : 0), put("f", fa, nfa ? fal[0] : 0);
  }
  delete[] v, delete[] n, delete[] tri, delete[] st, delete[] stl, delete[] fa, delete[] fal;
  return s;
}

TEST(SurfacicRepGroup, LaysFacesOutInOrderWithShiftedIndicesOrRefusesThem) {
  // Face 0: a square, per-vertex normals, one strip; face 1: a planar triangle
  // (one normal for three vertices) as a triangle and a fan; face 2: no normal.
  KelSurfacicRep rep;
  const float v0[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, n0[12] = {0, 0, 1, 0, 0, 1};
  const float v1[9] = {5, 0, 0, 6, 0, 0, 5, 1, 0}, n1[3] = {0, 1, 0}, v2[9] = {7, 0, 0};
  const int strip[4] = {0, 3, 6, 9}, four = 4, tri1[3] = {0, 3, 6}, fan[3] = {6, 0, 3}, three = 3,
            tri2[3] = {6, 3, 0};
  rep.AddGeomFace(new Kel3DFaceGP(v0, 12, n0, 12, nullptr, 0, strip, 1, &four, nullptr, 0, nullptr),
                  Attributes(1));
  rep.AddGeomFace(new Kel3DPlanarFaceGP(v1, 9, n1, tri1, 1, nullptr, 0, nullptr, fan, 1, &three),
                  Attributes(2));
  rep.AddGeomFace(
      new Kel3DFaceGP(v2, 9, nullptr, 0, tri2, 1, nullptr, 0, nullptr, nullptr, 0, nullptr),
      Attributes(3));
  // Face 1 starts at coordinate 12, face 2 at 21; values shown times ten.
  EXPECT_EQ(Merge(rep),
            "v 0 0 0 10 0 0 0 10 0 10 10 0 50 0 0 60 0 0 50 10 0 70 0 0 0 0 0 0 0 0;"
            "n 0 0 10 0 0 10 0 0 0 0 0 0 0 10 0 0 10 0 0 10 0 0 0 0 0 0 0 0 0 0;"
            "t 120 150 180 270 240 210;s 0 30 60 90;f 180 120 150;");

  // Faces sharing the data of another take its offset; data made for the
  // call is released (checked by the leak checker).
  const float v[18] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 9, 9, 9, 8, 8, 8, 7, 7, 7};
  KelSurfacicRep shared;
  shared.AddGeomFace(new HandOutFaceGP(v + 9, 9, {0, 3, 6}, true), Attributes(1));
  shared.AddGeomFace(new HandOutFaceGP(v, 9, {0, 3, 6}), Attributes(1));
  shared.AddGeomFace(new HandOutFaceGP(v, 0, {6, 3, 0}), Attributes(1));
  EXPECT_EQ(Merge(shared).rfind("v 90 90 90 80 80 80 70 70 70 0 0 0 10 0 0 10 10 0;", 0), 0u);
  EXPECT_NE(Merge(shared).find("t 0 30 60 90 120 150 150 120 90;"), std::string::npos);
  // Two sharers of different data, or data of no face of the Rep: refused.
  const std::pair<std::vector<const float*>, const char*> refused[] = {
      {{v, v + 9},
       "Only ONE vertex and ONE normal reference allowed for every faces in the Rep when sharing "
       "data"},
      {{v + 9},
       "Some faces are sharing data that do not belong to the SurfacicRep. This is not "
       "correct"}};
  for (const auto& [sharers, message] : refused) {
    KelSurfacicRep bad;
    bad.AddGeomFace(new HandOutFaceGP(v, 9, {0, 3, 6}), Attributes(1));
    for (const float* p : sharers)
      bad.AddGeomFace(new HandOutFaceGP(p, 0, {0, 3, 6}), Attributes(1));
    CaptureStderr();
    EXPECT_EQ(Merge(bad), "empty");
    EXPECT_EQ(GetCapturedStderr(), std::string("KelSurfacicRep::GroupFaces: ") + message +
                                       ". Exiting with an empty result.\n");
  }
  KelSurfacicRep empty;
  EXPECT_EQ(Merge(empty), "empty");
}

}  // namespace

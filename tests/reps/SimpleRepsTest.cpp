// The simple Reps. Shaded rectangle, cuboid, sphere and cone: every triangle
// of their faces must turn outwards and agree with its normals. Line, point,
// cloud and axis: volumes, drawing tests and rebuilds.
#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DFixedArrowGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/reps/Kel3DAxisRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCloudOfPointsRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DLineRep.h>
#include <kel/reps/Kel3DPointRep.h>
#include <kel/reps/Kel3DRectangleRep.h>
#include <kel/reps/Kel3DSimpleConeRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "KelRecordingRender.h"
#include "KelTestEnv.h"

namespace {

using keltest::ExpectXYZ;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using Triangle = std::array<int, 3>;  // coordinate positions

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
  for (int colour : {300, -2, 7})
    EXPECT_EQ(Kel3DRectangleRep(Kelpoint3f(), Kelvector3f(1, 0, 0), Kelvector3f(0, 1, 0), colour)
                  .GetGraphicAttributeSet()
                  .color,
              colour == 7 ? 7 : 253);
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
  KelRecordingRender render;
  box.DrawShading(render, 0);
  EXPECT_EQ(render.GetLog().size(), 1u + 6u * 2u) << render.Joined();

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

}  // namespace

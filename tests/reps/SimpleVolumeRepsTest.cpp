// Shaded simple Reps: rectangle, cuboid, sphere and cone. Layouts are checked
// against hand-made values and every triangle of the closed volumes must turn
// outwards and agree with its normals.
#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DRectangleRep.h>
#include <kel/reps/Kel3DSimpleConeRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>

#include <array>
#include <cmath>
#include <vector>

#include "KelRecordingRender.h"

namespace {

using Triangle = std::array<int, 3>;  // coordinate positions

// The triangles a face stands for: its triangles, its strips (every other
// triangle turned back to keep the winding) and its fans.
std::vector<Triangle> TrianglesOf(const Kel3DFaceGP& f) {
  std::vector<Triangle> out;
  for (int t = 0; t < f.GetNbTriangles(); ++t)
    out.push_back(
        {f.GetTriangles()[3 * t], f.GetTriangles()[3 * t + 1], f.GetTriangles()[3 * t + 2]});
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

Kelvector3f At(const float* a, int position) {
  return Kelvector3f(a + position);
}

// Every non-degenerate triangle of the face turns away from `inside` and
// agrees with the face's normals (one per vertex, or the single one). Answers
// the number of triangles checked.
int ExpectOutward(const Kel3DFaceGP& f, const Kelpoint3f& inside) {
  const float* v = f.GetVertexArray();
  const float* n = f.GetNormals();
  const bool perVertex = f.GetNbNormalCoords() == f.GetNbVertexCoords();
  int checked = 0;
  for (const Triangle& t : TrianglesOf(f)) {
    const Kelvector3f a = At(v, t[0]), b = At(v, t[1]), c = At(v, t[2]);
    const Kelvector3f g = (b - a) ^ (c - a);
    if (g.Norm() < 1e-6f) continue;  // pole or closing sliver
    ++checked;
    const Kelvector3f out = (a + b + c) / 3.0f - inside.AsVector();
    EXPECT_GT(g * out, 0.0f) << "triangle " << t[0] << " " << t[1] << " " << t[2];
    const Kelvector3f normal = perVertex ? At(n, t[0]) + At(n, t[1]) + At(n, t[2]) : Kelvector3f(n);
    EXPECT_GT(g * normal, 0.0f) << "triangle " << t[0] << " " << t[1] << " " << t[2];
  }
  return checked;
}

std::vector<float> Floats(const float* p, int n) {
  return std::vector<float>(p, p + n);
}
std::vector<int> Ints(const int* p, int n) {
  return std::vector<int>(p, p + n);
}

TEST(SimpleRectangleRep, LayoutColourAndBounds) {
  // Colours out of 0..255 fall back to the default 253.
  for (int colour : {300, -2, 7})
    EXPECT_EQ(Kel3DRectangleRep(Kelpoint3f(), Kelvector3f(1, 0, 0), Kelvector3f(0, 1, 0), colour)
                  .GetGraphicAttributeSet()
                  .color,
              colour == 7 ? 7 : 253);
  Kel3DRectangleRep r(Kelpoint3f(1, 1, 0), Kelvector3f(2, 0, 0), Kelvector3f(0, 3, 0), 7);
  const Kel3DPlanarFaceGP& f = *r.GetFace();
  EXPECT_EQ(Floats(f.GetVertexArray(), 12),
            (std::vector<float>{1, 1, 0, 3, 4, 0, 3, 1, 0, 1, 4, 0}));
  EXPECT_EQ(Floats(f.GetNormal(), 3), (std::vector<float>{0, 0, 1}));
  EXPECT_EQ(Ints(f.GetTriangles(), 6), (std::vector<int>{0, 6, 3, 0, 3, 9}));
  EXPECT_EQ(ExpectOutward(f, Kelpoint3f(2, 2.5f, -1)), 2) << "both triangles face u x v";
  EXPECT_EQ(Kelpoint3f(r.GetBoundingElement().GetCenter()), Kelpoint3f(2, 2.5f, 0));
  EXPECT_NEAR(r.GetBoundingElement().GetRadius(), 0.5f * std::sqrt(13.0f), 1e-6);

  // A slanted parallelogram: its far corners lie on the longer diagonal u - v.
  Kel3DRectangleRep slanted(Kelpoint3f(), Kelvector3f(4, 0, 0), Kelvector3f(-3, 1, 0), 1);
  const Kel3DBoundingSphere& s = slanted.GetBoundingElement();
  for (int k = 0; k < 4; ++k)
    EXPECT_LE((Kelpoint3f(slanted.GetFace()->GetVertexArray() + 3 * k) - Kelpoint3f(s.GetCenter()))
                  .Norm(),
              s.GetRadius() + 1e-5f);

  KelRecordingRender render;
  r.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "IsDrawable volume, SetForeground 7, IsSeen, Draw3DPlanarFace");
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
    for (int k = 0; k < 6; ++k) {
      const Kel3DPlanarFaceGP& side = *box.GetFace(k);
      ASSERT_EQ(side.GetNbStrips(), 1);
      EXPECT_NEAR(Kelvector3f(side.GetNormal()).Norm(), 1.0f, 1e-6);
      EXPECT_EQ(ExpectOutward(side, centre), 2) << "side " << k;
      // Every corner lies in the bounding sphere.
      for (int i = 0; i < 4; ++i)
        EXPECT_LE((Kelpoint3f(side.GetVertexArray() + 3 * i) - centre).Norm(),
                  box.GetBoundingElement().GetRadius() + 1e-5f);
    }
  }

  // Box 2 x 3 x 4: the -w side lies in z = 3 and faces (0, 0, -1).
  Kel3DCuboidRep box(corner, u, v, w, 400);
  EXPECT_EQ(box.GetGraphicAttributeSet().color, 253);
  EXPECT_EQ(Floats(box.GetFace(0)->GetNormal(), 3), (std::vector<float>{0, 0, -1}));
  EXPECT_EQ(Floats(box.GetFace(5)->GetNormal(), 3), (std::vector<float>{1, 0, 0}));
  EXPECT_NEAR(box.GetBoundingElement().GetRadius(), 0.5f * std::sqrt(29.0f), 1e-6);

  KelRecordingRender render;
  box.DrawShading(render, 0);
  EXPECT_EQ(render.GetLog().size(), 1u + 6u * 2u) << render.Joined();
  render.ClearLog();
  render.outside = 1;
  box.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "IsDrawable volume");
}

TEST(SimpleCuboidRep, ModifyMovesAndReshapesWithTheParents) {
  auto* bag = new Kel3DBagRep;
  auto* box = new Kel3DCuboidRep(Kelpoint3f(0, 0, 0), Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0),
                                 Kelvector3f(0, 0, 2), 1);
  bag->AddChild(*box);
  box->Modify(Kelpoint3f(10, 0, 0));
  EXPECT_EQ(Kelpoint3f(box->GetFace(0)->GetVertexArray()), Kelpoint3f(10, 0, 0));
  EXPECT_NEAR(bag->GetBoundingElement().GetCenter()[0], 11.0f, 1e-5);

  box->Modify(Kelpoint3f(0, 0, 0), Kelvector3f(6, 0, 0), Kelvector3f(0, 2, 0),
              Kelvector3f(0, 0, 3));
  EXPECT_NEAR(bag->GetBoundingElement().GetCenter()[0], 3.0f, 1e-5);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), 3.5f, 1e-5);
  bag->Destroy();
}

TEST(SimpleSphereRep, LayoutOfTwoMeridians) {
  Kel3DSimpleSphereRep s(Kelpoint3f(1, 2, 3), 2.0f, 2);
  const Kel3DFaceGP& f = *s.GetFace();
  ASSERT_EQ(f.GetNbVertexCoords(), 27);
  EXPECT_EQ(f.GetNbNormalCoords(), 27);
  EXPECT_EQ(f.GetNbTriangles() + f.GetNbFans(), 0);
  ASSERT_EQ(f.GetNbStrips(), 2);
  EXPECT_EQ(Ints(f.GetStripLengths(), 2), (std::vector<int>{4, 4}));
  // Strip i: (i, 0), (i + 1, 1), (i, 1), (i, 2), vertex (i, j) at 3 (3i + j).
  EXPECT_EQ(Ints(f.GetStrips(), 8), (std::vector<int>{0, 12, 3, 6, 9, 21, 12, 15}));
  // (0, 0) is the north pole; (1, 1) has phi = pi, theta = pi/2: normal (-1, 0, 0).
  EXPECT_EQ(Kelpoint3f(f.GetVertexArray()), Kelpoint3f(1, 2, 5));
  EXPECT_NEAR((Kelvector3f(f.GetNormals() + 12) - Kelvector3f(-1, 0, 0)).Norm(), 0.0f, 1e-6);
  EXPECT_NEAR(f.GetVertexArray()[12], -1.0f, 1e-6);
  // (0, 2) is the south pole.
  EXPECT_NEAR(f.GetVertexArray()[8], 1.0f, 1e-6);
}

TEST(SimpleSphereRep, StripsTurnOutwardsAndModifyKeepsTheMeridians) {
  Kel3DSimpleSphereRep s(Kelpoint3f(1, 2, 3), 5.0f, 7);
  const Kel3DFaceGP& f = *s.GetFace();
  ASSERT_EQ(f.GetNbVertexCoords(), 3 * 64);
  ASSERT_EQ(f.GetNbStrips(), 7);
  // 7 strips of 14 indices: 12 triangles each, the polar ones degenerate or not.
  EXPECT_GE(ExpectOutward(f, Kelpoint3f(1, 2, 3)), 7 * 10);
  for (int k = 0; k < f.GetNbVertexCoords(); k += 3) {
    const Kelvector3f radial = Kelpoint3f(f.GetVertexArray() + k) - Kelpoint3f(1, 2, 3);
    EXPECT_NEAR(radial.Norm(), 5.0f, 1e-5);
    EXPECT_NEAR(radial * Kelvector3f(f.GetNormals() + k), 5.0f, 1e-5);
  }

  auto* bag = new Kel3DBagRep;
  auto* t = new Kel3DSimpleSphereRep(Kelpoint3f(0, 0, 0), 1.0f, 4);
  bag->AddChild(*t);
  t->Modify(Kelpoint3f(0, 0, 5), 2.0f);
  EXPECT_EQ(t->GetFace()->GetNbVertexCoords(), 75) << "the meridians are kept";
  EXPECT_NEAR(bag->GetBoundingElement().GetCenter()[2], 5.0f, 1e-6);

  // Fewer than 2 meridians would divide by zero.
  testing::internal::CaptureStderr();
  t->Modify(Kelpoint3f(0, 0, 0), 1.0f, 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel3DSimpleSphereRep::BuildFaces: Invalid number of meridians.\n");
  EXPECT_EQ(t->GetNbMeridians(), 2);
  bag->Destroy();
}

TEST(SimpleConeRep, LayoutOfFourFacets) {
  // Apex above the base: a = (0, 0, -1), u = (1, 0, 0), v = a x u = (0, -1, 0).
  Kel3DSimpleConeRep c(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 2), 1.0f, 4);
  const Kel3DFaceGP& f = *c.GetFace();
  ASSERT_EQ(f.GetNbVertexCoords(), 36);
  EXPECT_EQ(f.GetNbStrips() + f.GetNbTriangles(), 0);
  ASSERT_EQ(f.GetNbFans(), 2);
  EXPECT_EQ(Ints(f.GetFanLengths(), 2), (std::vector<int>{6, 6}));
  EXPECT_EQ(Ints(f.GetFans(), 12), (std::vector<int>{0, 3, 6, 9, 12, 15, 18, 33, 30, 27, 24, 21}));
  const float h = std::sqrt(0.5f);
  // First rim point at 45 degrees between u and v.
  EXPECT_NEAR(f.GetVertexArray()[3], h, 1e-6);
  EXPECT_NEAR(f.GetVertexArray()[4], -h, 1e-6);
  EXPECT_EQ(Kelpoint3f(f.GetVertexArray() + 15), Kelpoint3f(f.GetVertexArray() + 3))
      << "the rim closes on its first point";
  EXPECT_EQ(Kelpoint3f(f.GetVertexArray() + 18), Kelpoint3f(0, 0, 2));
  EXPECT_EQ(Floats(f.GetNormals(), 3), (std::vector<float>{0, 0, -1}));
  EXPECT_EQ(Floats(f.GetNormals() + 18, 3), (std::vector<float>{0, 0, 1}));
  // Side normal at the first rim point: t x e with t = (-h, -h, 0) and
  // e = (h, -h, -2) / sqrt 5, that is (2, -2, sqrt 2) / sqrt 10.
  const float s10 = std::sqrt(10.0f);
  EXPECT_NEAR(
      (Kelvector3f(f.GetNormals() + 21) - Kelvector3f(2 / s10, -2 / s10, std::sqrt(2.0f) / s10))
          .Norm(),
      0.0f, 1e-6);
  // Sphere centre (0, 0, 1), radius sqrt(1 + 1).
  EXPECT_EQ(Kelpoint3f(c.GetBoundingElement().GetCenter()), Kelpoint3f(0, 0, 1));
  EXPECT_NEAR(c.GetBoundingElement().GetRadius(), std::sqrt(2.0f), 1e-6);
  EXPECT_EQ(ExpectOutward(f, Kelpoint3f(0, 0, 0.5f)), 8);
}

TEST(SimpleConeRep, AnyOrientationFacesOutwards) {
  const Kelpoint3f bases[] = {Kelpoint3f(1, 2, 3), Kelpoint3f(0, 0, 5), Kelpoint3f(0, 0, 0)};
  const Kelpoint3f apexes[] = {Kelpoint3f(4, 0, 5), Kelpoint3f(0, 0, 0), Kelpoint3f(0, 3, 0)};
  for (int k = 0; k < 3; ++k) {
    Kel3DSimpleConeRep c(bases[k], apexes[k], 1.5f, 7);
    const Kelpoint3f inside = bases[k] + 0.25f * (apexes[k] - bases[k]);
    EXPECT_EQ(ExpectOutward(*c.GetFace(), inside), 14) << "cone " << k;
  }

  auto* bag = new Kel3DBagRep;
  auto* c = new Kel3DSimpleConeRep(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 2), 1.0f, 4);
  bag->AddChild(*c);
  c->Modify(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 8), 3.0f);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), 5.0f, 1e-5);
  bag->Destroy();

  testing::internal::CaptureStderr();
  Kel3DSimpleConeRep none(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 1), 1.0f, 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel3DSimpleConeRep::Kel3DSimpleConeRep: Invalid number of facets.\n");
  EXPECT_EQ(none.GetFace()->GetNbVertexCoords(), 3 * 10);
}

}  // namespace

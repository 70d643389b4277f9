// Screen-sized 3D primitives: fixed arrow, fixed plan, arc of circle and
// annotation text, drawn at fixed scales and through a moving conic camera.
#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel3DAnnotationTextGP.h>
#include <kel/primitives/Kel3DArcCircleGP.h>
#include <kel/primitives/Kel3DFixedArrowGP.h>
#include <kel/primitives/Kel3DFixedPlanGP.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "KelRecordingRender.h"

namespace {

constexpr double kPi = KelMath::PI;
using ScreenRender = KelCameraRender;

float Distance(const float* a, const float* b) {
  return (Kelpoint3f(a) - Kelpoint3f(b)).Norm();
}
float PixelDistance(const Kelpoint2f& a, const Kelpoint2f& b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// The one polyline a primitive draws afresh (none when it draws none or more).
std::vector<float> Outline(KelGraphicPrimitive& gp, ScreenRender& render) {
  render.polylines.clear();
  gp.Draw(render);
  return render.polylines.size() == 1 ? render.polylines[0] : std::vector<float>();
}

Kel3DViewpoint LookingAlong(const Keldirection3f& sight, const Keldirection3f& up) {
  return Kel3DViewpoint(Kelpoint3f(0, 0, 50), sight, up, 1.0f, 1000.0f, CONIC_PROJECTION, 50.0f);
}

TEST(ScreenSizedArrow, OutlineAndLabelAtOneModelUnitPerMillimetre) {
  Kel3DFixedArrowGP arrow(Kelpoint3f(1, 2, 3), Keldirection3f(1, 0, 0), 10, 5);
  arrow.AssociateText("first");
  arrow.AssociateText("X");  // the first copy is freed
  ScreenRender render(1.0f);
  // Seen along -z: side direction d x e = (1, 0, 0) x (0, 0, -1) = (0, 1, 0).
  const Kel3DViewpoint camera = LookingAlong(Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  arrow.ImmediateDraw(render, &camera, nullptr);
  ASSERT_EQ(render.polylines.size(), 1u);
  // Head base 5 from the origin, tip 10, barbs 1 off the axis.
  EXPECT_EQ(render.polylines[0],
            (std::vector<float>{1, 2, 3, 6, 2, 3, 6, 3, 3, 11, 2, 3, 6, 1, 3, 6, 2, 3}));
  ASSERT_EQ(render.texts.size(), 1u);
  EXPECT_EQ(render.texts[0].position, (std::vector<float>{6, 5, 3}));
  EXPECT_EQ(render.texts[0].text, "X");

  render.polylines.clear();
  render.texts.clear();
  arrow.AssociateText(nullptr);
  arrow.ImmediateDraw(render, &camera, nullptr);
  EXPECT_EQ(render.polylines.size(), 1u);
  EXPECT_TRUE(render.texts.empty()) << "the label was removed";
}

TEST(ScreenSizedArrow, EndOnDrawsNothing) {
  const Keldirection3f diagonal(1, 1, 1);
  const Keldirection3f sights[] = {Keldirection3f(1, 0, 0), Keldirection3f(-1, 0, 0), -diagonal};
  const Keldirection3f directions[] = {Keldirection3f(1, 0, 0), Keldirection3f(1, 0, 0), diagonal};
  for (int k = 0; k < 3; ++k) {
    Kel3DFixedArrowGP arrow(Kelpoint3f(), directions[k], 10, 2);
    arrow.AssociateText("X");
    ScreenRender render;
    const Kel3DViewpoint camera = LookingAlong(sights[k], Keldirection3f(0, 0, 1));
    const long errors = KelMath::ErrorCount();
    arrow.ImmediateDraw(render, &camera, nullptr);
    EXPECT_TRUE(render.polylines.empty()) << k;
    EXPECT_TRUE(render.texts.empty()) << k;
    EXPECT_EQ(KelMath::ErrorCount(), errors) << "no null side direction reported";
  }
}

TEST(ScreenSizedArrow, KeepsItsMillimetresWhenTheCameraMovesAway) {
  Kel3DFixedArrowGP arrow(Kelpoint3f(0, 0, 0), Keldirection3f(1, 0, 0), 10, 5);
  arrow.AssociateText("X");
  for (float distance : {20.0f, 200.0f, 2000.0f}) {
    ScreenRender render;
    render.LookFrom(distance);
    const std::vector<float> p = Outline(arrow, render);
    ASSERT_EQ(p.size(), 18u);
    // 10 mm of shaft and 4 pixels per millimetre: 40 pixels to the tip, 20 to
    // the head base; barbs 1 mm off the axis, the label 3 mm.
    EXPECT_NEAR(PixelDistance(render.Pixel(&p[0]), render.Pixel(&p[9])), 40.0f, 0.05f) << distance;
    EXPECT_NEAR(PixelDistance(render.Pixel(&p[0]), render.Pixel(&p[3])), 20.0f, 0.05f);
    EXPECT_NEAR(PixelDistance(render.Pixel(&p[3]), render.Pixel(&p[6])), 4.0f, 0.05f);
    ASSERT_EQ(render.texts.size(), 1u);
    EXPECT_NEAR(PixelDistance(render.Pixel(&p[3]), render.Pixel(render.texts[0].position.data())),
                12.0f, 0.05f);
  }
}

TEST(ScreenSizedPlan, SquareOfFixedMillimetres) {
  // Sides along x and y: corners on the diagonals (1, 1) and (1, -1).
  Kel3DFixedPlanGP plan(Kelpoint3f(1, 1, 1), Keldirection3f(1, 0, 0), Keldirection3f(0, 1, 0),
                        10.0f);
  ScreenRender render(2.0f);  // one millimetre is 2 model units
  const std::vector<float> p = Outline(plan, render);
  ASSERT_EQ(p.size(), 15u);
  const float c[3] = {1, 1, 1}, s = 10.0f / std::sqrt(2.0f);
  for (int k = 0; k < 5; ++k) EXPECT_NEAR(Distance(&p[3 * k], c), 10.0f, 1e-5) << k;
  for (int k : {0, 1, 3}) EXPECT_NEAR(p[k], 1 + s, 1e-5);
  EXPECT_NEAR(p[4], 1 - s, 1e-5);
  EXPECT_EQ(std::vector<float>(p.begin(), p.begin() + 3),
            std::vector<float>(p.begin() + 12, p.end()))
      << "the outline is closed";
  // Millimetres through a moving camera: the arrow test above.
}

// Angle of a point of the arc about (1, 2, 3) in the xy plane, in [0, 2pi).
double AngleOf(const float* p) {
  double a = std::atan2(p[1] - 2.0, p[0] - 1.0);
  return a < 0 ? a + 2 * kPi : a;
}

TEST(ScreenSizedArc, AnglesAndFrame) {
  const float centre[3] = {1, 2, 3}, z[3] = {0, 0, 1}, x[3] = {1, 0, 0};
  // An end before the start, or a negative start, is moved up a turn.
  EXPECT_NEAR(Kel3DArcCircleGP(centre, z, x, 1.0f, 3.0f, 1.0f).GetEnd(), 1.0 + 2 * kPi, 1e-12);
  EXPECT_NEAR(Kel3DArcCircleGP(centre, z, x, 1.0f, -1.0f, 1.0f).GetStart(), -1.0 + 2 * kPi, 1e-12);

  // From 350 to 10 degrees: 20 degrees through 0. At a null sag a turn is 250
  // segments: int(0.349066 * 250 / 2pi + 0.5) = 14 points.
  const float start = float(350 * kPi / 180), end = float(10 * kPi / 180);
  Kel3DArcCircleGP arc(centre, z, x, 2.0f, start, end);
  ScreenRender render;
  const std::vector<float> p = Outline(arc, render);
  ASSERT_EQ(p.size(), 3u * 14u);
  EXPECT_NEAR(AngleOf(&p[0]), 350 * kPi / 180, 1e-5);
  EXPECT_NEAR(AngleOf(&p[3 * 13]), 10 * kPi / 180, 1e-5);
  int passed = 0;
  for (int k = 0; k < 14; ++k) {
    EXPECT_NEAR(Distance(&p[3 * k], centre), 2.0f, 1e-5);
    if (k > 0 && p[3 * k + 1] >= 2.0f && p[3 * k - 2] < 2.0f) ++passed;
  }
  EXPECT_EQ(passed, 1) << "crosses angle 0 once";

  // Angle 0 along the axis, growing towards normal x axis: with normal x and
  // axis y, a quarter turn points along z.
  const float y[3] = {0, 1, 0};
  Kel3DArcCircleGP upright(centre, x, y, 2.0f, float(kPi / 2), float(kPi));
  const std::vector<float> q = Outline(upright, render);
  ASSERT_FALSE(q.empty());
  EXPECT_NEAR(Distance(&q[0], std::vector<float>{1, 2, 5}.data()), 0.0f, 1e-5);
  EXPECT_NEAR(q[q.size() - 2], 0.0f, 1e-4) << "half a turn: along -y";
}

TEST(ScreenSizedArc, SegmentCountsAndDegenerateArcs) {
  const float centre[3] = {0, 0, 0}, z[3] = {0, 0, 1}, x[3] = {1, 0, 0};
  // Finest cut: 250 segments per turn, a full turn gives 250 points, first on last.
  Kel3DArcCircleGP circle(centre, z, x, 1.0f, 0.0f, float(2 * kPi));
  ScreenRender render;
  const std::vector<float> p = Outline(circle, render);
  ASSERT_EQ(p.size(), 3u * 250u);
  EXPECT_NEAR(Distance(&p[0], &p[3 * 249]), 0.0f, 1e-4);
  EXPECT_NEAR(Distance(&p[0], &p[3]), 2 * std::sin(kPi / 249), 1e-5);

  // Ten full turns draw the circle once.
  Kel3DArcCircleGP wound(centre, z, x, 1.0f, 0.0f, float(20 * kPi));
  EXPECT_EQ(wound.ComputePointCount(0.0), 250);

  // 0.01 radian: int(0.4 + 0.5) = 0 points.
  Kel3DArcCircleGP tiny(centre, z, x, 1.0f, 0.0f, 0.01f);
  EXPECT_TRUE(Outline(tiny, render).empty());

  // No radius, or a sag beyond the diameter (whose 1 - s/r has no arc cosine):
  // nothing, and no runaway point count.
  Kel3DArcCircleGP flat(centre, z, x, 0.0f, 0.0f, 3.0f);
  Kel3DArcCircleGP inverted(centre, z, x, -1.0f, 0.0f, 3.0f);
  flat.Draw(render);
  inverted.Draw(render);
  EXPECT_TRUE(render.polylines.empty());
  EXPECT_EQ(circle.ComputePointCount(5.0), 1);
  EXPECT_EQ(circle.ComputePointCount(std::nan("")), 250);

  Kel3DArcCircleGP small(centre, z, x, 0.001f, 0.0f, float(2 * kPi));
  ScreenRender camera;
  camera.LookFrom(100.0f);  // tolerated sag about 0.21, 200 radii
  small.Draw(camera);
  EXPECT_TRUE(camera.polylines.empty());
}

}  // namespace

// The 2D primitives of the model: arcs of circle (normalised angles,
// tessellation to the tolerance, clipping to the view's rectangle), the
// adaptive curve, and arrowheads of fixed millimetre size (how they look is
// checked against reference pictures by the 2D drawing tests).
#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel2DArcCircleGP.h>
#include <kel/primitives/Kel2DArrowSymbolGP.h>
#include <kel/primitives/Kel2DCurveGP.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel2DViewport.h>

#include <cmath>
#include <string>
#include <vector>

#include "KelRecordingRender.h"
#include "KelTestEnv.h"

namespace {

constexpr double kPi = KelMath::PI;
const float kOrigin[2] = {0, 0};

// The intervals as start, end, start, end ...
std::vector<double> Clip(const Kel2DArcCircleGP& arc, const Kel2DViewport& view) {
  double s[Kel2DArcCircleGP::MAX_INTERVALS], e[Kel2DArcCircleGP::MAX_INTERVALS];
  std::vector<double> out;
  for (int i = 0, k = arc.ClipRectangle(&view, s, e); i < k; ++i)
    out.insert(out.end(), {s[i], e[i]});
  return out;
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-5) << i;
}

TEST(Arc2D, PointsOnTheCircleAtEveryTolerance) {
  const float centre[2] = {1, 2};
  const Kel2DArcCircleGP arc(centre, 10.0f, 0.0f, 6.2831855f, 0);
  float p[2 * Kel2DArcCircleGP::MAX_POINTS];
  // Finest: 4 units a segment, 250 steps over a turn, and the end point.
  ASSERT_EQ(arc.ComputePoints(0.0, 2 * kPi, 1e-9, p), 252);
  EXPECT_EQ(std::vector<float>(p, p + 2), (std::vector<float>{11, 2}));
  EXPECT_EQ(std::vector<float>(p + 502, p + 504), (std::vector<float>{11, 2}));
  // A sag of r (1 - cos(pi / 20)): segments of pi / 10, a half turn in 10.
  EXPECT_EQ(arc.ComputePoints(0.0, kPi, 10.0 * (1.0 - std::cos(kPi / 20)), p), 12);
  // Whatever the tolerance, past the diameter too: points on the circle,
  // from the start to the end.
  for (double s = 0.01; s < 30.0; s *= 1.37) {
    const int n = arc.ComputePoints(0.3, 2.9, s, p);
    ASSERT_GE(n, 2) << s;
    for (int i = 0; i < n; ++i) {
      const double dx = p[2 * i] - 1.0, dy = p[2 * i + 1] - 2.0;
      EXPECT_NEAR(std::hypot(dx, dy), 10.0, 1e-4) << s << " " << i;
      EXPECT_LE(std::atan2(dy, dx), 2.9 + 1e-3) << s << " " << i;
    }
  }
  EXPECT_EQ(Kel2DArcCircleGP(centre, 0.0f, 0.0f, 1.0f, 0).ComputePoints(0.0, 1.0, 0.1, p), 0);
  EXPECT_EQ(Kel2DArcCircleGP(centre, -1.0f, 0.0f, 1.0f, 0).ComputePoints(0.0, 1.0, 0.1, p), 0);
}

TEST(Arc2D, AStartBeyondATurnDrawsItsArc) {
  // Start 7, end 8: from 0.7168 to 1.7168, units 114 to 273, 39 steps.
  Kel2DArcCircleGP arc(kOrigin, 10.0f, 7.0f, 8.0f, 0);
  KelRecordingRender render;
  arc.ImmediateDraw(render, nullptr, nullptr);
  EXPECT_EQ(render.Joined(), "ImmediateDraw2DPolyline 41");
  const std::vector<float>& p = render.shapes2D.at(0).points;
  for (size_t i = 0; i < p.size(); i += 2) {
    EXPECT_GE(std::atan2(p[i + 1], p[i]), 7.0 - 2 * kPi - 1e-5) << i;
    EXPECT_LE(std::atan2(p[i + 1], p[i]), 8.0 - 2 * kPi + 1e-5) << i;
  }
}

TEST(Arc2D, ClippedToTheViewQuadrantByQuadrant) {
  const Kel2DArcCircleGP circle(kOrigin, 10.0f, 0.0f, 6.2831855f, 0);
  const Kel2DArcCircleGP disc(kOrigin, 10.0f, 0.0f, 6.2831855f, 1);
  const double a = std::acos(0.8);
  // The first quadrant's view; a band through the centre; a square whose
  // corners stick out, one piece about each diagonal.
  ExpectNear(Clip(circle, Kel2DViewport(0, 20, 0, 20)), {0, kPi / 2});
  ExpectNear(Clip(circle, Kel2DViewport(-5, 5, -20, 20)),
             {kPi / 3, 2 * kPi / 3, 4 * kPi / 3, 5 * kPi / 3});
  ExpectNear(Clip(circle, Kel2DViewport(-8, 8, -8, 8)),
             {a, kPi / 2 - a, kPi / 2 + a, kPi - a, kPi + a, 3 * kPi / 2 - a, 3 * kPi / 2 + a,
              2 * kPi - a});
  // Inside the circle an outline shows nothing, a disc all of itself.
  EXPECT_TRUE(Clip(circle, Kel2DViewport(-1, 1, -1, 1)).empty());
  ExpectNear(Clip(disc, Kel2DViewport(-1, 1, -1, 1)), {0, 2 * kPi});
  EXPECT_TRUE(Clip(disc, Kel2DViewport(11, 20, -5, 5)).empty());
  // An arc over the start of the turn, seen in the first quadrant.
  const Kel2DArcCircleGP wrapping(kOrigin, 10.0f, float(3 * kPi / 2), float(kPi / 2), 0);
  ExpectNear(Clip(wrapping, Kel2DViewport(0, 20, 0, 20)), {0, kPi / 2});
}

// The adaptive curve. The indices of the points drawn, in drawing order (point i is (i, i^2)).
std::vector<int> Drawn(Kel2DCurveGP& curve, float zoom) {
  // One pixel a millimetre: the render's tolerance is 0.5 / zoom.
  Kel2DViewpoint camera(Kelpoint2f(0, 0), zoom);
  KelRecordingRender render;
  render.immediate = 1;
  render.LookThrough(camera, 100, 100, 1);
  curve.Draw(render);
  render.EndDraw(camera);
  std::vector<int> indices;
  for (const auto& shape : render.shapes2D)
    for (size_t i = 0; i < shape.points.size(); i += 2) {
      EXPECT_EQ(shape.points[i + 1], shape.points[i] * shape.points[i]);
      indices.push_back(int(shape.points[i]));
    }
  return indices;
}

std::vector<float> Points(int n) {
  std::vector<float> p;
  for (int i = 0; i < n; ++i) p.insert(p.end(), {float(i), float(i * i)});
  return p;
}

TEST(Curve2D, RefusesCountsThatDoNotMatchItsPoints) {
  const std::vector<float> p = Points(10);
  const int fives[2] = {5, 5}, empty[2] = {10, 0};
  testing::internal::CaptureStderr();
  Kel2DCurveGP wrongSum(0.01f, 2, 10, fives, p.data());
  Kel2DCurveGP emptySegment(0.01f, 2, 10, empty, p.data());
  Kel2DCurveGP noCounts(0.01f, 2, 9, nullptr, p.data());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel2DCurveGP::Kel2DCurveGP: Invalid function parameters.\n"
            "Kel2DCurveGP::Kel2DCurveGP: Invalid function parameters.\n"
            "Kel2DCurveGP::Kel2DCurveGP: Invalid function parameters.\n");
  for (Kel2DCurveGP* c : {&wrongSum, &emptySegment, &noCounts}) {
    EXPECT_EQ(c->GetNbPoints(), 0);
    EXPECT_TRUE(Drawn(*c, 5).empty());
  }
  Kel2DCurveGP none(0.01f, 0, 0, nullptr, nullptr);
  EXPECT_TRUE(Drawn(none, 5).empty());
  // No tolerance of its own: always every point.
  Kel2DCurveGP untoleranced(0.0f, 2, 9, fives, p.data());
  EXPECT_EQ(Drawn(untoleranced, 1e-3f).size(), 9u);
}

// Arrowheads.
const float kAt[2] = {3, 4};

struct Drawing {
  std::string log;
  std::vector<KelRecordingRender::Shape2D> shapes;
};

// Drawn where one millimetre is half a model unit.
Drawing DrawnHalfUnit(KelDynamicGP& gp) {
  KelRecordingRender render;
  render.SetModelPerPixel(0.5f);
  gp.ImmediateDraw(render, nullptr, nullptr);
  return {render.Joined(), render.shapes2D};
}

TEST(ArrowSymbol2D, TipOnThePointHeadAlongTheDirection) {
  // Head 4 mm = 2 units long, half-angle atan(1/2): barbs 1 unit off the axis.
  const float up[2] = {0, 3};
  Kel2DArrowSymbolGP arrow(kAt, up, 4.0f, std::atan(0.5f), OPEN_ARROW_SYMBOL);
  const Drawing open = DrawnHalfUnit(arrow);
  EXPECT_EQ(open.log, "ImmediateDraw2DPolyline 3");
  EXPECT_THAT(open.shapes.at(0).points, keltest::Near({4, 2, 3, 4, 2, 2}, 1e-5f));

  // No direction: reported, and +x.
  const float none[2] = {0, 0};
  Kel2DArrowSymbolGP lost(kAt, none, 4.0f, float(KelMath::PI / 4), HOLLOW_TRIANGLE_ARROW_SYMBOL);
  const long errors = KelMath::ErrorCount();
  const Drawing hollow = DrawnHalfUnit(lost);
  EXPECT_EQ(KelMath::ErrorCount(), errors + 1);
  EXPECT_EQ(hollow.log,
            "SetForeground 254, ImmediateDraw2DPolygon 3 1, SetForeground 253, "
            "ImmediateDraw2DPolygon 3 0");
  EXPECT_THAT(hollow.shapes.at(1).points, keltest::Near({1, 2, 3, 4, 1, 6}, 1e-5f));

  for (SymbolType t : {FILLED_SQUARE_SYMBOL, SymbolType(10)}) {
    Kel2DArrowSymbolGP other(kAt, up, 4.0f, 0.5f, t);
    EXPECT_EQ(DrawnHalfUnit(other).log, "") << t;
  }
}

}  // namespace

// Arcs of circle in the 2D model: normalised angles, tessellation to the
// tolerance, and clipping to the view's rectangle.
#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel2DArcCircleGP.h>
#include <kel/viewpoints/Kel2DViewport.h>

#include <cmath>
#include <vector>

#include "KelRecordingRender.h"

namespace {

constexpr double kPi = KelMath::PI;
const float kOrigin[2] = {0, 0};

struct Interval {
  double start, end;
};

std::vector<Interval> Clip(const Kel2DArcCircleGP& arc, const Kel2DViewport& view) {
  double s[Kel2DArcCircleGP::MAX_INTERVALS], e[Kel2DArcCircleGP::MAX_INTERVALS];
  const int k = arc.ClipRectangle(&view, s, e);
  std::vector<Interval> out;
  for (int i = 0; i < k; ++i) out.push_back({s[i], e[i]});
  return out;
}

void ExpectIntervals(const std::vector<Interval>& got, const std::vector<Interval>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_NEAR(got[i].start, want[i].start, 1e-5) << i;
    EXPECT_NEAR(got[i].end, want[i].end, 1e-5) << i;
  }
}

TEST(Arc2D, AnglesAreBroughtIntoOneTurn) {
  const struct {
    float start, end;
    double wantStart, wantEnd;
  } cases[] = {
      {3.0f, 1.0f, 3.0, 1.0 + 2 * kPi},
      {-1.0f, 1.0f, -1.0 + 2 * kPi, 1.0 + 2 * kPi},
      // Beyond a turn: the same arc one turn back, not a reversed interval.
      {7.0f, 8.0f, 7.0 - 2 * kPi, 8.0 - 2 * kPi},
      {-20.0f, -19.0f, -20.0 + 8 * kPi, -19.0 + 8 * kPi},
      {0.0f, 20.0f, 0.0, 2 * kPi},
  };
  for (const auto& c : cases) {
    const Kel2DArcCircleGP arc(kOrigin, 1.0f, c.start, c.end, 0);
    EXPECT_NEAR(arc.GetStart(), c.wantStart, 1e-6) << c.start;
    EXPECT_NEAR(arc.GetEnd(), c.wantEnd, 1e-6) << c.start;
  }
}

TEST(Arc2D, SegmentsFollowTheTolerance) {
  const float centre[2] = {1, 2};
  const Kel2DArcCircleGP arc(centre, 10.0f, 0.0f, 6.2831855f, 0);
  float p[2 * Kel2DArcCircleGP::MAX_POINTS];
  // Finest: 4 units a segment, 250 steps over a turn, and the end point.
  ASSERT_EQ(arc.ComputePoints(0.0, 2 * kPi, 1e-9, p), 252);
  EXPECT_FLOAT_EQ(p[0], 11.0f);
  EXPECT_FLOAT_EQ(p[2 * 251], 11.0f);
  EXPECT_FLOAT_EQ(p[2 * 251 + 1], 2.0f);
  for (int i = 0; i < 252; ++i)
    EXPECT_NEAR(std::hypot(p[2 * i] - 1.0, p[2 * i + 1] - 2.0), 10.0, 1e-4) << i;
  // A sag of r (1 - cos(pi / 20)): segments of pi / 10 (50 units), so a half
  // turn is 10 steps and 12 points.
  EXPECT_EQ(arc.ComputePoints(0.0, kPi, 10.0 * (1.0 - std::cos(kPi / 20)), p), 12);
  // A sag past the diameter is one segment per turn, never a NaN.
  const int n = arc.ComputePoints(0.0, kPi, 25.0, p);
  ASSERT_GE(n, 2);
  ASSERT_LE(n, Kel2DArcCircleGP::MAX_POINTS);
  for (int i = 0; i < 2 * n; ++i) EXPECT_TRUE(std::isfinite(p[i])) << i;
  // No radius, nothing.
  EXPECT_EQ(Kel2DArcCircleGP(centre, 0.0f, 0.0f, 1.0f, 0).ComputePoints(0.0, 1.0, 0.1, p), 0);
  EXPECT_EQ(Kel2DArcCircleGP(centre, -1.0f, 0.0f, 1.0f, 0).ComputePoints(0.0, 1.0, 0.1, p), 0);
}

TEST(Arc2D, AStartBeyondATurnDrawsItsArc) {
  // Start 7, end 8: from 0.7168 to 1.7168, units 114 to 273, 39 steps.
  Kel2DArcCircleGP arc(kOrigin, 10.0f, 7.0f, 8.0f, 0);
  KelRecordingRender render;
  arc.ImmediateDraw(render, nullptr, nullptr);
  ASSERT_EQ(render.shapes2D.size(), 1u);
  const std::vector<float>& p = render.shapes2D[0].points;
  ASSERT_EQ(p.size(), 2u * 41);
  for (size_t i = 0; i < p.size(); i += 2) {
    const double angle = std::atan2(p[i + 1], p[i]);
    EXPECT_GE(angle, 7.0 - 2 * kPi - 1e-5) << i;
    EXPECT_LE(angle, 8.0 - 2 * kPi + 1e-5) << i;
  }
}

TEST(Arc2D, ClippedToTheViewQuadrantByQuadrant) {
  const Kel2DArcCircleGP circle(kOrigin, 10.0f, 0.0f, 6.2831855f, 0);
  const Kel2DArcCircleGP disc(kOrigin, 10.0f, 0.0f, 6.2831855f, 1);
  // The first quadrant's view holds the first quarter.
  ExpectIntervals(Clip(circle, Kel2DViewport(0, 20, 0, 20)), {{0, kPi / 2}});
  // A band through the centre: the top and bottom thirds of the turn.
  ExpectIntervals(Clip(circle, Kel2DViewport(-5, 5, -20, 20)),
                  {{kPi / 3, 2 * kPi / 3}, {4 * kPi / 3, 5 * kPi / 3}});
  // A square whose corners stick out: one piece about each diagonal.
  const double a = std::acos(0.8);
  ExpectIntervals(Clip(circle, Kel2DViewport(-8, 8, -8, 8)), {{a, kPi / 2 - a},
                                                              {kPi / 2 + a, kPi - a},
                                                              {kPi + a, 3 * kPi / 2 - a},
                                                              {3 * kPi / 2 + a, 2 * kPi - a}});
  // Inside the circle an outline shows nothing, a disc all of itself.
  EXPECT_TRUE(Clip(circle, Kel2DViewport(-1, 1, -1, 1)).empty());
  ExpectIntervals(Clip(disc, Kel2DViewport(-1, 1, -1, 1)), {{0, 2 * kPi}});
  EXPECT_TRUE(Clip(disc, Kel2DViewport(11, 20, -5, 5)).empty());
  // An arc over the start of the turn, seen in the first quadrant.
  const Kel2DArcCircleGP wrapping(kOrigin, 10.0f, float(3 * kPi / 2), float(kPi / 2), 0);
  ExpectIntervals(Clip(wrapping, Kel2DViewport(0, 20, 0, 20)), {{0, kPi / 2}});
}

}  // namespace

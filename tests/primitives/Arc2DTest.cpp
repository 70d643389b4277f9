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

}  // namespace

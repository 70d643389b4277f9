// The adaptive 2D curve: every point while the render's chord tolerance is
// within the curve's, every k-th one of each segment when zoomed out.
#include <gtest/gtest.h>

#include <kel/primitives/Kel2DCurveGP.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include <vector>

#include "KelRecordingRender.h"

namespace {

// The indices of the points drawn, in drawing order (point i is (i, i^2)).
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

}  // namespace

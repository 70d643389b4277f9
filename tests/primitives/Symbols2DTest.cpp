// Arrowheads of fixed millimetre size in the 2D model; how they look is
// checked against reference pictures by the 2D drawing tests.
#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel2DArrowSymbolGP.h>

#include <cmath>
#include <string>
#include <vector>

#include "KelRecordingRender.h"

namespace {

const float kAt[2] = {3, 4};

struct Drawing {
  std::string log;
  std::vector<KelRecordingRender::Shape2D> shapes;
};

// Drawn where one millimetre is half a model unit.
Drawing Drawn(KelDynamicGP& gp) {
  KelRecordingRender render;
  render.SetModelPerPixel(0.5f);
  gp.ImmediateDraw(render, nullptr, nullptr);
  return {render.Joined(), render.shapes2D};
}

void ExpectPoints(const std::vector<float>& got, const std::vector<float>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-5f) << i;
}

const char* const kHollow =
    "SetForeground 254, ImmediateDraw2DPolygon 3 1, SetForeground 253, "
    "ImmediateDraw2DPolygon 3 0";

TEST(ArrowSymbol2D, TipOnThePointHeadAlongTheDirection) {
  // Head 4 mm = 2 units long, half-angle atan(1/2): barbs 1 unit off the axis.
  const float up[2] = {0, 3};
  Kel2DArrowSymbolGP arrow(kAt, up, 4.0f, std::atan(0.5f), OPEN_ARROW_SYMBOL);
  const Drawing open = Drawn(arrow);
  EXPECT_EQ(open.log, "ImmediateDraw2DPolyline 3");
  ExpectPoints(open.shapes.at(0).points, {4, 2, 3, 4, 2, 2});

  // No direction: reported, and +x.
  const float none[2] = {0, 0};
  Kel2DArrowSymbolGP lost(kAt, none, 4.0f, float(KelMath::PI / 4), HOLLOW_TRIANGLE_ARROW_SYMBOL);
  const long errors = KelMath::ErrorCount();
  const Drawing hollow = Drawn(lost);
  EXPECT_EQ(KelMath::ErrorCount(), errors + 1);
  EXPECT_EQ(hollow.log, kHollow);
  ExpectPoints(hollow.shapes.at(1).points, {1, 2, 3, 4, 1, 6});

  for (SymbolType t : {FILLED_SQUARE_SYMBOL, SymbolType(10)}) {
    Kel2DArrowSymbolGP other(kAt, up, 4.0f, 0.5f, t);
    EXPECT_EQ(Drawn(other).log, "") << t;
  }
}

}  // namespace

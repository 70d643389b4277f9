// Symbols and arrowheads of fixed millimetre size in the 2D model.
#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel2DArrowSymbolGP.h>
#include <kel/primitives/Kel2DSymbolGP.h>

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
Drawing Drawn(KelDynamicGP& gp, KelRecordingRender& render) {
  render.SetModelPerPixel(0.5f);
  render.ClearLog();
  gp.ImmediateDraw(render, nullptr, nullptr);
  return {render.Joined(), render.shapes2D};
}
Drawing Drawn(KelDynamicGP& gp) {
  KelRecordingRender render;
  return Drawn(gp, render);
}

void ExpectPoints(const std::vector<float>& got, const std::vector<float>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-5f) << i;
}

const char* const kHollow =
    "SetForeground 254, ImmediateDraw2DPolygon 3 1, SetForeground 253, "
    "ImmediateDraw2DPolygon 3 0";

TEST(Symbol2D, HalfItsSizeAroundItsPoint) {
  // Size 4 mm is 2 units: half-size 1 about (3, 4).
  const struct {
    SymbolType type;
    const char* log;
    size_t shape;
    std::vector<float> points;
  } cases[] = {
      {FILLED_SQUARE_SYMBOL, "ImmediateDraw2DPolygon 4 1", 0, {2, 3, 2, 5, 4, 5, 4, 3}},
      {HOLLOW_TRIANGLE_SYMBOL, kHollow, 1, {3, 5, 2, 3, 4, 3}},
      // The second diameter of the crossed disc, from 135 to 315 degrees.
      {CROSSED_DISC_SYMBOL,
       "SetForeground 254, ImmediateDraw2DPolygon 252 1, SetForeground 253, "
       "ImmediateDraw2DPolyline 252, ImmediateDraw2DPolyline 2, ImmediateDraw2DPolyline 2",
       3,
       {2.2928932f, 4.7071068f, 3.7071068f, 3.2928932f}},
      {OPEN_ARROW_SYMBOL, "", 0, {}},
  };
  for (const auto& c : cases) {
    Kel2DSymbolGP symbol(kAt, 4.0f, c.type);
    const Drawing drawing = Drawn(symbol);
    EXPECT_EQ(drawing.log, c.log) << c.type;
    if (!c.points.empty()) ExpectPoints(drawing.shapes.at(c.shape).points, c.points);
  }
}

TEST(Symbol2D, TwoColourSymbolsGiveBackTheColourInForce) {
  Kel2DSymbolGP disc(kAt, 4.0f, HOLLOW_DISC_SYMBOL);
  // An RGBA colour comes back as its word, not as entry 255.
  KelRecordingRender rgba;
  KelGraphicAttributeSet a;
  a.color = KelGraphicAttributeSet::RGBA_COLOR;
  a.rgba[0] = 10, a.rgba[1] = 20, a.rgba[2] = 30, a.rgba[3] = 255;
  rgba.SetCurrentAttribute(a);
  Drawn(disc, rgba);
  EXPECT_EQ(rgba.GetLog()[2], "SetForegroundRGBA " + std::to_string(a.SecondWord()));
  // A colour forced by a highlighted bag stays forced.
  KelRecordingRender forced;
  forced.SetCurrentAttribute(a);
  forced.InheritForeground(251);
  Drawn(disc, forced);
  EXPECT_EQ(forced.GetLog()[0], "SetForeground 254");
  EXPECT_EQ(forced.GetLog()[2], "SetForeground 251");
  EXPECT_EQ(forced.IsInheritingForeground(), 1);
  // A one-colour symbol changes no colour.
  Kel2DSymbolGP filled(kAt, 4.0f, FILLED_DISC_SYMBOL);
  EXPECT_EQ(Drawn(filled).log, "ImmediateDraw2DPolygon 252 1");
}

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

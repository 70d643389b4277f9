// Markers, lines and polylines with their line attributes, and annotation
// texts placed by their anchor, drawn off-screen by the OpenGL driver.
#include <kel/primitives/Kel3DAnnotationTextGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/viewers/KelCharacterFont.h>

#include "RenderScene.h"

namespace {

using kelrender::GPLeaf;
using kelrender::RenderScene;
using kelrender::Rgb;

// Straight-on camera: model x to the right, z up, one model unit 10 pixels.
class LinesAndTexts : public RenderScene {
 protected:
  void SetUp() override {
    RenderScene::SetUp();
    if (!support) return;
    viewpoint->Set(Kelpoint3f(0, -40, 0), Keldirection3f(0, 1, 0), Keldirection3f(0, 0, 1));
    viewpoint->SetProjectionType(PARALLEL_PROJECTION);
    viewpoint->SetFocus(40.0f);
  }
  bool IsWhite(int x, int y) const {
    const Rgb c = Pixel(x, y);
    return c.r > 200 && c.g > 200 && c.b > 200;
  }
};

TEST_F(LinesAndTexts, MarkersLinesAndPolylinesWithLineAttributes) {
  // Row of the ten marker types.
  std::vector<KelGraphicPrimitive*> markers;
  for (int t = 1; t <= 10; ++t) {
    const float p[3] = {-9.0f + 2.0f * (t - 1), 0, 5};
    markers.push_back(new Kel3DMarkerGP(p, 1, SymbolType(t), 1));
  }
  auto* markerLeaf = new GPLeaf(markers, Kelpoint3f(0, 0, 5), 10.0f);
  markerLeaf->SetColor(7);
  // A solid polyline, a thick dashed line and a dotted one.
  const float zigzag[15] = {-9, 0, 2, -5, 0, 3, -1, 0, 1, 3, 0, 3, 8, 0, 1};
  auto* polyline = new GPLeaf({new Kel3DPolylineGP(zigzag, 5, 1)}, Kelpoint3f(0, 0, 2), 9.0f);
  polyline->SetColor(3);
  const float dashed[6] = {-9, 0, -2, 9, 0, -2};
  auto* dashes = new GPLeaf({new Kel3DLineGP(dashed, 2, 1)}, Kelpoint3f(0, 0, -2), 9.0f);
  dashes->SetColor(3);
  dashes->GetGraphicAttributeSet().lineAttribute1 = 2;
  dashes->GetGraphicAttributeSet().lineAttribute2 = 3;
  const float dotted[6] = {-9, 0, -5, 9, 0, -5};
  auto* dots = new GPLeaf({new Kel3DLineGP(dotted, 2, 1)}, Kelpoint3f(0, 0, -5), 9.0f);
  dots->SetColor(3);
  dots->GetGraphicAttributeSet().lineAttribute1 = 3;
  dots->GetGraphicAttributeSet().lineAttribute2 = 1;
  root->AddChild(*markerLeaf);
  root->AddChild(*polyline);
  root->AddChild(*dashes);
  root->AddChild(*dots);
  Draw();

  int x, y;
  // The dashed line is 3 pixels thick and broken: along it some columns are
  // empty, and a drawn column has 3 lit rows.
  ToPixel(Kelpoint3f(0, 0, -2), x, y);
  int emptyColumns = 0, thick = 0;
  for (int cx = 40; cx < 200; ++cx) {
    int rows = 0;
    for (int dy = -3; dy <= 3; ++dy) rows += IsWhite(cx, y + dy);
    emptyColumns += rows == 0;
    thick = std::max(thick, rows);
  }
  EXPECT_GT(emptyColumns, 40);
  EXPECT_EQ(thick, 3);
  // The dotted line: about every other pair of pixels, one row.
  ToPixel(Kelpoint3f(0, 0, -5), x, y);
  int lit = 0;
  for (int cx = 40; cx < 200; ++cx) lit += IsWhite(cx, y) || IsWhite(cx, y + 1);
  EXPECT_GT(lit, 50);
  EXPECT_LT(lit, 110);
  // Markers: a plus has its centre and arms lit, the square (type 4) its
  // border but not its centre, the filled square (5) its centre.
  ToPixel(Kelpoint3f(-9, 0, 5), x, y);
  const Rgb plus = Pixel(x, y);
  EXPECT_GT(plus.r + plus.g, 300);
  ToPixel(Kelpoint3f(-3, 0, 5), x, y);
  EXPECT_TRUE(IsBackground(x, y));
  EXPECT_FALSE(IsBackground(x + 3, y));
  ToPixel(Kelpoint3f(-1, 0, 5), x, y);
  EXPECT_FALSE(IsBackground(x, y));
  ExpectMatchesReference("markers_and_lines");
}

TEST_F(LinesAndTexts, AnnotationTextsSitOnTheirAnchor) {
  const float middleLeft[3] = {-8, 0, 4};
  const float topRight[3] = {8, 0, -2};
  auto* texts = new GPLeaf({new Kel3DAnnotationTextGP(middleLeft, "Kelvis 3D", MIDDLE_LEFT),
                            new Kel3DAnnotationTextGP(topRight, "gyp", TOP_RIGHT)},
                           Kelpoint3f(0, 0, 0), 10.0f);
  texts->SetColor(3);
  const float cross[12] = {-9, 0, 4, -7, 0, 4, 7, 0, -2, 9, 0, -2};
  auto* marks = new GPLeaf({new Kel3DLineGP(cross, 4, 1)}, Kelpoint3f(0, 0, 0), 10.0f);
  marks->SetColor(4);
  root->AddChild(*marks);
  root->AddChild(*texts);
  Draw();
  int w = 0, h = 0, d = 0;
  KelCharacterFont::GetSharedFont()->GetCharacterSize(0, &w, &h, &d);
  KEL_REQUIRE(KelCharacterFont::GetSharedFont()->IsLoaded(0), "xfonts-base");
  // The ink of each text lies in its box: "Kelvis 3D" starts at the anchor
  // and is centred on it vertically; "gyp" ends at its anchor and hangs
  // below it.
  auto inkBox = [&](int x0, int x1, int y0, int y1, int& left, int& right, int& top, int& bottom) {
    left = x1, right = x0, top = y1, bottom = y0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (IsWhite(x, y)) {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
  };
  int ax, ay, left, right, top, bottom;
  ToPixel(Kelpoint3f(-8, 0, 4), ax, ay);
  inkBox(ax - 20, ax + 120, ay - 20, ay + 20, left, right, top, bottom);
  EXPECT_GE(left, ax);
  EXPECT_LT(left, ax + 3);
  EXPECT_LT(right, ax + 9 * w);
  EXPECT_GT(right, ax + 8 * w);
  EXPECT_GE(top, ay - (h - h / 2));
  EXPECT_LT(bottom, ay + h / 2 + 1);
  ToPixel(Kelpoint3f(8, 0, -2), ax, ay);
  inkBox(ax - 60, ax + 20, ay - 20, ay + 30, left, right, top, bottom);
  EXPECT_LE(right, ax);
  EXPECT_GE(left, ax - 3 * w);
  EXPECT_GE(top, ay);
  EXPECT_LE(bottom, ay + h);
  ExpectMatchesReference("annotation_texts");
}

}  // namespace

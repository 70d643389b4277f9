// The 2D primitives and Reps drawn off-screen by the OpenGL driver, through a
// 2D camera and the overlay.
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel2DAnnotationTextGP.h>
#include <kel/primitives/Kel2DArcCircleGP.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DPolylineGP.h>
#include <kel/primitives/Kel2DRectangleGP.h>
#include <kel/reps/Kel2DArcCircleRep.h>
#include <kel/reps/Kel2DArrowSymbolRep.h>
#include <kel/reps/Kel2DCurveRep.h>
#include <kel/reps/Kel2DCustomRep.h>
#include <kel/reps/Kel2DImagePixelRep.h>
#include <kel/reps/Kel2DLineRep.h>
#include <kel/reps/Kel2DPointRep.h>
#include <kel/reps/Kel2DPolygonRep.h>
#include <kel/reps/Kel2DSimpleGeometricTextRep.h>
#include <kel/reps/Kel2DSymbolRep.h>

#include <cmath>
#include <string>
#include <vector>

#include "RenderScene.h"

namespace {

using kelrender::Render2DScene;
using kelrender::Rgb;

constexpr float kPi = 3.14159265f;

class Drawing2D : public Render2DScene {
 protected:
  Kel2DRep* Add(Kel2DRep* rep, unsigned colour, Kel2DBagRep* bag = nullptr) {
    rep->SetColor(colour);
    (bag ? bag : root2D)->AddChild(*rep);
    return rep;
  }
  // A custom Rep draws its primitive with the primitive's own attribute set.
  void Custom(KelGraphicPrimitive* gp, unsigned colour, unsigned char width = 1) {
    KelGraphicAttributeSet a;
    a.color = static_cast<unsigned char>(colour);
    a.lineAttribute2 = width;
    root2D->AddChild(*new Kel2DCustomRep(gp, a));
  }
  // A hollow disc of 20 mm in an RGBA colour.
  static Kel2DRep* RGBADisc(const float* at) {
    auto* disc = new Kel2DSymbolRep(at, 20.0f, HOLLOW_DISC_SYMBOL);
    KelGraphicAttributeSet& a = disc->GetGraphicAttributeSet();
    a.color = KelGraphicAttributeSet::RGBA_COLOR;
    a.rgba[0] = 40, a.rgba[1] = 200, a.rgba[2] = 120, a.rgba[3] = 255;
    return disc;
  }
  // Some pixel within one of (x, y), from the top left corner, has the colour.
  bool ColourNear(int x, int y, const Rgb& colour) const {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (Near(Pixel(x + dx, y + dy), colour)) return true;
    return false;
  }
};

TEST_F(Drawing2D, LinesPolylinesPolygonsAndRectangles) {
  // The five line types, the dashed one 3 pixels wide.
  for (int type = 0; type <= 4; ++type) {
    const float y = 75.0f - 12.0f * float(type), p[4] = {-110, y, -10, y};
    KelGraphicAttributeSet& a = Add(new Kel2DLineRep(p), 3)->GetGraphicAttributeSet();
    a.lineAttribute1 = static_cast<unsigned char>(type);
    a.lineAttribute2 = type == 2 ? 3 : 1;
  }
  const float zigzag[10] = {-110, -10, -85, 10, -60, -10, -35, 10, -10, -10};
  Custom(new Kel2DPolylineGP(zigzag, 5, 1), 5, 2);
  const float hexagon[12] = {20, 50, 30, 67, 50, 67, 60, 50, 50, 33, 30, 33};
  Add(new Kel2DPolygonRep(hexagon, 6, 1), 4);
  const float pentagon[10] = {90, 70, 108, 57, 101, 36, 79, 36, 72, 57};
  Add(new Kel2DPolygonRep(pentagon, 5, 0), 3);
  // Not convex: its notch stays empty.
  const float ell[12] = {20, -80, 70, -80, 70, -65, 35, -65, 35, -30, 20, -30};
  Add(new Kel2DPolygonRep(ell, 6, 1), 6);
  const float a[2] = {80, -80}, b[2] = {110, -50}, c[2] = {110, -10}, d[2] = {80, -40};
  Custom(new Kel2DRectangleGP(a, b, 1), 2);
  Custom(new Kel2DRectangleGP(c, d, 0), 3);
  Draw();
  ExpectMatchesReference("2d_lines_and_polygons");
}

TEST_F(Drawing2D, MarkersSymbolsAndArrowheads) {
  for (int t = 1; t <= 10; ++t) {
    const float p[2] = {-100.0f + 20.0f * float(t - 1), 60};
    Add(new Kel2DPointRep(p, SymbolType(t)), 5);
  }
  // Symbols 12 millimetres wide (half-size 6 pixels), over a grey band that
  // the hollow ones hide with the background.
  const float band0[2] = {-115, 5}, band1[2] = {115, 25};
  Custom(new Kel2DRectangleGP(band0, band1, 1), 1);
  for (int t = 15; t <= 22; ++t) {
    const float p[2] = {-100.0f + 25.0f * float(t - 15), 15};
    Add(new Kel2DSymbolRep(p, 12.0f, SymbolType(t)), 2);
  }
  const float directions[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {1, -1}};
  for (int t = 11; t <= 14; ++t) {
    const float p[2] = {-90.0f + 50.0f * float(t - 11), -40};
    Add(new Kel2DArrowSymbolRep(p, directions[t - 11], 15.0f, 0.35f, SymbolType(t)), 3);
  }
  Draw();

  // 16, about (-75, 15): the background inside, orange around (too few
  // pixels for the reference's tolerance).
  EXPECT_TRUE(Pixel(kWidth / 2 - 75, kHeight / 2 - 15).Dark());
  EXPECT_TRUE(ColourNear(kWidth / 2 - 75 + 6, kHeight / 2 - 15, Entry(2)));
  ExpectMatchesReference("2d_markers_and_symbols");
}

TEST_F(Drawing2D, ArcsAndTheCurveAtThreeZooms) {
  // A circle in four quarters, one colour each.
  const float centre[2] = {-70, 40};
  for (int q = 0; q < 4; ++q)
    Add(new Kel2DArcCircleRep(centre, 35, 0.5f * kPi * float(q), 0.5f * kPi * float(q + 1)),
        unsigned(3 + q));
  // Larger than the view: only its top is drawn.
  const float far[2] = {60, -250};
  Add(new Kel2DArcCircleRep(far, 260, 0, 2 * kPi), 2);
  // A half disc, filled: closed by its chord.
  const float disc[2] = {70, 40};
  Custom(new Kel2DArcCircleGP(disc, 25, 0, kPi, 1), 4);
  // The same curve (made for a tolerance of 0.1) at scales 1, 0.5 and 0.25:
  // every 2nd, 3rd and 4th point drawn.
  std::vector<float> wave;
  for (int i = 0; i <= 40; ++i)
    wave.insert(wave.end(), {5.0f * float(i), 20.0f * std::sin(float(i) * kPi / 8.0f)});
  const int counts[2] = {21, 21};
  const float scales[3] = {1.0f, 0.5f, 0.25f};
  for (int k = 0; k < 3; ++k) {
    auto* bag = new Kel2DBagRep;
    const float s = scales[k];
    bag->SetMatrix(Kel3x3Matrix(Kelvector2f(s, 0), Kelvector2f(0, s),
                                Kelpoint2f(-110, -35 - 22.0f * float(k))));
    Add(new Kel2DCurveRep(0.1f, 2, 41, counts, wave.data()), 5, bag);
    root2D->AddChild(*bag);
  }
  Draw();
  ExpectMatchesReference("2d_arcs_and_curve");
}

TEST_F(Drawing2D, TextsAndImages) {
  // Annotation texts on three anchors about a cross, geometric texts of four heights.
  const float mark[8] = {-60, 50, -20, 50, -40, 40, -40, 60};
  Custom(new Kel2DLineGP(mark, 4, 1), 4);
  const float at[2] = {-40, 50};
  Custom(new Kel2DAnnotationTextGP(at, "left", BOTTOM_LEFT), 3);
  Custom(new Kel2DAnnotationTextGP(at, "right", TOP_RIGHT), 5);
  Custom(new Kel2DAnnotationTextGP(at, "", MIDDLE_CENTER), 3);
  Custom(new Kel2DAnnotationTextGP(at, nullptr, MIDDLE_CENTER), 3);
  for (int k = 0; k < 4; ++k) {
    const float p[2] = {10, 70.0f - 22.0f * float(k)};
    Add(new Kel2DSimpleGeometricTextRep(p, "Kelvis", BOTTOM_LEFT, 8.0f + 4.0f * float(k)), 2);
  }
  // A 40 x 30 gradient, whole, and the same cut by the view's right side.
  KelPixelImage image(40, 30, PixelImageRGB);
  unsigned char* px = image.GetPixelsToModify();
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x, px += 3) {
      px[0] = static_cast<unsigned char>(6 * x);
      px[1] = static_cast<unsigned char>(8 * y);
      px[2] = 200;
    }
  image.SetXPixelSize(1.0f);
  image.SetYPixelSize(1.0f);
  const float whole[2] = {-100, -70}, cut[2] = {100, -70};
  Add(new Kel2DImagePixelRep(whole, &image, 0), 3);
  Add(new Kel2DImagePixelRep(cut, &image, 0), 3);
  Draw();

  // Image pixel (10, 5) of each: model (-90, -65) and (110, -65). A shift by
  // one pixel stays within the reference's tolerance.
  EXPECT_TRUE(Near(PixelAt2D(-90, -64), {60, 40, 200}));
  EXPECT_TRUE(Near(PixelAt2D(110, -64), {60, 40, 200}));
  ExpectMatchesReference("2d_texts_and_images");
}

TEST_F(Drawing2D, HighlightAndTwoColourSymbolsOnTheOverlay) {
  // Behind the overlay, a filled rectangle of the 2D camera.
  const float a[2] = {-110, -80}, b[2] = {-10, 80};
  Custom(new Kel2DRectangleGP(a, b, 1), 6);
  // A highlighted bag: a polyline and an RGBA hollow disc both drawn in 251,
  // the disc still filled with the background. After the bag, the same disc
  // and a square keep their colours; then a highlighted leaf.
  auto* lit = new Kel2DBagRep;
  const float z[6] = {20, 150, 40, 170, 60, 150};
  lit->AddChild(*new Kel2DCustomRep(new Kel2DPolylineGP(z, 3, 1), KelGraphicAttributeSet()));
  const float c1[2] = {40, 110}, c2[2] = {100, 110}, c3[2] = {160, 110};
  lit->AddChild(*RGBADisc(c1));
  lit->HighLightOn();
  overlayRoot->AddChild(*lit);
  overlayRoot->AddChild(*RGBADisc(c2));
  Add(new Kel2DSymbolRep(c3, 20.0f, HOLLOW_SQUARE_SYMBOL), 5, overlayRoot);
  const float ends[4] = {140, 40, 220, 60};
  Add(new Kel2DLineRep(ends), 3, overlayRoot)->HighLightOn();
  Draw();

  // Overlay (x, y) is picture pixel (x, height - 1 - y) from the top.
  const int row = kHeight - 1 - 110;
  EXPECT_TRUE(Pixel(40, row).Dark());
  EXPECT_TRUE(ColourNear(50, row, Entry(251)));
  EXPECT_TRUE(ColourNear(110, row, {40, 200, 120})) << "the RGBA colour after the fill";
  EXPECT_TRUE(ColourNear(180, kHeight - 1 - 50, Entry(251)));
  ExpectMatchesReference("2d_overlay_and_highlight");
}

}  // namespace

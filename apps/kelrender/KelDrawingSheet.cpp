#include "KelDrawingSheet.h"

#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel2DAnnotationTextGP.h>
#include <kel/primitives/Kel2DMarkerGP.h>
#include <kel/reps/Kel2DArcCircleRep.h>
#include <kel/reps/Kel2DArrowSymbolRep.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel2DCadreRep.h>
#include <kel/reps/Kel2DCrossRep.h>
#include <kel/reps/Kel2DCurveRep.h>
#include <kel/reps/Kel2DCustomRep.h>
#include <kel/reps/Kel2DImagePixelRep.h>
#include <kel/reps/Kel2DLineRep.h>
#include <kel/reps/Kel2DPointRep.h>
#include <kel/reps/Kel2DPolygonRep.h>
#include <kel/reps/Kel2DSimpleGeometricTextRep.h>
#include <kel/reps/Kel2DSymbolRep.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

// Colour-map entries of the default table.
enum Colour : unsigned { GREY = 1, ORANGE = 2, WHITE = 3, RED = 4, GREEN = 5, BLUE = 6 };

class Sheet {
 public:
  explicit Sheet(Kel2DBagRep& root) : _root(root) {}

  // Adds a Rep in a colour, with line attributes (type, width).
  template <class Rep>
  Rep* Add(Rep* rep, unsigned colour, unsigned char type = 1, unsigned char width = 1) {
    rep->SetColor(colour);
    rep->GetGraphicAttributeSet().lineAttribute1 = type;
    rep->GetGraphicAttributeSet().lineAttribute2 = width;
    _root.AddChild(*rep);
    return rep;
  }
  void Line(float x1, float y1, float x2, float y2, unsigned colour, unsigned char type = 1,
            unsigned char width = 1) {
    const float p[4] = {x1, y1, x2, y2};
    Add(new Kel2DLineRep(p), colour, type, width);
  }
  void Box(float x1, float y1, float x2, float y2, unsigned colour, unsigned char width = 1) {
    const float p[8] = {x1, y1, x2, y1, x2, y2, x1, y2};
    Add(new Kel2DPolygonRep(p, 4, 0), colour, 1, width);
  }
  Kel2DArcCircleRep* Arc(float cx, float cy, float r, float start, float end, unsigned colour) {
    const float c[2] = {cx, cy};
    return Add(new Kel2DArcCircleRep(c, r, start, end), colour, 1, 2);
  }
  void Text(float x, float y, const char* text, AnchorPoint anchor, float height, unsigned colour) {
    const float p[2] = {x, y};
    Add(new Kel2DSimpleGeometricTextRep(p, text, anchor, height), colour);
  }
  void Arrow(float x, float y, float dx, float dy, SymbolType type, unsigned colour) {
    const float p[2] = {x, y}, d[2] = {dx, dy};
    Add(new Kel2DArrowSymbolRep(p, d, 12.0f, 0.2618f, type), colour);
  }
  // A dimension between (x1, y1) and (x2, y2), its line `offset` away along
  // the normal, arrowheads of one type at both ends and its value.
  void Dimension(float x1, float y1, float x2, float y2, float ox, float oy, SymbolType type,
                 const char* value, AnchorPoint anchor) {
    const float a[2] = {x1 + ox, y1 + oy}, b[2] = {x2 + ox, y2 + oy};
    const float ex = ox == 0.0f ? 0.0f : (ox > 0 ? 2.0f : -2.0f);
    const float ey = oy == 0.0f ? 0.0f : (oy > 0 ? 2.0f : -2.0f);
    Line(x1 + 0.2f * ox, y1 + 0.2f * oy, a[0] + ex, a[1] + ey, BLUE);
    Line(x2 + 0.2f * ox, y2 + 0.2f * oy, b[0] + ex, b[1] + ey, BLUE);
    Line(a[0], a[1], b[0], b[1], BLUE);
    Arrow(a[0], a[1], a[0] - b[0], a[1] - b[1], type, BLUE);
    Arrow(b[0], b[1], b[0] - a[0], b[1] - a[1], type, BLUE);
    Text(0.5f * (a[0] + b[0]), 0.5f * (a[1] + b[1]), value, anchor, 4.0f, BLUE);
  }

  Kel2DBagRep& _root;
};

// A gradient with a white diamond: a stand-in for a logo or a scanned detail.
KelPixelImage* MakeImage() {
  constexpr int w = 80, h = 60;
  auto* image = new KelPixelImage(w, h, PixelImageRGB);
  unsigned char* p = image->GetPixelsToModify();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x, p += 3) {
      const bool diamond = std::abs(x - w / 2) * h + std::abs(y - h / 2) * w < w * h / 3;
      p[0] = diamond ? 255 : static_cast<unsigned char>(40 + 200 * x / w);
      p[1] = diamond ? 255 : static_cast<unsigned char>(60 + 120 * y / h);
      p[2] = diamond ? 255 : 160;
    }
  image->SetXPixelSize(0.5f);
  image->SetYPixelSize(0.5f);
  return image;
}

}  // namespace

KelDrawingSheet::~KelDrawingSheet() {
  if (_viewpoint) _viewpoint->RemoveRep(_root);
  _root->Destroy();
}

void KelDrawingSheet::Attach(Kel2DViewpoint& viewpoint, float width, float height,
                             float pixelsPerMM, float ratio) {
  _viewpoint = &viewpoint;
  viewpoint.AddRep(_root);
  viewpoint.Reframe(width, height, pixelsPerMM, ratio);
}

KelDrawingSheet::KelDrawingSheet() : _root(new Kel2DBagRep) {
  Kel2DBagRep& root = *_root;
  Sheet s(root);
  // The sheet's edge, its frame and corner marks, the title block.
  s.Box(0, 0, 297, 210, GREY);
  s.Box(10, 10, 287, 200, WHITE, 2);
  s.Add(new Kel2DCadreRep(Kelpoint2f(148.5f, 105), 143.5f, 100, 12, ALL_CADRE_CORNERS), ORANGE, 1,
        3);
  s.Box(187, 10, 287, 40, WHITE);
  s.Line(187, 25, 287, 25, WHITE);
  s.Line(237, 10, 237, 25, WHITE);
  s.Text(192, 32.5f, "KELVIS", MIDDLE_LEFT, 8, WHITE);
  s.Text(192, 17.5f, "Drawing sheet", MIDDLE_LEFT, 4, WHITE);
  s.Text(242, 17.5f, "Scale 1:1", MIDDLE_LEFT, 4, WHITE);
  list<KelGraphicPrimitive*> notes;
  list<KelGraphicAttributeSet*> noteColours;
  const float title[2] = {15, 195}, sheetNo[2] = {282, 32.5f};
  notes.Append(new Kel2DAnnotationTextGP(title, "Kelvis: the 2D half", TOP_LEFT));
  notes.Append(new Kel2DAnnotationTextGP(sheetNo, "Sheet 1/1", MIDDLE_RIGHT));
  for (unsigned colour : {WHITE, GREY}) {
    auto* set = new KelGraphicAttributeSet;
    set->color = static_cast<unsigned char>(colour);
    noteColours.Append(set);
  }
  root.AddChild(*new Kel2DCustomRep(notes, noteColours));

  // The plate: straight sides and a quarter arc in each quadrant for its corners.
  s.Line(40, 90, 140, 90, WHITE, 1, 2);
  s.Line(150, 100, 150, 150, WHITE, 1, 2);
  s.Line(140, 160, 40, 160, WHITE, 1, 2);
  s.Line(30, 150, 30, 100, WHITE, 1, 2);
  s.Arc(140, 150, 10, 0, 0.5f * kPi, WHITE);
  s.Arc(40, 150, 10, 0.5f * kPi, kPi, WHITE);
  s.Arc(40, 100, 10, kPi, 1.5f * kPi, WHITE);
  s.Arc(140, 100, 10, 1.5f * kPi, 2 * kPi, WHITE);
  s.Arc(70, 125, 12, 0, 2 * kPi, WHITE);
  s.Arc(120, 125, 8, 0, 2 * kPi, WHITE)->HighLightOn();
  // Centre marks in dash-dot, a hidden slot in dashes.
  Kelpoint2f big(70, 125), small(120, 125);
  s.Add(new Kel2DCrossRep(big, 16, 16, 0), ORANGE, 4);
  s.Add(new Kel2DCrossRep(small, 11, 11, 3), ORANGE, 4);
  s.Line(90, 100, 140, 100, GREY, 2);
  s.Line(90, 108, 140, 108, GREY, 2);
  s.Line(30, 83, 150, 83, GREY, 3);

  // Dimensions: filled, hollow, triangle and open arrowheads.
  s.Dimension(30, 90, 150, 90, 0, -14, FILLED_TRIANGLE_ARROW_SYMBOL, "120", BOTTOM_CENTER);
  s.Dimension(30, 100, 30, 150, -12, 0, HOLLOW_TRIANGLE_ARROW_SYMBOL, "50", MIDDLE_RIGHT);
  s.Line(78.5f, 133.5f, 95, 150, BLUE);
  s.Arrow(78.5f, 133.5f, -1, -1, OPEN_ARROW_SYMBOL, BLUE);
  s.Text(96, 150,
         "\xD8"
         "24",
         BOTTOM_LEFT, 4, BLUE);
  s.Line(147.1f, 157.1f, 160, 170, BLUE);
  s.Arrow(147.1f, 157.1f, -1, -1, TRIANGLE_ARROW_SYMBOL, BLUE);
  s.Text(161, 170, "R10", BOTTOM_LEFT, 4, BLUE);

  // An L-shaped bracket, filled in an RGBA colour (not convex).
  const float bracket[12] = {170, 90, 230, 90, 230, 102, 184, 102, 184, 160, 170, 160};
  auto* filled = s.Add(new Kel2DPolygonRep(bracket, 6, 1), WHITE);
  KelGraphicAttributeSet& steel = filled->GetGraphicAttributeSet();
  steel.color = KelGraphicAttributeSet::RGBA_COLOR;
  steel.rgba[0] = 90, steel.rgba[1] = 130, steel.rgba[2] = 180, steel.rgba[3] = 255;
  s.Add(new Kel2DPolygonRep(bracket, 6, 0), WHITE, 1, 2);

  // A curve in three segments, points made for a chord tolerance of 0.05.
  std::vector<float> wave;
  for (int i = 0; i <= 120; ++i) {
    const float x = 30.0f + float(i);
    wave.insert(wave.end(), {x, 50.0f + 10.0f * std::sin(x * kPi / 30.0f)});
  }
  const int counts[3] = {41, 41, 41};
  s.Add(new Kel2DCurveRep(0.05f, 3, 121, counts, wave.data()), GREEN, 1, 2);
  s.Text(152, 50, "curve", MIDDLE_LEFT, 4, GREEN);

  // Symbols 15 to 22 and the markers 1 to 10, each over its number.
  for (int t = 15; t <= 22; ++t) {
    const float x = 30.0f + 13.0f * float(t - 15), p[2] = {x, 25};
    s.Add(new Kel2DSymbolRep(p, 12.0f, SymbolType(t)), t % 2 ? RED : ORANGE);
    s.Text(x, 17, std::to_string(t).c_str(), TOP_CENTER, 3, GREY);
  }
  for (int t = 1; t <= 10; ++t) {
    const float x = 30.0f + 11.0f * float(t - 1), p[2] = {x, 185};
    s.Add(new Kel2DPointRep(p, SymbolType(t)), GREEN);
    s.Text(x, 179, std::to_string(t).c_str(), TOP_CENTER, 3, GREY);
  }

  // A placed image, 40 x 30 units, under its caption.
  KelPixelImage* image = MakeImage();
  const float corner[2] = {242, 120};
  s.Add(new Kel2DImagePixelRep(corner, image, 2), WHITE);
  delete image;
  s.Text(262, 153, "placed image", BOTTOM_CENTER, 4, GREY);
}

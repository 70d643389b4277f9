// One model unit a pixel at zoom 1: the pick rectangle at the centre is [-5, 5]^2.
#include <gtest/gtest.h>

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/images/KelPixelImage.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickingRender.h>
#include <kel/primitives/Kel2DAnnotationTextGP.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel2DCustomRep.h>
#include <kel/reps/Kel2DRep.h>
#include <kel/reps/Kel2DSimpleGeometricTextRep.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include <functional>
#include <memory>

#include "PickingTestScene.h"

namespace {

class Leaf2D : public Kel2DRep {
 public:
  Leaf2D(float xmin, float xmax, float ymin, float ymax) {
    SetBoundingElement(Kel2DBoundingBox(xmin, xmax, ymin, ymax));
  }
  void DrawShading(KelRender& render, int) override {
    if (!render.IsDrawable(GetGraphicAttributeSet(), GetBoundingElement(),
                           static_cast<const KelRep&>(*this)))
      return;
    if (auto* picking = dynamic_cast<KelPickingRender*>(&render)) draw(*picking);
  }
  std::function<void(KelPickingRender&)> draw;
};

class Picking2DTest : public PickScene<Kel2DViewpoint, Kel2DRep> {
 protected:
  Picking2DTest() : PickScene(std::make_unique<Kel2DViewpoint>(Kelpoint2f(0, 0), 1.0f)) {}
  Leaf2D& Leaf(std::function<void(KelPickingRender&)> draw, float xmin = -100, float xmax = 100,
               float ymin = -100, float ymax = 100) {
    auto* leaf = Show(Own(new Leaf2D(xmin, xmax, ymin, ymax)));
    leaf->draw = std::move(draw);
    return *leaf;
  }
};

// Each primitive drawn alone at the render: the hits, and the dimension of the
// first (-1: not looked at).
TEST_F(Picking2DTest, SegmentsMarkersRectanglesImagesAndPolygons) {
  // Both ends outside, on different sides: crosses (x + y = -2) or passes by
  // the corner (x + y = -12). Three segments, two of which cross the rectangle.
  const float crossing[4] = {-10, 8, 8, -10}, byTheCorner[4] = {-10, -2, -2, -10};
  const float zigzag[8] = {-20, -1, 20, 1, -20, 3, -20, 30};
  // Strictly inside only: (5, 0) lies on the rectangle's side.
  const float points[6] = {5, 0, 4.5f, -4.5f, 0, 6};
  // A 10 x 6 pixel image with its lower left corner at (-14, 0), then at
  // (-15.5, 0): at zoom 1 it covers x to -4, then to -5.5.
  KelPixelImage image(10, 6, PixelImageFormat(3));
  const float near[2] = {-14, 0}, far[2] = {-15.5f, 0};
  // A triangle around the cursor, listed clockwise; a square beside it; a
  // triangle of which only the closing segment (last point to first) crosses
  // the rectangle; one with a vertex on the cursor.
  const float around[6] = {-30, -10, 0, 30, 30, -10}, beside[8] = {10, -5, 20, -5, 20, 5, 10, 5};
  const float closing[6] = {-20, 1, -20, 30, 20, -1}, corner[6] = {0, 0, 40, 0, 0, 40};
  using R = KelPickingRender&;
  const struct {
    const char* what;
    std::function<void(KelPickingRender&)> draw;
    int hits;
    float dimension;
  } cases[] = {
      {"segment by the corner", [&](R r) { r.Pick2DSegments(byTheCorner, 2, 2); }, 0, -1},
      {"crossing segment", [&](R r) { r.Pick2DSegments(crossing, 2, 2); }, 1, 1},
      {"zigzag", [&](R r) { r.ImmediateDraw2DPolyline(zigzag, 4); }, 2, -1},
      // Taken as pairs, the zigzag is two segments, the second one outside.
      {"zigzag pairs", [&](R r) { r.Pick2DSegments(zigzag, 4, 2); }, 1, -1},
      {"markers", [&](R r) { r.Pick2DMarker(points, 3); }, 1, 0},
      // Around the pick rectangle: the outline is missed, the inside is not.
      {"outline around", [&](R r) { r.Pick2DRectangle(-20, 20, -20, 20, 0); }, 0, -1},
      {"filled around", [&](R r) { r.Pick2DRectangle(-20, 20, -20, 20, 1); }, 1, -1},
      {"outline across", [&](R r) { r.Pick2DRectangle(4, 20, -20, 20, 0); }, 1, -1},
      {"image away", [&](R r) { r.ImmediateDraw2DImagePixel(far, &image, 0); }, 0, -1},
      {"image", [&](R r) { r.ImmediateDraw2DImagePixel(near, &image, 0); }, 1, -1},
      {"square beside", [&](R r) { r.ImmediateDraw2DPolygon(beside, 4, 1); }, 0, -1},
      // The outline does not come near the cursor.
      {"hollow around", [&](R r) { r.ImmediateDraw2DPolygon(around, 3, 0); }, 0, -1},
      {"filled around", [&](R r) { r.ImmediateDraw2DPolygon(around, 3, 1); }, 1, 2},
      {"closing side", [&](R r) { r.ImmediateDraw2DPolygon(closing, 3, 0); }, 1, 1},
      {"vertex on the cursor", [&](R r) { r.ImmediateDraw2DPolygon(corner, 3, 1); }, 1, -1},
  };
  for (const auto& c : cases) {
    camera->GetRepList().Free();
    Leaf(c.draw);
    ASSERT_EQ(Pick(), c.hits) << c.what;
    if (c.dimension < 0) continue;
    EXPECT_EQ(HitAt(0).GetDimension(), c.dimension) << c.what;
  }
  // The crossing segment is hit at the cursor.
  camera->GetRepList().Free();
  Leaf(cases[1].draw);
  ASSERT_EQ(Pick(), 1);
  EXPECT_EQ(HitAt(0).GetDeep(), 0.0f);
  EXPECT_EQ(HitAt(0).GetIntersection(), Kelpoint3f(0, 0, 0));
}

TEST_F(Picking2DTest, BagsMatricesAndSkippedReps) {
  // The bag moves its leaf by (100, 50): the leaf sees the cursor at
  // (-100, -50) (the cursor in a bag's frame: the random property test).
  const float local[2] = {-100, -51};
  int drawn = 0;
  auto* leaf = new Leaf2D(-110, -90, -60, -40);
  leaf->draw = [&](KelPickingRender& r) {
    ++drawn;
    r.Pick2DMarker(local, 1);
  };
  auto* bag = Show(Own(new Kel2DBagRep));
  bag->SetMatrix(Kel3x3Matrix(Kelvector2f(100, 50)));
  bag->AddChild(*Own(leaf));
  ASSERT_EQ(Pick(), 1);
  KelPickPath& hit = HitAt(0);
  ASSERT_EQ(hit.Size(), 2);
  EXPECT_EQ(hit.GetRep(0), bag);
  EXPECT_EQ(hit.GetRep(1), leaf);
  EXPECT_EQ(hit.Get2DMatrix().GetTranslation().x, 100.0f);

  // Not pickable, then hidden, then a box away from the cursor.
  for (unsigned char flags :
       {KelGraphicAttributeSet::NOT_PICKABLE, KelGraphicAttributeSet::TEMPORY_HIDDEN}) {
    leaf->SetGraphicAttributeSet(keltest::Look(253, flags));
    EXPECT_EQ(Pick(), 0) << int(flags);
  }
  leaf->SetGraphicAttributeSet(KelGraphicAttributeSet());
  // The leaf's box, [-10, 10] x [-10, 10] in the window, is tested against
  // the pick rectangle moved into its frame.
  drawn = 0;
  EXPECT_EQ(Pick(110, 100), 0);  // the rectangle [5, 15] meets the box, not the marker
  EXPECT_EQ(drawn, 1);
  EXPECT_EQ(Pick(116, 100), 0);  // [11, 21]: beyond the box
  EXPECT_EQ(drawn, 1);
}

TEST_F(Picking2DTest, SubElementBoxesAndSensitivity) {
  Leaf([&](KelPickingRender& r) {
    const KelGraphicAttributeSet a;
    EXPECT_EQ(r.IsDrawable(a, Kel2DBoundingBox(10, 20, 10, 20), 3), 0);
    ASSERT_EQ(r.IsDrawable(a, Kel2DBoundingBox(-1, 1, -1, 1), 4), 1);
    r.Pick2DRectangle(-1, 1, -1, 1, 1);
    r.SetSensitivity(0);
    EXPECT_EQ(r.IsDrawable(a, Kel2DBoundingBox(-1, 1, -1, 1), 5), 0);
    r.Pick2DRectangle(-1, 1, -1, 1, 1);
  });
  ASSERT_EQ(Pick(), 1);
  EXPECT_EQ(HitAt(0).GetCurrentSubElement(), 4);
}

// The 2D texts, picked by their box, which only the pick works out (worked
// out by hand): a hit of dimension 2. Reps of lines, arcs, curves, polygons,
// symbols and images are picked where they draw by the random property test;
// their segments and fills at the render's level above.
TEST_F(Picking2DTest, TextsArePickedByTheirBox) {
  const float geometric[2] = {-44, 0}, annotation[2] = {-22, 0}, cursor[2] = {0, 0};
  auto text = [](const float* at, const char* text) {
    return new Kel2DCustomRep(new Kel2DAnnotationTextGP(at, text, BOTTOM_LEFT),
                              KelGraphicAttributeSet());
  };
  const struct {
    const char* what;
    std::function<Kel2DRep*()> make;
    int hits;
  } cases[] = {
      // "ABCD" 20 high: 40 pixels of font 4, reaching 4 pixels left of the cursor.
      {"geometric text",
       [&] { return new Kel2DSimpleGeometricTextRep(geometric, "ABCD", BOTTOM_LEFT, 20); }, 1},
      // "AB" in font 0 is 18 pixels: from -22 it reaches -4.
      {"annotation text", [&] { return text(annotation, "AB"); }, 1},
      {"no text", [&] { return text(cursor, ""); }, 0},
  };
  for (const auto& c : cases) {
    Kel2DRep* rep = ShowOnly(Own(c.make()));
    ASSERT_EQ(Pick(), c.hits) << c.what;
    if (!c.hits) continue;
    EXPECT_EQ(HitAt(0).GetDimension(), 2.0f) << c.what;
    EXPECT_EQ(HitAt(0).GetRep(0), rep) << c.what;
  }
}

}  // namespace

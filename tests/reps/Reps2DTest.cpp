// The ready-made 2D Reps: their boxes, what they draw, and how they keep
// their primitives and images.
#include <gtest/gtest.h>

#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel2DImagePixelGP.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DPolylineGP.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel2DCadreRep.h>
#include <kel/reps/Kel2DCrossRep.h>
#include <kel/reps/Kel2DCustomRep.h>
#include <kel/reps/Kel2DImagePixelRep.h>
#include <kel/reps/Kel2DLineRep.h>
#include <kel/reps/Kel2DSimpleGeometricTextRep.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include <string>
#include <vector>

#include "KelRecordingRender.h"

namespace {

std::vector<float> Floats(const float* p, int n) {
  return std::vector<float>(p, p + n);
}

std::vector<float> Box(const Kel2DRep& rep) {
  float b[4];
  rep.GetBoundingElement().GetParameter(&b[0], &b[1], &b[2], &b[3]);
  return Floats(b, 4);
}

Kel2DLineGP* Segment() {
  const float p[4] = {0, 0, 1, 1};
  return new Kel2DLineGP(p, 2, 1);
}

TEST(CustomRep2D, EachSetStaysWithItsPrimitive) {
  // The line given twice is held once and its second pair dropped whole: the
  // third set given stays with the polyline, and hiding it hides only that.
  KelGraphicPrimitive* line = Segment();
  const float bend[6] = {0, 0, 1, 0, 1, 1};
  list<KelGraphicPrimitive*> gps;
  list<KelGraphicAttributeSet*> sets;
  for (KelGraphicPrimitive* gp :
       {line, line, static_cast<KelGraphicPrimitive*>(new Kel2DPolylineGP(bend, 3, 1))})
    gps.Append(gp);
  for (int i = 0; i < 3; ++i) sets.Append(new KelGraphicAttributeSet);
  sets[2]->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  Kel2DCustomRep rep(gps, sets);
  EXPECT_TRUE(rep.GetBoundingElement().IsInfinite()) << "never culled";
  KelRecordingRender render;
  rep.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "IsDrawable volume, IsDrawable flags, Draw2DLine, IsDrawable flags");

  // Three primitives for one set given twice: the set is copied for the
  // second, the third primitive is kept (and released) but not drawn.
  list<KelGraphicPrimitive*> three;
  for (int i = 0; i < 3; ++i) three.Append(Segment());
  list<KelGraphicAttributeSet*> shared;
  auto* set = new KelGraphicAttributeSet;
  shared.Append(set);
  shared.Append(set);
  Kel2DCustomRep partial(three, shared);
  EXPECT_NE(partial.GetAttributeSets()[1], set);
  render.ClearLog();
  partial.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(),
            "IsDrawable volume, IsDrawable flags, Draw2DLine, IsDrawable flags, Draw2DLine");
}

TEST(CrossAndCadreRep2D, SegmentsCornersAndBoxes) {
  Kelpoint2f c(10, 20);
  EXPECT_EQ(Kel2DCrossRep(c, 2, 4, 0).GetNbSegments(), 2);
  Kel2DCrossRep arms(c, 2, 4, 1);
  ASSERT_EQ(arms.GetNbSegments(), 4);
  EXPECT_EQ(Floats(arms.GetSegment(0)->GetPoints(), 4), (std::vector<float>{8, 16, 9, 18}));
  EXPECT_EQ(Box(arms), (std::vector<float>{8, 12, 16, 24}));
  // No width: no slope to stop on, and no division by it.
  Kel2DCrossRep flat(c, 0, 4, 1);
  EXPECT_EQ(Floats(flat.GetSegment(0)->GetPoints(), 4), (std::vector<float>{10, 16, 10, 24}));

  Kel2DCadreRep corner(c, 5, 3, 2, BOTTOM_LEFT_CADRE_CORNER);
  ASSERT_EQ(corner.GetNbCorners(), 1);
  EXPECT_EQ(Floats(corner.GetCorner(0)->GetPoints(), 6), (std::vector<float>{7, 17, 5, 17, 5, 19}));
  EXPECT_EQ(Box(Kel2DCadreRep(c, 5, 3, 2, ALL_CADRE_CORNERS)), (std::vector<float>{5, 15, 17, 23}));

  testing::internal::CaptureStderr();
  Kel2DCadreRep unknown(c, 5, 3, 2, CadreRepCorner(7));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel2DCadreRep::Kel2DCadreRep: Invalid function parameters.\n");
  KelRecordingRender render;
  unknown.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "");
}

TEST(Reps2D, BoxesCountInTheirBags) {
  const float ends[4] = {0, 0, 2, 1};
  Kel2DLineRep line(ends);
  EXPECT_EQ(Box(line), (std::vector<float>{0, 2, 0, 1}));
  // A text alone in a bag gives the bag a box: the bag is drawn.
  auto* bag = new Kel2DBagRep;
  const float at[2] = {10, 0};
  auto* text = new Kel2DSimpleGeometricTextRep(at, "ABCD", MIDDLE_CENTER, 10.0f);
  bag->AddChild(*text);
  EXPECT_EQ(text->GetWidth(), 25.0f);
  EXPECT_EQ(Box(*bag), (std::vector<float>{-2.5f, 22.5f, -5, 5}));
  bag->Destroy();
}

// What an image primitive sends through a camera of one model unit a pixel
// (the view from -50 to 50), or of no size at all.
std::vector<std::string> Drawn(KelGraphicPrimitive& gp, float modelPerPixel = 1) {
  Kel2DViewpoint camera(Kelpoint2f(0, 0), 1.0f);
  KelRecordingRender render;
  render.immediate = 1;
  render.LookThrough(camera, 100, 100, 1);
  render.SetModelPerPixel(modelPerPixel);
  gp.Draw(render);
  render.EndDraw(camera);
  std::vector<std::string> out;
  for (const auto& shape : render.shapes2D)
    out.push_back(shape.kind + " at " + std::to_string(int(shape.points[0])) + " " +
                  std::to_string(int(shape.points[1])));
  return out;
}

TEST(ImageRep2D, ItsImageLivesAsLongAsAPendingDrawNeedsIt) {
  KelPixelImage image(10, 6, PixelImageRGB);
  image.SetXPixelSize(2.0f);
  image.SetYPixelSize(2.0f);
  const float at[2] = {-10, -10};
  auto* rep = new Kel2DImagePixelRep(at, &image, 0);
  EXPECT_EQ(Box(*rep), (std::vector<float>{-10, 10, -10, 2}));
  EXPECT_NE(rep->GetPixelImage(), &image) << "its own copy";
  // A drawing pass holds the primitive while the Rep goes away; the image is
  // zoomed to its 20 x 12 pixels.
  KelGraphicPrimitive::Lock();
  auto* gp = const_cast<Kel2DImagePixelGP*>(rep->GetImagePixel());
  rep->Destroy();
  EXPECT_EQ(Drawn(*gp), (std::vector<std::string>{"image 20x12 0 at -10 -10"}));
  KelGraphicPrimitive::Unlock();

  // 10 screen pixels cut off on the left: columns 5 to 9, from the view's side.
  const float cut[2] = {-60, 0};
  Kel2DImagePixelGP left(cut, &image, 0);
  EXPECT_EQ(Drawn(left), (std::vector<std::string>{"image 10x12 0 at -50 0"}));
  // Nothing to divide by, nothing to show.
  EXPECT_TRUE(Drawn(left, 0.0f).empty()) << "a pixel of no size";
  KelPixelImage flat(10, 6, PixelImageRGB), none(0, 6, PixelImageRGB);
  flat.SetXPixelSize(0.0f);
  for (const KelPixelImage* i : {&flat, &none, static_cast<KelPixelImage*>(nullptr)}) {
    Kel2DImagePixelGP empty(at, i, 0);
    EXPECT_TRUE(Drawn(empty).empty());
  }
  Kel2DImagePixelRep nothing(at, nullptr, 0);
  EXPECT_TRUE(nothing.GetBoundingElement().IsEmpty());
}

}  // namespace

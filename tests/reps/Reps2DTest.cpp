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
  // The first primitive given twice: held once, the second pair dropped whole.
  KelGraphicPrimitive* line = Segment();
  const float bend[6] = {0, 0, 1, 0, 1, 1};
  KelGraphicPrimitive* polyline = new Kel2DPolylineGP(bend, 3, 1);
  list<KelGraphicPrimitive*> gps;
  list<KelGraphicAttributeSet*> sets;
  for (KelGraphicPrimitive* gp : {line, line, polyline}) gps.Append(gp);
  for (int i = 0; i < 3; ++i) sets.Append(new KelGraphicAttributeSet);
  KelGraphicAttributeSet* third = sets[2];
  Kel2DCustomRep rep(gps, sets);
  ASSERT_EQ(rep.GetPrimitives().Count(), 2);
  ASSERT_EQ(rep.GetAttributeSets().Count(), 2);
  EXPECT_EQ(rep.GetAttributeSets()[1], third);
  EXPECT_TRUE(rep.GetBoundingElement().IsInfinite()) << "never culled";
  // Hiding the third set given hides the polyline, not the line.
  third->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  KelRecordingRender render;
  rep.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "IsDrawable volume, IsDrawable flags, Draw2DLine, IsDrawable flags");

  // A longer primitive list: what has no set is kept (and released) but not
  // drawn; one set for two primitives is copied for the second.
  list<KelGraphicPrimitive*> three;
  for (int i = 0; i < 3; ++i) three.Append(Segment());
  list<KelGraphicAttributeSet*> shared;
  auto* set = new KelGraphicAttributeSet;
  shared.Append(set);
  shared.Append(set);
  Kel2DCustomRep partial(three, shared);
  EXPECT_EQ(partial.GetPrimitives().Count(), 3);
  ASSERT_EQ(partial.GetAttributeSets().Count(), 2);
  EXPECT_NE(partial.GetAttributeSets()[1], set);
  render.ClearLog();
  partial.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(),
            "IsDrawable volume, IsDrawable flags, Draw2DLine, IsDrawable flags, Draw2DLine");
}

TEST(CrossAndCadreRep2D, SegmentsCornersAndBoxes) {
  Kelpoint2f c(10, 20);
  Kel2DCrossRep diagonals(c, 2, 4, 0);
  ASSERT_EQ(diagonals.GetNbSegments(), 2);
  EXPECT_EQ(Floats(diagonals.GetSegment(1)->GetPoints(), 4), (std::vector<float>{8, 24, 12, 16}));
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
  KelRecordingRender render;
  corner.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "IsDrawable flags, Draw2DPolyline");
  Kel2DCadreRep all(c, 5, 3, 2, ALL_CADRE_CORNERS);
  EXPECT_EQ(all.GetNbCorners(), 4);
  EXPECT_EQ(Box(all), (std::vector<float>{5, 15, 17, 23}));

  testing::internal::CaptureStderr();
  Kel2DCadreRep unknown(c, 5, 3, 2, CadreRepCorner(7));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel2DCadreRep::Kel2DCadreRep: Invalid function parameters.\n");
  render.ClearLog();
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

TEST(ImageRep2D, ItsImageLivesAsLongAsAPendingDrawNeedsIt) {
  KelPixelImage image(4, 2, PixelImageRGB);
  image.SetXPixelSize(1.0f);
  image.SetYPixelSize(1.0f);
  const float at[2] = {-2, -1};
  auto* rep = new Kel2DImagePixelRep(at, &image, 0);
  EXPECT_EQ(Box(*rep), (std::vector<float>{-2, 2, -1, 1}));
  EXPECT_NE(rep->GetPixelImage(), &image) << "its own copy";
  // A drawing pass holds the primitive while the Rep goes away.
  KelGraphicPrimitive::Lock();
  auto* gp = const_cast<Kel2DImagePixelGP*>(rep->GetImagePixel());
  rep->Destroy();
  Kel2DViewpoint camera(Kelpoint2f(0, 0), 1.0f);
  KelRecordingRender render;
  render.immediate = 1;
  render.LookThrough(camera, 100, 100, 1);
  gp->Draw(render);
  render.EndDraw(camera);
  KelGraphicPrimitive::Unlock();
  ASSERT_EQ(render.shapes2D.size(), 1u);
  EXPECT_EQ(render.shapes2D[0].kind, "image 4x2 0");

  Kel2DImagePixelRep none(at, nullptr, 0);
  EXPECT_TRUE(none.GetBoundingElement().IsEmpty());
  render.shapes2D.clear();
  none.DrawShading(render, 0);
  EXPECT_TRUE(render.shapes2D.empty());
}

}  // namespace

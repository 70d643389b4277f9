// Line, point, cloud, axis and plan Reps: volumes, drawing tests and rebuilds.
#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DFixedArrowGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/reps/Kel3DAxisRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCloudOfPointsRep.h>
#include <kel/reps/Kel3DLineRep.h>
#include <kel/reps/Kel3DPointRep.h>

#include <cmath>
#include <string>
#include <vector>

#include "KelRecordingRender.h"

namespace {

std::vector<float> Floats(const float* p, int n) {
  return std::vector<float>(p, p + n);
}

TEST(SimpleLineRep, VolumeDrawingAndModify) {
  auto* bag = new Kel3DBagRep;
  auto* line = new Kel3DLineRep(Kelpoint3f(0, 0, 0), Kelpoint3f(6, 8, 0));
  bag->AddChild(*line);
  EXPECT_EQ(Kelpoint3f(line->GetBoundingElement().GetCenter()), Kelpoint3f(3, 4, 0));
  EXPECT_EQ(line->GetBoundingElement().GetRadius(), 5.0f);

  KelRecordingRender render;
  line->DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "IsDrawable volume, Draw3DLine 2");
  render.ClearLog();
  render.outside = 1;
  line->DrawShading(render, 1);
  EXPECT_EQ(render.Joined(), "IsDrawable volume");

  line->Modify(Kelpoint3f(10, 0, 0), Kelpoint3f(10, 0, 2));
  EXPECT_EQ(Floats(line->GetLine()->GetPoints(), 6), (std::vector<float>{10, 0, 0, 10, 0, 2}));
  EXPECT_NEAR(bag->GetBoundingElement().GetCenter()[0], 10.0f, 1e-6);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), 1.0f, 1e-6);
  bag->Destroy();
}

TEST(SimplePointRep, ModifyKeepsTheSymbol) {
  const float p[3] = {1, 2, 3}, q[3] = {4, 5, 6};
  Kel3DPointRep point(p, SymbolType(4));
  point.Modify(q);
  EXPECT_EQ(point.GetMarker()->GetSymbolType(), 4);
  EXPECT_EQ(Floats(point.GetMarker()->GetPoints(), 3), (std::vector<float>{4, 5, 6}));
  EXPECT_EQ(Kelpoint3f(point.GetBoundingElement().GetCenter()), Kelpoint3f(4, 5, 6));

  Kel3DPointRep empty;
  empty.Modify(p);
  EXPECT_EQ(empty.GetMarker()->GetSymbolType(), DEFAULT_SYMBOL);
}

TEST(SimpleCloudOfPointsRep, ShadedDotsWithBothVisibilityTests) {
  float points[6] = {0, 0, 0, 1, 1, 1};
  Kel3DCloudOfPointsRep cloud(points, 2);
  points[0] = 9;  // the cloud holds its own copy
  EXPECT_EQ(Floats(cloud.GetMarker()->GetPoints(), 6), (std::vector<float>{0, 0, 0, 1, 1, 1}));

  KelRecordingRender render;
  cloud.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "IsDrawable volume") << "its owner has set no volume yet";

  cloud.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0.5f, 0.5f, 0.5f), 1.0f, 0.0f));
  render.ClearLog();
  cloud.DrawShading(render, 0);
  cloud.DrawShading(render, 1);
  EXPECT_EQ(render.Joined(), "IsDrawable volume, Draw3DMarker, IsDrawable flags, Draw3DMarker");
  EXPECT_EQ(render.GetCurrentAttribute().ElementKind(), 3);

  render.ClearLog();
  render.SetCullingSize(2.0f);
  cloud.DrawShading(render, 0);
  cloud.DrawShading(render, 1);
  EXPECT_EQ(render.Joined(), "IsDrawable volume, IsDrawable flags") << "too small";
}

TEST(SimpleAxisRep, SizesTextsAndSubElements) {
  // Frame axes of lengths 2, 1, 3 about the origin (1, 2, 3).
  Kel4x4Matrix frame(Kelvector3f(2, 0, 0), Kelvector3f(0, 1, 0), Kelvector3f(0, 0, 3),
                     Kelvector3f(1, 2, 3));
  testing::internal::CaptureStderr();
  Kel3DAxisRep bad(frame, -5, 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel3DAxisRep::Kel3DAxisRep: Invalid size parameter.\n");
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(bad.GetArrow(k)->GetLength(), 10) << "the default size";
    EXPECT_EQ(bad.GetArrow(k)->GetOrigin(), Kelpoint3f(1, 2, 3));
    EXPECT_NEAR(bad.GetArrow(k)->GetDirection()[k], 1.0f, 1e-6) << "frame axes are normalised";
  }
  EXPECT_STREQ(bad.GetArrow(2)->GetText(), "Z");
  EXPECT_EQ(bad.GetBoundingElement().GetRadius(), 0.0f);
  EXPECT_EQ(bad.GetBoundingElement().GetRadiusMM(), 10.0f);

  Kel3DAxisRep sized(frame, 5, "u", 8, "v", 12, "w");
  EXPECT_EQ(sized.GetBoundingElement().GetRadiusMM(), 12.0f);
  EXPECT_EQ(sized.GetArrow(0)->GetHeadLength(), 1);

  testing::internal::CaptureStderr();
  Kel3DAxisRep zero(frame, 5, "u", 0, "v", 12, "w");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Kel3DAxisRep::Kel3DAxisRep: Invalid size parameters.\n");
  for (int k = 0; k < 3; ++k) EXPECT_EQ(zero.GetArrow(k)->GetLength(), 10);

  KelRecordingRender render;
  sized.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(),
            "IsDrawable volume, IsDrawable flags, DrawDynamicGP, IsDrawable flags, DrawDynamicGP, "
            "IsDrawable flags, DrawDynamicGP");
  render.ClearLog();
  render.outside = 1;
  sized.DrawShading(render, 0);
  EXPECT_EQ(render.Joined(), "IsDrawable volume");
}

}  // namespace

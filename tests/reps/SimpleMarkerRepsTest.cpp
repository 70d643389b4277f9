// Line, point, cloud and axis Reps: volumes, drawing tests and rebuilds.
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

#include <string>
#include <vector>

#include "KelRecordingRender.h"
#include "KelTestEnv.h"

namespace {

using keltest::ExpectXYZ;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

std::string Drawn(Kel3DRep& rep, int inside = 0, int outside = 0, float cullingSize = 0) {
  KelRecordingRender render;
  render.outside = outside;
  render.SetCullingSize(cullingSize);
  rep.DrawShading(render, inside);
  return render.Joined();
}

TEST(SimpleLineRep, VolumeDrawingAndModify) {
  auto* bag = new Kel3DBagRep;
  auto* line = new Kel3DLineRep(Kelpoint3f(0, 0, 0), Kelpoint3f(6, 8, 0));
  bag->AddChild(*line);
  ExpectXYZ(Kelpoint3f(line->GetBoundingElement().GetCenter()), 3, 4, 0);
  EXPECT_EQ(line->GetBoundingElement().GetRadius(), 5.0f);
  EXPECT_EQ(Drawn(*line), "IsDrawable volume, Draw3DLine 2");
  EXPECT_EQ(Drawn(*line, 1, 1), "IsDrawable volume");
  line->Modify(Kelpoint3f(10, 0, 0), Kelpoint3f(10, 0, 2));
  ExpectXYZ(Kelpoint3f(line->GetLine()->GetPoints() + 3), 10, 0, 2);
  ExpectXYZ(Kelpoint3f(bag->GetBoundingElement().GetCenter()), 10, 0, 1);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), 1.0f, 1e-6);
  bag->Destroy();
}

TEST(SimpleCloudOfPointsRep, ShadedDotsWithBothVisibilityTests) {
  float points[6] = {0, 0, 0, 1, 1, 1};
  Kel3DCloudOfPointsRep cloud(points, 2);
  points[0] = 9;  // the cloud holds its own copy
  EXPECT_EQ(cloud.GetMarker()->GetPoints()[0], 0.0f);
  EXPECT_EQ(Drawn(cloud), "IsDrawable volume") << "its owner has set no volume yet";
  cloud.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0.5f, 0.5f, 0.5f), 1.0f, 0.0f));
  EXPECT_EQ(Drawn(cloud), "IsDrawable volume, Draw3DMarker");
  EXPECT_EQ(Drawn(cloud, 1), "IsDrawable flags, Draw3DMarker");
  EXPECT_EQ(Drawn(cloud, 0, 0, 2) + ", " + Drawn(cloud, 1, 0, 2),
            "IsDrawable volume, IsDrawable flags")
      << "too small either way";
}

TEST(SimpleAxisRep, SizesTextsAndSubElements) {
  // Frame axes of lengths 2, 1, 3 about the origin (1, 2, 3).
  Kel4x4Matrix frame(Kelvector3f(2, 0, 0), Kelvector3f(0, 1, 0), Kelvector3f(0, 0, 3),
                     Kelvector3f(1, 2, 3));
  CaptureStderr();
  Kel3DAxisRep bad(frame, -5, 0);
  EXPECT_EQ(GetCapturedStderr(), "Kel3DAxisRep::Kel3DAxisRep: Invalid size parameter.\n");
  for (int k = 0; k < 3; ++k) {
    ExpectXYZ(bad.GetArrow(k)->GetOrigin(), 1, 2, 3);
    EXPECT_NEAR(bad.GetArrow(k)->GetDirection()[k], 1.0f, 1e-6) << "frame axes are normalised";
  }
  EXPECT_EQ(bad.GetBoundingElement().GetRadius(), 0.0f);

  Kel3DAxisRep sized(frame, 5, "u", 8, "v", 12, "w");
  EXPECT_EQ(sized.GetBoundingElement().GetRadiusMM(), 12.0f);
  CaptureStderr();
  Kel3DAxisRep zero(frame, 5, "u", 0, "v", 12, "w");
  EXPECT_EQ(GetCapturedStderr(), "Kel3DAxisRep::Kel3DAxisRep: Invalid size parameters.\n");
  for (int k = 0; k < 3; ++k) EXPECT_EQ(zero.GetArrow(k)->GetLength(), 10);

  EXPECT_EQ(Drawn(sized),
            "IsDrawable volume, IsDrawable flags, DrawDynamicGP, IsDrawable flags, DrawDynamicGP, "
            "IsDrawable flags, DrawDynamicGP");
  EXPECT_EQ(Drawn(sized, 0, 1), "IsDrawable volume");
}

}  // namespace

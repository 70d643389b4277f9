// Indicators away from a viewer: the cause they send, what they answer about
// an indicate event, and the events a matrix indicator refuses.
#include <gtest/gtest.h>

#include <kel/framework/Kelsegment.h>
#include <kel/manipulators/Kel2DIndicator.h>
#include <kel/manipulators/Kel2DMatrixIndicator.h>
#include <kel/manipulators/Kel3DIndicator.h>
#include <kel/manipulators/KelManipulatorNotification.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <string>
#include <vector>

#include "KelViewerSession.h"

namespace {

using keltest::NotificationLog;
using Texts = std::vector<std::string>;

TEST(Indicator, SendsItsIndicateEventAndNoCauseWhenReset) {
  NotificationLog father;
  Kel3DViewpoint viewpoint;
  Kel3DIndicator indicator(&father, "m", viewpoint);
  KelViewerEvent event;
  event.SetTimeStamp(77);
  EXPECT_EQ(indicator.Preactivate(&event, nullptr), 1);
  EXPECT_EQ(indicator.GetIndicateEvent().GetViewpoint(), &viewpoint);
  EXPECT_EQ(indicator.GetIndicateEvent().GetTimeStamp(), 77u);
  indicator.ResetState();
  ASSERT_EQ(father.Texts(), (Texts{"m:KelPreactivate", "m:KelEndPreactivate"}));
  EXPECT_EQ(father.entries[0].cause, "KelIndicateEvent");
  EXPECT_EQ(father.entries[1].cause, "");
}

TEST(Indicator, AnswersThePointsOfTheIndicateEventOnly) {
  Kel2DViewpoint viewpoint2D;
  Kel3DViewpoint viewpoint3D;
  Kel2DIndicator indicator2D(nullptr, viewpoint2D);
  Kel3DIndicator indicator3D(nullptr, viewpoint3D);
  KelMouseEvent mouse;
  KelViewerEvent viewerEvent(&mouse, nullptr);
  KelIndicateEvent indicated({1, 2, 3}, {4, 5, 6}, &viewpoint3D, &viewerEvent);
  KelManipulatorNotification n(&indicated);

  auto* point = static_cast<Kel2DIndication*>(
      indicator2D.SendCommandSpecificObject(Kel2DIndication::ClassName(), &n));
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetPoint(), Kelpoint2d(1, 2));
  testing::internal::CaptureStdout();
  auto* segment =
      static_cast<Kelsegment*>(indicator3D.SendCommandSpecificObject(Kelsegment::ClassName(), &n));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "no notice from an indicator";
  ASSERT_NE(segment, nullptr);
  EXPECT_EQ(segment->GetSecondPoint(), Kelpoint3f(4, 5, 6));
  auto* sight = static_cast<KelIndicationSegment*>(indicator3D.SendCommandSpecificObject(
      fct_MetaObjectToFind("KelIndicationSegment")->GetClassName(), &n));
  ASSERT_NE(sight, nullptr);
  EXPECT_EQ(sight->GetFirstPoint(), KelMathPoint(1, 2, 3));

  // Every other question, or a plain viewer event, gets nothing.
  EXPECT_EQ(indicator3D.SendCommandSpecificObject(KelMouseEvent::ClassName(), &n), nullptr);
  EXPECT_EQ(indicator2D.SendCommandSpecificObject(Kelsegment::ClassName(), &n), nullptr);
  KelManipulatorNotification plain(&viewerEvent);
  EXPECT_EQ(indicator2D.SendCommandSpecificObject(Kel2DIndication::ClassName(), &plain), nullptr);
}

TEST(Indicator, MatrixIndicatorIgnoresKeys) {
  NotificationLog father;
  Kel2DViewpoint viewpoint;
  Kel2DMatrixIndicator indicator(&father, "m", viewpoint);
  indicator.SetObjectPosition(Kel3x3Matrix(Kelvector2f(3, 4)));
  KelKeyboardEvent key;
  key.SetKey(3);  // Up
  KelViewerEvent event(&key, nullptr);
  indicator.Preactivate(&event, nullptr);
  indicator.Activate(&event, nullptr);
  EXPECT_EQ(indicator.BeginManipulate(&event, nullptr), 1) << "a key starts no drag";
  EXPECT_EQ(indicator.GetInteractiveState(), 2);
  EXPECT_EQ(indicator.Manipulate(&event, nullptr), 0);
  EXPECT_EQ(indicator.GetObjectPosition().GetTranslation(), Kelvector2f(3, 4));
  EXPECT_EQ(father.Texts(), (Texts{"m:KelPreactivate", "m:KelActivate"}));
}

}  // namespace

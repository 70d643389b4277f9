// Device and viewer events, view notifications and the library's clock.
#include <gtest/gtest.h>

#include <kel/controller/KelVueNotification.h>
#include <kel/picking/KelPickPath.h>
#include <kel/viewers/GetTimeInMilliseconds.h>
#include <kel/viewers/KelKeyboardDevice.h>
#include <kel/viewers/KelMouseDevice.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelPressEvent.h>
#include <kel/viewers/KelViewerEvent.h>

namespace {

TEST(Clock, DurationsHoldAcrossTheWrap) {
  EXPECT_FLOAT_EQ(GetDurationInSeconds(1000, 3500), 2.5f);
  EXPECT_FLOAT_EQ(GetDurationInSeconds(0xFFFFFFF0ul, 0x10ul), 0.032f);
  EXPECT_FLOAT_EQ(GetDurationInSeconds(7, 7), 0.0f);
}

// A pointing device with two pick candidates, told apart by their depth.
struct PickFixture {
  KelMouseDevice mouse;
  KelMouseEvent mouseEvent;
  KelViewerEvent event{&mouseEvent};
  PickFixture() {
    for (float deep : {0.25f, 0.75f}) {
      auto* p = new KelPickPath(static_cast<KelViewpoint*>(nullptr));
      p->SetDeep(deep);
      mouse.GetPickPathList() += *p;
    }
    mouseEvent.SetButtons(3);
    mouse.SetCurrentEvent(&event);
  }
};

TEST(Events, ViewerEventsWalkTheirDevicesCandidates) {
  PickFixture f;
  EXPECT_EQ(f.mouseEvent.GetButtons(), 0);

  KelVueNotification vue(&f.event);
  vue.InitElementList();
  EXPECT_EQ(vue.MoveToNextElement(), 1);
  EXPECT_FLOAT_EQ(f.mouse.GetPathUnder().GetDeep(), 0.25f);
  EXPECT_EQ(vue.MoveToNextElement(), 1);
  EXPECT_FLOAT_EQ(f.mouse.GetPathUnder().GetDeep(), 0.75f);
  // Past the end the last candidate stays under the cursor.
  f.mouse.GetPathUnder().SetDeep(0.5f);
  EXPECT_EQ(vue.MoveToNextElement(), 0);
  EXPECT_FLOAT_EQ(f.mouse.GetPathUnder().GetDeep(), 0.75f);

  f.mouse.InvalidPick();
  EXPECT_FLOAT_EQ(f.mouse.GetPathUnder().GetDeep(), 1.0f);
  EXPECT_EQ(f.mouse.GetPathUnder().Size(), 0);

  // A keyboard has no candidates; other notifications have no paths.
  KelKeyboardDevice keyboard;
  f.event.SetDevice(&keyboard);
  EXPECT_EQ(f.event.MoveToNextPickPath(), 0);
  KelPressEvent press;
  KelVueNotification other(&press);
  other.InitElementList();
  EXPECT_EQ(other.GetPickPath(), nullptr);
  EXPECT_EQ(other.MoveToNextElement(), 0);
}

}  // namespace

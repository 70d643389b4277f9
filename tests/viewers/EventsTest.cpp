// Device and viewer events, view notifications and the library's clock.
#include <gtest/gtest.h>

#include <kel/controller/KelGlobalUpdateNotification.h>
#include <kel/controller/KelVueNotification.h>
#include <kel/framework/Kelvector3f.h>
#include <kel/picking/KelPickPath.h>
#include <kel/viewers/GetTimeInMilliseconds.h>
#include <kel/viewers/Kel2DPositionEvent.h>
#include <kel/viewers/Kel3DPositionEvent.h>
#include <kel/viewers/KelIndicateEvent.h>
#include <kel/viewers/KelKeyboardDevice.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMotionEvent.h>
#include <kel/viewers/KelMouseDevice.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelPressEvent.h>
#include <kel/viewers/KelReleaseEvent.h>
#include <kel/viewers/KelResizeEvent.h>
#include <kel/viewers/KelUpdateEvent.h>

#include <sys/time.h>

#include <cstdint>
#include <memory>

namespace {

TEST(Clock, StampsAreTheLow32BitsOfTheTimeOfDayInMilliseconds) {
  auto now = [] {
    timeval t{};
    gettimeofday(&t, nullptr);
    return (std::uint64_t(t.tv_sec) * 1000 + std::uint64_t(t.tv_usec) / 1000) & 0xFFFFFFFFu;
  };
  const std::uint64_t before = now();
  const unsigned long stamp = GetTimeStampInMilliseconds();
  const int clock = GetTimeInMilliseconds();
  const std::uint64_t after = now();
  // Differences modulo 2^32, so that a wrap during the test changes nothing.
  auto since = [before](std::uint64_t t) { return std::uint32_t(t - before); };
  EXPECT_LT(stamp, 0x100000000ul);
  EXPECT_LE(since(stamp), since(after));
  EXPECT_LE(since(stamp), since(std::uint32_t(clock)));
  EXPECT_LE(since(std::uint32_t(clock)), since(after));
}

TEST(Clock, DurationsHoldAcrossTheWrap) {
  EXPECT_FLOAT_EQ(GetDurationInSeconds(1000, 3500), 2.5f);
  EXPECT_FLOAT_EQ(GetDurationInSeconds(0xFFFFFFF0ul, 0x10ul), 0.032f);
  EXPECT_FLOAT_EQ(GetDurationInSeconds(7, 7), 0.0f);
}

TEST(Events, ClassesAndBases) {
  const std::unique_ptr<KelNotification> events[] = {
      std::make_unique<KelMouseEvent>(),
      std::make_unique<KelKeyboardEvent>(),
      std::make_unique<KelPressEvent>(),
      std::make_unique<KelReleaseEvent>(),
      std::make_unique<KelMotionEvent>(),
      std::make_unique<KelResizeEvent>(),
      std::make_unique<KelUpdateEvent>(),
      std::make_unique<KelIndicateEvent>(),
      std::make_unique<Kel2DPositionEvent>(),
      std::make_unique<Kel3DPositionEvent>(),
      std::make_unique<KelGlobalUpdateNotification>()};
  const char* names[][2] = {{"KelMouseEvent", "KelDeviceEvent"},
                            {"KelKeyboardEvent", "KelDeviceEvent"},
                            {"KelPressEvent", "KelTimeStampedEvent"},
                            {"KelReleaseEvent", "KelTimeStampedEvent"},
                            {"KelMotionEvent", "KelTimeStampedEvent"},
                            {"KelResizeEvent", "KelTimeStampedEvent"},
                            {"KelUpdateEvent", "KelTimeStampedEvent"},
                            {"KelIndicateEvent", "KelViewerEvent"},
                            {"Kel2DPositionEvent", "KelTimeStampedEvent"},
                            {"Kel3DPositionEvent", "KelTimeStampedEvent"},
                            {"KelGlobalUpdateNotification", "KelTimeStampedEvent"}};
  for (std::size_t i = 0; i < std::size(events); ++i) {
    EXPECT_STREQ(events[i]->IsA(), names[i][0]);
    EXPECT_TRUE(events[i]->IsAKindOf(names[i][1])) << names[i][0];
    EXPECT_TRUE(events[i]->IsAKindOf("KelTimeStampedEvent")) << names[i][0];
    EXPECT_FALSE(events[i]->IsAKindOf("KelDevice")) << names[i][0];
  }
  KelVueNotification vue(nullptr);
  EXPECT_TRUE(vue.IsAKindOf("KelNotification"));
  EXPECT_FALSE(vue.IsAKindOf("KelTimeStampedEvent"));
}

TEST(Events, ArrowKeysGiveTheirDirections) {
  const float expected[6][3] = {{-1, 0, 0}, {1, 0, 0}, {0, 1, 0},
                                {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  KelKeyboardEvent k;
  for (int key = 1; key <= 6; ++key) {
    k.SetKey(key);
    Kelvector3f d(9, 9, 9);
    ASSERT_EQ(k.IsArrow(d), 1);
    EXPECT_EQ(d, Kelvector3f(expected[key - 1][0], expected[key - 1][1], expected[key - 1][2]));
  }
  for (int key : {0, 7, 11, 13}) {
    k.SetKey(key);
    Kelvector3f d(9, 9, 9);
    EXPECT_EQ(k.IsArrow(d), 0);
    EXPECT_EQ(d, Kelvector3f(9, 9, 9));
  }
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
  EXPECT_EQ(f.event.GetDevice(), &f.mouse);
  EXPECT_EQ(f.event.GetPickPathUnder(), &f.mouse.GetPathUnder());
  EXPECT_EQ(f.event.GetPickPath(), &f.mouse.GetCurrentPath());
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
  EXPECT_EQ(vue.GetPickPath(), &f.mouse.GetCurrentPath());

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

TEST(Events, AssignmentCopiesTheStampAndTheLinks) {
  PickFixture f;
  f.event.SetTimeStamp(1234);
  KelViewerEvent copy;
  copy = f.event;
  EXPECT_EQ(copy.GetTimeStamp(), 1234ul);
  EXPECT_EQ(copy.GetDevice(), &f.mouse);
  EXPECT_EQ(copy.GetDeviceEvent(), &f.mouseEvent);
  EXPECT_EQ(copy.GetPickPathUnder(), &f.mouse.GetPathUnder());

  KelIndicateEvent indicate(Kelpoint3f(1, 2, 3), Kelpoint3f(4, 5, 6), nullptr, &f.event);
  EXPECT_EQ(indicate.GetDeviceEvent(), &f.mouseEvent);
  EXPECT_EQ(indicate.GetPickPath(), &f.mouse.GetCurrentPath());
  EXPECT_EQ(indicate.GetFarPoint(), Kelpoint3f(4, 5, 6));
}

TEST(Devices, GeneralModifiersReachTheCurrentEvent) {
  PickFixture f;
  KelKeyboardEvent shift;
  shift.SetModifiers(5);
  f.mouse.GeneralModifiersModified("GENERAL_MODIFIERS_MODIFIED", nullptr, &shift, nullptr, 0);
  EXPECT_EQ(f.mouseEvent.GetModifiers(), 5);
  // Only device events carry modifiers.
  KelPressEvent press;
  f.mouse.GeneralModifiersModified("GENERAL_MODIFIERS_MODIFIED", nullptr, &press, nullptr, 0);
  EXPECT_EQ(f.mouseEvent.GetModifiers(), 5);
}

TEST(Devices, RawEventsUpdateTheCurrentDeviceEvent) {
  PickFixture f;
  KelMotionEvent motion(&f.mouse, 10, 12.5f, 40.0f);
  f.mouse.InterpretDeviceEvent(&motion, nullptr);
  EXPECT_EQ(f.mouseEvent.GetPosition(), Kelpoint2f(12.5f, 40.0f));
  EXPECT_EQ(f.mouseEvent.GetTimeStamp(), 10ul);
  KelPressEvent press(&f.mouse, 11, 2);
  f.mouse.InterpretDeviceEvent(&press, nullptr);
  EXPECT_EQ(f.mouse.GetPressedButton(), 2);
  KelReleaseEvent other(&f.mouse, 12, 1);
  f.mouse.InterpretDeviceEvent(&other, nullptr);
  EXPECT_EQ(f.mouse.GetPressedButton(), 2);
  KelReleaseEvent release(&f.mouse, 13, 2);
  f.mouse.InterpretDeviceEvent(&release, nullptr);
  EXPECT_EQ(f.mouse.GetPressedButton(), 0);

  KelKeyboardDevice keyboard;
  KelKeyboardEvent key;
  KelViewerEvent event(&key);
  keyboard.SetCurrentEvent(&event);
  KelPressEvent escape(&keyboard, 14, 11);
  keyboard.InterpretDeviceEvent(&escape, nullptr);
  EXPECT_EQ(key.GetKey(), 11);
  EXPECT_EQ(key.GetTimeStamp(), 14ul);
}

}  // namespace

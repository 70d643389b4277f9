// A viewer on the X server with real Motif, GLX and XTest input, or with raw
// device events whose time stamps the test chooses: the interaction sequence
// from the device to the manipulators and the viewpoint editor.
#include <gtest/gtest.h>

#include <kel/framework/KelDlgContextualMenu.h>
#include <kel/framework/KelDlgMotif.h>
#include <kel/manipulators/Kel3DIndicator.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/navigation/KelViewpointEditor.h>
#include <kel/picking/KelPickPath.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/viewers/KelColorMap.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelMouseDevice.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <X11/keysym.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelTestScene.h"
#include "KelViewerSession.h"
#include "KelXInput.h"
#include "KelXSession.h"

using keltest::NotificationLog;
using keltest::ViewerSession;
using Texts = std::vector<std::string>;

namespace {

// An editor that writes down what the mouse device hands it.
class Editor : public KelViewpointEditor {
 public:
  explicit Editor(KelViewpoint* v) : KelViewpointEditor(KelString("editor"), v) {}
  int Activate(KelNotification*) override { return Note("activate", nullptr); }
  int EndActivate(KelNotification*) override { return Note("endActivate", nullptr); }
  int BeginManipulate(KelNotification* n) override { return Note("begin", n); }
  int Manipulate(KelNotification* n) override { return Note("manipulate", n); }
  int EndManipulate(KelNotification* n) override { return Note("end", n); }
  int Note(const char* what, KelNotification* n) {
    std::string text = what;
    if (auto* mouse = dynamic_cast<KelMouseEvent*>(n))
      text += " buttons=" + std::to_string(mouse->GetButtons());
    calls.push_back(text);
    return 1;
  }
  Texts calls;
};

class ViewerX11 : public keltest::ViewerX11Test {
 protected:
  void SetUp() override {
    if (!Open("viewer", 320, 240)) return;
    viewer = session->viewer;
    // A and B side by side, C behind A and larger; seen along -z in
    // parallel projection, so C shows around A.
    a = Cube(Kelpoint3f(-3, -1, -1), 2.0f, "A");
    b = Cube(Kelpoint3f(1, -1, -1), 2.0f, "B");
    c = Cube(Kelpoint3f(-3.6f, -1.6f, -7), 3.2f, "C");
    LookDownZ();
    ASSERT_TRUE(session->WaitUpdates(1));
  }

  void Close() override {
    for (KelManipulator* m : manipulators) delete m;
    for (KelRep* r : reps) r->Destroy();
  }

  KelRep* Cube(const Kelpoint3f& corner, float side, const char* name) {
    auto* rep = new Kel3DCuboidRep(corner, Kelvector3f(side, 0, 0), Kelvector3f(0, side, 0),
                                   Kelvector3f(0, 0, side), 4);
    viewer->GetMain3DViewpoint()->AddRep(rep);
    reps.push_back(rep);
    manipulators.push_back(new KelManipulator(&log, KelString(name), rep));
    return rep;
  }

  KelMouseDevice* Mouse() { return viewer->GetGraphicWindow()->GetMouseDevice(); }

  NotificationLog log;
  KelViewer* viewer = nullptr;
  KelRep *a = nullptr, *b = nullptr, *c = nullptr;
  std::vector<KelRep*> reps;
  std::vector<KelManipulator*> manipulators;
  const Kelpoint3f centreA{-2, 0, 1}, centreB{2, 0, 1};
};

TEST_F(ViewerX11, PointingPressingDraggingAndReleasingDriveTheNearestManipulatorInOrder) {
  keltest::EventCounter selected(viewer->GetCallbackManager(), KelViewer::VIEWER_SELECTED());

  PointerTo(Pixel(centreA));
  EXPECT_EQ(log.Texts(), (Texts{"A:KelPreactivate"}));
  EXPECT_EQ(viewer->GetInteractiveState(), 1);
  keltest::PressButton(1);
  keltest::Settle();
  PointerTo(Pixel(Kelpoint3f(-1.5f, 0.5f, 1)));
  keltest::ReleaseButton(1);
  keltest::Settle();
  EXPECT_EQ(log.Texts(), (Texts{"A:KelPreactivate", "A:KelActivate", "A:KelBeginManipulate",
                                "A:KelManipulate", "A:KelEndManipulate", "A:KelPreactivate"}));
  EXPECT_EQ(selected.count, 1);
  // The cause carries the pointer's place in the window.
  const Kelpoint2f drag = Pixel(Kelpoint3f(-1.5f, 0.5f, 1));
  EXPECT_NEAR(log.Last("A:KelManipulate")->position.x, int(drag.x), 0.5);

  // Onto B: A ends its preactivation, B begins; a press on B ends A's
  // activation first.
  log.entries.clear();
  PointerTo(Pixel(centreB));
  EXPECT_EQ(log.Texts(), (Texts{"A:KelEndPreactivate", "B:KelPreactivate"}));
  log.entries.clear();
  keltest::Click(session->Area(), 1, int(Pixel(centreB).x), int(Pixel(centreB).y));
  keltest::Settle();
  // (A motion to the same place may come first: B moves.)
  Texts click = log.Texts();
  click.erase(std::remove(click.begin(), click.end(), "B:KelMove"), click.end());
  EXPECT_EQ(click, (Texts{"A:KelEndActivate", "B:KelActivate", "B:KelBeginManipulate",
                          "B:KelEndManipulate", "B:KelPreactivate"}));
  // Nothing under the pointer: B ends, nothing else is told.
  log.entries.clear();
  PointerTo(Kelpoint2f(2, 2));
  EXPECT_EQ(log.Texts(), (Texts{"B:KelEndPreactivate"}));
  EXPECT_EQ(viewer->GetInteractiveState(), 0);

  // A bag with its own manipulator over a leaf without one: the bag's is
  // chosen, and the path marks the bag as the manipulated Rep.
  auto* bag = new Kel3DBagRep;
  bag->AddChild(*new Kel3DCuboidRep(Kelpoint3f(-0.5f, 2, -1), Kelvector3f(1, 0, 0),
                                    Kelvector3f(0, 1, 0), Kelvector3f(0, 0, 1), 5));
  viewer->GetMain3DViewpoint()->AddRep(bag);
  reps.push_back(bag);
  manipulators.push_back(new KelManipulator(&log, KelString("bag"), bag));
  log.entries.clear();
  PointerTo(Pixel(Kelpoint3f(0, 2.5f, 0)));
  EXPECT_EQ(log.Texts(), (Texts{"bag:KelPreactivate"}));
  EXPECT_EQ(viewer->GetCurrentPath().GetManipulatedRep(), bag);
}

TEST_F(ViewerX11, MiddleDragsGoToTheEditorWithTheBitsOfExtraButtons) {
  auto* editor = new Editor(viewer->GetMain3DViewpoint());
  viewer->SetViewpointEditor(editor);
  EXPECT_EQ(editor->calls, (Texts{"activate"}));
  editor->calls.clear();
  session->Motion(10, 10, 1000);
  session->Press(2, 1010);
  session->Motion(30, 10, 1020);
  session->Press(1, 1030);  // while 2 drags: bit 1, no activation
  session->Press(3, 1040);  // bit 2
  session->Release(1, 1050);
  session->Release(3, 1060);
  session->Release(2, 1070);
  EXPECT_EQ(editor->calls, (Texts{"begin buttons=0", "manipulate buttons=0", "manipulate buttons=1",
                                  "manipulate buttons=3", "manipulate buttons=2",
                                  "manipulate buttons=0", "end buttons=0"}));
  EXPECT_TRUE(log.entries.empty());

  // Button 4 drags with bit 1 at once; releasing it with a bit still set
  // clears the bits for the editor first.
  editor->calls.clear();
  session->Press(4, 2000);
  session->Press(1, 2010);  // a new press for the table: no bit while 4 drags
  session->Release(4, 2020);
  EXPECT_EQ(editor->calls[0], "begin buttons=0");
  EXPECT_EQ(editor->calls[1], "manipulate buttons=1");

  // Without an editor, button 2 leaves the device idle.
  viewer->SetViewpointEditor(nullptr);
  EXPECT_EQ(editor->calls.back(), "endActivate");
  delete editor;
  session->Press(2, 3000);
  session->Motion(40, 40, 3010);
  session->Release(2, 3020);
  EXPECT_FALSE(Mouse()->IsUsed());
}

TEST_F(ViewerX11, DoubleClicksNeedBothTimeAndPlaceAndNeverAStampFromThePast) {
  const Kelpoint2f p = Pixel(centreA);
  // 599 ms and 3 pixels make a double click; 600 ms, 4 pixels or a stamp
  // before the last press (a clock set back) a second activation.
  struct Case {
    unsigned long at;
    int dx;
    long after;
  } cases[] = {{100000, 3, 599}, {200000, 0, 600}, {300000, 4, 100}, {400000, 0, -100}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.at);
    const bool edit = k.after == 599;
    session->Motion(p.x, p.y, k.at);
    session->Press(1, k.at);
    session->Release(1, k.at + 5);
    session->Motion(p.x + k.dx, p.y, k.at + 10);
    log.entries.clear();
    session->Press(1, k.at + k.after);
    EXPECT_EQ(log.Texts(),
              edit ? Texts{"A:KelEdit"}
                   : (Texts{"A:KelEndActivate", "A:KelActivate", "A:KelBeginManipulate"}));
    EXPECT_EQ(Mouse()->GetEditFlag(), edit ? 1 : 0);
    session->Release(1, k.at + k.after + 11);
    EXPECT_EQ(Mouse()->GetEditFlag(), 0);
  }
}

TEST_F(ViewerX11, ArrowKeysGoThroughTheCandidatesAndSmallMotionsKeepTheChoice) {
  const Kelpoint2f p = Pixel(centreA);
  session->Motion(p.x, p.y, 1000);
  EXPECT_EQ(log.Texts(), (Texts{"A:KelPreactivate"}));
  // A's and C's faces under the pointer, nearest first, then the empty entry.
  const int n = viewer->GetLastPick().GetPathCount();
  ASSERT_GE(n, 3);
  log.entries.clear();
  // Down goes to the next candidate until the last one.
  for (int i = 0; i < n; ++i) {
    session->Key(4, true, 1010 + i);
    session->Key(4, false, 1010 + i);
  }
  EXPECT_EQ(viewer->GetPickIndex(), n - 2);
  EXPECT_EQ(log.Count("A:KelEndPreactivate"), 1);
  EXPECT_EQ(log.Count("C:KelPreactivate"), 1);
  EXPECT_EQ(Mouse()->GetPointedManip(), c->GetManipulator());
  log.entries.clear();
  session->Motion(p.x + 3, p.y, 1030);  // dropped
  EXPECT_TRUE(log.entries.empty());
  session->Motion(p.x + 4, p.y, 1040);  // taken: a new pick, A again
  EXPECT_EQ(log.Texts(), (Texts{"C:KelEndPreactivate", "A:KelPreactivate"}));
  EXPECT_EQ(viewer->GetPickIndex(), 0);

  // Up from the first candidate puts the empty entry first, which has no
  // manipulator without a background indicator: A stays.
  log.entries.clear();
  session->Key(3, true, 1050);
  EXPECT_EQ(viewer->GetPickIndex(), -1);
  EXPECT_EQ(log.Texts(), (Texts{"A:KelMove"}));
  session->Key(3, true, 1060);
  EXPECT_EQ(viewer->GetPickIndex(), -1);

  // Over nothing only the empty entry is picked: no step moves past it.
  session->Motion(2, 2, 1070);
  KelPickPathList list;
  viewer->IncrementPick(2, 2, list, -1);
  EXPECT_EQ(viewer->GetPickIndex(), 0);
  EXPECT_EQ(list.GetPathCount(), 0);
  list.Reset();
  // Before any pick the device's walk over its candidates has nothing.
  KelMouseDevice fresh;
  EXPECT_EQ(fresh.MoveToNextPickPath(), 0);
  EXPECT_EQ(fresh.GetPathUnder().Size(), 0);
}

TEST_F(ViewerX11, ShiftAndControlKeepTheGeneralModifiers) {
  // The mouse's event takes the modifiers of device events only: not from
  // the press of Control.
  std::vector<int> general, mouse;
  // After the devices' own subscriptions: the mouse event has changed.
  keltest::EventCounter heard(viewer->GetCallbackManager(),
                              KelViewer::GENERAL_MODIFIERS_MODIFIED());
  heard.action = [&] {
    general.push_back(viewer->GetGeneralModifiers());
    mouse.push_back(Mouse()->GetMouseEvent()->GetModifiers());
  };
  session->Focus();
  keltest::HoldKey(XK_Shift_L, true);
  keltest::HoldKey(XK_Control_L, true);
  keltest::HoldKey(XK_Shift_L, false);
  keltest::HoldKey(XK_Control_L, false);
  keltest::Settle();
  EXPECT_EQ(general, (std::vector<int>{1, 5, 4, 0}));
  EXPECT_EQ(mouse, (std::vector<int>{1, 1, 4, 0}));
}

TEST_F(ViewerX11, ContextMenuOverARepAndTheWayBackFromFullScreen) {
  viewer->SetFullScreen();
  EXPECT_NE(viewer->GetDrawingArea()->GetFatherDialog(), viewer);
  // The drawing follows the screen's size.
  Display* display = keltest::TestDisplay();
  const float screenWidth = DisplayWidth(display, DefaultScreen(display));
  float w = 0, h = 0;
  EXPECT_TRUE(keltest::PumpUntil([&] {
    viewer->GetGraphicSize(&w, &h);
    return w == screenWidth;
  }));
  PointerTo(Pixel(centreB));
  log.entries.clear();
  // Motif takes a quick release for a click that leaves the menu posted: a
  // short multi-click time makes the drag onto the item below a choice.
  const int multiClick = XtGetMultiClickTime(display);
  XtSetMultiClickTime(display, 1);
  keltest::PressButton(3);
  ASSERT_TRUE(log.WaitFor("B:KelContext"));
  EXPECT_EQ(viewer->GetInteractiveState(), 4);
  KelDialog* item = viewer->GetContextualMenu()->FindDialog(KelString("FullScreen"));
  ASSERT_NE(item, nullptr);
  // Raw events wait while the menu is up.
  session->Motion(3, 3, 5000);
  EXPECT_EQ(log.Count("B:KelEndPreactivate"), 0);
  // Choosing the item brings the viewer back; the menu goes down.
  ASSERT_TRUE(keltest::WaitViewable(item->GetWidget()));
  keltest::PointerTo(item->GetWidget());
  keltest::PumpPending();
  keltest::ReleaseButton(3);
  const bool ended = log.WaitFor("B:KelEndContext");
  XtSetMultiClickTime(display, multiClick);
  ASSERT_TRUE(ended);
  EXPECT_TRUE(keltest::PumpUntil([&] { return !viewer->IsFullScreen(); }));
  EXPECT_EQ(viewer->GetDrawingArea()->GetFatherDialog(), viewer);
  EXPECT_TRUE(keltest::PumpUntil([&] {
    viewer->GetGraphicSize(&w, &h);
    return w == 320;
  })) << w;
  keltest::Settle();
  EXPECT_EQ(viewer->GetContextualMenu()->FindDialog(KelString("FullScreen")), nullptr);
}

TEST_F(ViewerX11, BackgroundIndicatorFollowsTheCursorOverEmptySpace) {
  Kel3DIndicator indicator(&log, KelString("I"), *viewer->GetMain3DViewpoint());
  viewer->SetBackgroundIndicator(&indicator);
  float w = 0, h = 0;
  viewer->GetGraphicSize(&w, &h);
  // The window centre lies on the sight line x = y = 0, between A and B.
  session->Motion(w / 2, h / 2, 1000);
  const NotificationLog::Entry* e = log.Last("I:KelPreactivate");
  ASSERT_NE(e, nullptr);
  EXPECT_NEAR(e->nearPoint.x, 0.0f, 0.05f);
  EXPECT_NEAR(e->nearPoint.y, 0.0f, 0.05f);
  EXPECT_NEAR(e->farPoint.x, 0.0f, 0.05f);
  EXPECT_GT(e->nearPoint.z, e->farPoint.z);
  // Up and to the right: x > 0, y > 0 (pixel y grows downwards).
  session->Motion(w / 2 + 20, h / 2 - 20, 1010);
  e = log.Last("I:KelMove");
  ASSERT_NE(e, nullptr);
  EXPECT_GT(e->nearPoint.x, 0.1f);
  EXPECT_GT(e->nearPoint.y, 0.1f);
  EXPECT_NEAR(e->nearPoint.x, e->nearPoint.y, 0.05f);
  // Over a Rep its manipulator takes over.
  log.entries.clear();
  const Kelpoint2f p = Pixel(centreB);
  session->Motion(p.x, p.y, 1020);
  EXPECT_EQ(log.Texts(), (Texts{"I:KelEndPreactivate", "B:KelPreactivate"}));
  viewer->SetBackgroundIndicator(nullptr);
}

TEST_F(ViewerX11, BackgroundColourSetsAContrastingDefaultColour) {
  // intensity I and luminance Y in 0..255; white when (25 I + 75 Y) / 100 < 100.
  struct Case {
    float r, g, b;
    float expected;
  } cases[] = {
      {0, 0, 0, 1},              // I 0, Y 0
      {1, 1, 1, 0},              // I 255, Y 255
      {0, 1, 0, 0},              // I 85, Y 150: 133
      {0, 0, 1, 1},              // I 85, Y 28: 42
      {1, 0, 0, 1},              // I 85, Y 76: 78
      {0.39f, 0.39f, 0.39f, 1},  // I 99, Y 99: 99
      {0.40f, 0.40f, 0.40f, 0},  // I 102, Y 102
  };
  for (const Case& k : cases) {
    viewer->SetBackgroundColor(k.r, k.g, k.b);
    float r = -1, g = -1, b = -1;
    viewer->GetKelColormap()->GetColor(253, &r, &g, &b);
    EXPECT_EQ(r, k.expected) << k.r << " " << k.g << " " << k.b;
    EXPECT_EQ(b, k.expected);
  }
}

TEST_F(ViewerX11, DyingViewerLeavesNoManipulatorHoldingIt) {
  // Pressed on A, released over B: A stays plugged, B is pointed.
  session->Motion(Pixel(centreA).x, Pixel(centreA).y, 1000);
  session->Press(1, 1010);
  session->Motion(Pixel(centreB).x, Pixel(centreB).y, 1020);
  session->Release(1, 1030);
  KelManipulator* ma = a->GetManipulator();
  KelManipulator* mb = b->GetManipulator();
  ASSERT_EQ(Mouse()->GetPlugedManip(), ma);
  ASSERT_EQ(Mouse()->GetPointedManip(), mb);
  ASSERT_EQ(ma->GetViewer(), viewer);
  ASSERT_EQ(mb->GetViewer(), viewer);
  session.reset();
  EXPECT_EQ(ma->GetViewer(), nullptr);
  EXPECT_EQ(mb->GetViewer(), nullptr);
  EXPECT_EQ(KelViewer::GetCurrentViewer(), nullptr);
}

TEST_F(ViewerX11, IconFramesAreBoundedAndNotAddedTwice) {
  std::vector<KelDlgFrame*> frames;
  for (int i = 0; i < KelViewer::MaxIconFrames + 1; ++i) {
    frames.push_back(new KelDlgFrame(viewer, KelString(("icons" + std::to_string(i)).c_str())));
    viewer->AddIconFrame(frames.back());
  }
  EXPECT_EQ(viewer->GetIconFrameCount(), KelViewer::MaxIconFrames);
  viewer->AddIconFrame(frames[0]);
  EXPECT_EQ(viewer->GetIconFrameCount(), KelViewer::MaxIconFrames);
}

// A listener that deletes another viewer while hearing of a frame: the draw
// job that announces both frames skips the dead one.
TEST_F(ViewerX11, AViewerDeletedDuringTheFramesAnnouncementsIsSkipped) {
  auto other = std::make_unique<ViewerSession>("other", 100, 80);
  ASSERT_TRUE(other->Ready());
  keltest::EventCounter killer(viewer->GetCallbackManager(), KelViewer::VIEWER_UPDATE());
  killer.action = [&] { other.reset(); };
  // Announced in the order asked: the victim after its killer.
  viewer->Draw();
  other->viewer->Draw();
  ASSERT_TRUE(session->WaitUpdates(1));
  EXPECT_EQ(other, nullptr);
  viewer->Draw();
  EXPECT_TRUE(session->WaitUpdates(1));
}

}  // namespace

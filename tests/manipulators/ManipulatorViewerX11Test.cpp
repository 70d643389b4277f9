// Manipulators and indicators behind a real viewer, driven by XTest input:
// what a father command gets when it queries during a drag, a manipulator
// made during a drag taking it over, indicators following the cursor in their
// own viewpoint, translators and rotators moving a bag as the pointer drags;
// and the edit popup on real Motif dialogs.
#include <gtest/gtest.h>

#include <kel/aids/KelPopup.h>
#include <kel/framework/KelDlgWindow.h>
#include <kel/images/KelPixelImage.h>
#include <kel/manipulators/Kel2DMatrixIndicator.h>
#include <kel/manipulators/Kel3DAxisRotator.h>
#include <kel/manipulators/Kel3DAxisTranslator.h>
#include <kel/manipulators/Kel3DIndicator.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <X11/keysym.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelTestScene.h"
#include "KelViewerSession.h"
#include "KelXInput.h"
#include "KelXSession.h"

namespace {

using keltest::NotificationLog;
using Texts = std::vector<std::string>;

class ManipulatorViewer : public keltest::ViewerX11Test {
 protected:
  void SetUp() override {
    if (!Open("viewer", 320, 240)) return;
    viewer = session->viewer;
    // A cube of side 2 round the origin in a bag, seen along -z in parallel
    // projection: its front face lies at z = 1.
    bag = new Kel3DBagRep;
    cube = new Kel3DCuboidRep(Kelpoint3f(-1, -1, -1), Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0),
                              Kelvector3f(0, 0, 2), 4);
    bag->AddChild(*cube);
    viewer->GetMain3DViewpoint()->AddRep(bag);
    LookDownZ();
    // One model unit is half the window's height from its centre: pixel
    // (x, y) shows ((x - 160) / 120, (120 - y) / 120).
    Kel2DViewpoint* v2 = viewer->GetMain2DViewpoint();
    v2->SetZoomType(ZOOM_WINDOW_HEIGHT);
    v2->SetOrigin(Kelpoint2f(0, 0));
    v2->SetZoom(1.0f);
    ASSERT_TRUE(session->WaitUpdates(1));
  }

  void Close() override {
    for (KelManipulator* m : manipulators) delete m;
    if (bag) bag->Destroy();
  }

  KelManipulator* Manipulate(KelRep* rep, const char* name) {
    manipulators.push_back(new KelManipulator(&log, KelString(name), rep));
    return manipulators.back();
  }

  NotificationLog log;
  KelViewer* viewer = nullptr;
  Kel3DBagRep* bag = nullptr;
  Kel3DCuboidRep* cube = nullptr;
  std::vector<KelManipulator*> manipulators;
};

// Asks the manipulator, on each step of the drag, what the command tree lets
// a father ask.
struct Asker : KelCommand {
  Asker() : KelCommand(KelString("asker")) {
    AddAnalyseNotificationCB(nullptr, KelManipulator::GetKelManipulate(), &Asker::Ask, nullptr);
  }
  void Ask(KelCommand* sender, KelNotification* n, void*) {
    auto* m = static_cast<KelManipulator*>(sender);
    viewer = m->SendCommandSpecificObject(KelViewer::ClassName(), n);
    mouse = m->SendCommandSpecificObject(KelMouseEvent::ClassName(), n);
    point2D = m->SendCommandSpecificObject(Kel2DIndication::ClassName(), n);
    if (auto* s = static_cast<KelIndicationSegment*>(m->SendCommandSpecificObject(
            fct_MetaObjectToFind("KelIndicationSegment")->GetClassName(), n)))
      sight = *s;
    if (auto* p = static_cast<KelGraphicElementIntersection*>(
            m->SendCommandSpecificObject(KelGraphicElementIntersection::ClassName(), n)))
      hit = *p;
    ++asked;
  }
  void *viewer = nullptr, *mouse = nullptr, *point2D = nullptr;
  KelIndicationSegment sight;
  KelGraphicElementIntersection hit;
  int asked = 0;
};

TEST_F(ManipulatorViewer, AFatherQueriesTheViewerTheSightAndTheHitDuringTheDrag) {
  Asker asker;
  manipulators.push_back(new KelManipulator(&asker, KelString("cube"), cube));
  const Kelpoint2f press = Pixel({0.5f, 0.5f, 1}), drag = Pixel({0.25f, -0.5f, 1});
  PointerTo(press.x, press.y);
  Button(1, true);
  PointerTo(drag.x, drag.y);
  Button(1, false);
  ASSERT_GE(asker.asked, 1);
  EXPECT_EQ(asker.viewer, viewer);
  EXPECT_NE(asker.mouse, nullptr);
  EXPECT_EQ(asker.point2D, nullptr) << "the cube lies in a 3D viewpoint";
  // Both ends of the sight lie over the pointer (to a pixel, some 0.02
  // here), the near one in front; the hit lies on the front face.
  EXPECT_NEAR(asker.sight.GetFirstPoint().x, 0.25, 0.04);
  EXPECT_NEAR(asker.sight.GetSecondPoint().y, -0.5, 0.04);
  EXPECT_GT(asker.sight.GetFirstPoint().z, asker.sight.GetSecondPoint().z);
  EXPECT_NEAR(asker.hit.z, 1.0, 1e-4);
  EXPECT_NEAR(asker.hit.x, 0.25, 0.04);
  EXPECT_NEAR(asker.hit.y, -0.5, 0.04);
}

TEST_F(ManipulatorViewer, AManipulatorMadeDuringTheDragTakesItOver) {
  // Told of the activation, the command sets a manipulator on the bag, which
  // lies on the dragged path.
  struct Maker : KelCommand {
    explicit Maker(NotificationLog* log) : KelCommand(log, KelString("maker")) {
      AddAnalyseNotificationCB(nullptr, KelManipulator::GetKelActivate(), &Maker::Make, nullptr);
    }
    void Make(KelCommand* sender, KelNotification* n, void*) {
      if (!made) made = new KelManipulator(GetFather(), KelString("bag"), rep);
      static_cast<NotificationLog*>(GetFather())->Record(sender, n, nullptr);
    }
    KelRep* rep = nullptr;
    KelManipulator* made = nullptr;
  } maker(&log);
  maker.rep = bag;
  Manipulate(cube, "cube")->SetFather(&maker);
  const Kelpoint2f p = Pixel({0, 0, 1});
  PointerTo(p.x, p.y);
  Button(1, true);
  PointerTo(p.x + 10, p.y);
  Button(1, false);
  Texts texts = log.Texts();
  texts.resize(std::min<std::size_t>(texts.size(), 10));
  EXPECT_EQ(texts, (Texts{"cube:KelPreactivate", "cube:KelActivate", "cube:KelBeginManipulate",
                          "cube:KelEndManipulate", "cube:KelEndActivate", "bag:KelPreactivate",
                          "bag:KelActivate", "bag:KelBeginManipulate", "bag:KelManipulate",
                          "bag:KelEndManipulate"}));
  delete maker.made;
}

TEST_F(ManipulatorViewer, ForegroundIndicatorsFollowTheCursorAndKeys) {
  Kel2DMatrixIndicator indicator(&log, KelString("M"), *viewer->GetMain2DViewpoint());
  viewer->SetForegroundIndicator(&indicator);
  // Over the cube too: the foreground indicator takes everything.
  PointerTo(220, 90);
  const NotificationLog::Entry* e = log.Last("M:KelPreactivate");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->nearPoint, Kelpoint3f(0.5f, 0.25f, 0));

  Button(1, true);
  EXPECT_EQ(indicator.GetObjectPosition().GetTranslation(), Kelvector2f(0.5f, 0.25f));
  PointerTo(190, 150);
  PointerTo(100, 180);
  Button(1, false);
  EXPECT_EQ(indicator.GetObjectPosition().GetTranslation(), Kelvector2f(-0.5f, -0.5f));
  EXPECT_EQ(log.Last("M:KelBeginManipulate")->cause, "Kel2DPositionEvent");
  EXPECT_EQ(log.Last("M:KelManipulate")->cause, "Kel2DPositionEvent");
  EXPECT_EQ(log.Count("M:KelManipulate"), 2);
  EXPECT_EQ(log.Last("M:KelEndManipulate")->nearPoint, Kelpoint3f(-0.5f, -0.5f, 0));
  viewer->SetForegroundIndicator(nullptr);

  // A 3D indicator in front and behind: a key keeps its last points, and once
  // dead it is forgotten.
  auto* indicator3D = new Kel3DIndicator(&log, KelString("I"), *viewer->GetMain3DViewpoint());
  viewer->SetForegroundIndicator(indicator3D);
  viewer->SetBackgroundIndicator(indicator3D);
  const Kelpoint2f p = Pixel({0.5f, 0.5f, 1});
  PointerTo(p.x, p.y);
  Button(1, true);
  const Kelpoint3f nearPoint = indicator3D->GetIndicateEvent().GetNearPoint();
  EXPECT_NEAR(nearPoint.x, 0.5f, 0.05f);
  // Insert goes to the activated indicator through the keyboard.
  session->Focus();
  keltest::TapKey(XK_Insert);
  keltest::Settle();
  e = log.Last("I:KelManipulate");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->nearPoint, nearPoint);
  EXPECT_NE(dynamic_cast<KelKeyboardEvent*>(indicator3D->GetIndicateEvent().GetDeviceEvent()),
            nullptr);
  Button(1, false);
  delete indicator3D;
  EXPECT_EQ(viewer->GetForegroundIndicator(), nullptr);
  EXPECT_EQ(viewer->GetBackgroundIndicator(), nullptr);
  PointerTo(10, 10);  // nothing left to call
}

TEST_F(ManipulatorViewer, TranslatorAndRotatorMoveTheBagByThePointersMotion) {
  // A view 10 units high at zoom 1: at zoom 2.5, 60 pixels a unit about the
  // window's centre (160, 120).
  Kel3DViewpoint* v = viewer->GetMain3DViewpoint();
  v->SetAngle(45);
  v->SetFocus(5);
  v->SetZoom(2.5f);
  ASSERT_TRUE(session->WaitUpdates(1));

  keltest::BagMover mover(bag, viewer);
  auto* slide = new Kel3DAxisTranslator(&mover, KelString("slide"), cube, Keldirection3f(1, 0, 0));
  manipulators.push_back(slide);
  // 30 pixels right, wandering off the axis on the way: half a unit along x.
  PointerTo(160, 120);
  Button(1, true);
  PointerTo(172, 95);
  PointerTo(190, 140);
  Button(1, false);

  // Then an eighth of a turn about the cube's new axis (190, 120): from 30
  // pixels right of it to 30 right and 30 up.
  delete slide;
  manipulators.pop_back();
  manipulators.push_back(new Kel3DAxisRotator(&mover, KelString("turn"), cube,
                                              Keldirection3f(0, 0, 1), Kelpoint3f(0.5f, 0, 0)));
  PointerTo(220, 120);
  Button(1, true);
  PointerTo(220, 90);
  Button(1, false);
  PointerTo(5, 5);
  viewer->Draw();
  ASSERT_TRUE(session->WaitUpdates(1));
  std::unique_ptr<KelPixelImage> dragged(viewer->GrabPixelImage());

  // The same cube built where the drags should have put it (the numbers of
  // the steps: ManipulatorDragTest).
  const float r = std::sqrt(0.5f);
  bag->RemoveChild(*cube);
  bag->SetMatrix(Kel4x4Matrix());
  auto* placed = new Kel3DCuboidRep(Kelpoint3f(0.5f, -2 * r, -1), Kelvector3f(2 * r, 2 * r, 0),
                                    Kelvector3f(-2 * r, 2 * r, 0), Kelvector3f(0, 0, 2), 4);
  bag->AddChild(*placed);
  cube->Destroy();
  cube = placed;
  viewer->Draw();
  ASSERT_TRUE(session->WaitUpdates(1));
  std::unique_ptr<KelPixelImage> expected(viewer->GrabPixelImage());
  ASSERT_TRUE(dragged && expected);
  EXPECT_LE(keltest::CountDifferentPixels(*dragged, *expected, 24), 20);
}

// ---- The edit phase on real Motif dialogs: the popup is shown, and however
// it goes (closed by the user, ended by the program, destroyed with its
// father) the edit ends once, without cause, and the popup dies once.

// Follows a popup's end as an application does.
struct Follower : keltest::EventCounter {
  explicit Follower(KelPopup* popup)
      : EventCounter(popup->GetCallbackManager(), KelPopup::EDIT_PANEL_POPUP_DESTROYED()) {}
};

void Activate(KelManipulator& m) {
  KelViewerEvent event;
  m.Preactivate(&event, nullptr);
  m.Activate(&event, nullptr);
}

class EditPopup : public keltest::ViewerX11Test {
 protected:
  void SetUp() override {
    if (!Start()) return;
    Activate(manipulator);
    father.entries.clear();
  }
  NotificationLog father;
  KelManipulator manipulator{&father, "m", nullptr};
};

TEST_F(EditPopup, ClosedByTheUserEndsTheEdit) {
  auto* popup = new KelPopup(nullptr, "EditPanel", KelDlgCancelButton);
  Follower follower(popup);
  manipulator.SetEditPopup(*popup);
  ASSERT_TRUE(keltest::WaitViewable(popup->GetWidget()));
  KelViewerEvent event;
  EXPECT_EQ(manipulator.Edit(&event, nullptr), 0) << "already editing";

  keltest::RequestClose(popup->GetWidget());
  ASSERT_TRUE(keltest::PumpUntil([&] { return follower.count == 1; }));
  EXPECT_EQ(manipulator.GetEditState(), 0);
  EXPECT_EQ(manipulator.GetEditPopup(), nullptr);
  ASSERT_EQ(father.Texts(), (Texts{"m:KelEndEdit"}));
  EXPECT_EQ(father.entries[0].cause, "");
  EXPECT_EQ(manipulator.Edit(&event, nullptr), 1) << "a new edit may begin";
}

TEST_F(EditPopup, EndedByTheProgramOrWithItsFatherItDiesOnce) {
  auto* popup = new KelPopup(nullptr, "EditPanel");
  Follower follower(popup);
  manipulator.SetEditPopup(*popup);
  manipulator.ResetState();
  EXPECT_EQ(follower.count, 1) << "destroyed at once outside any notification";
  EXPECT_EQ(father.Texts(), (Texts{"m:KelEndActivate", "m:KelEndEdit"}));

  // A popup destroyed with its father window.
  father.entries.clear();
  KelManipulator other(&father, "m", nullptr);
  Activate(other);
  auto* window = new KelDlgWindow(nullptr, "EditWindow");
  auto* child = new KelPopup(window, "EditPanel");
  Follower childFollower(child);
  other.SetEditPopup(*child);
  delete window;
  EXPECT_EQ(childFollower.count, 1);
  EXPECT_EQ(other.GetEditState(), 0);
  EXPECT_EQ(father.Texts(), (Texts{"m:KelPreactivate", "m:KelActivate", "m:KelEndEdit"}));
}

}  // namespace

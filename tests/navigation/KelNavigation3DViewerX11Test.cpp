// The navigation 3D viewer on the X server, its tool frames driven by real
// clicks (XTest): the style combo, previous and next, the ground switch, and
// a single action run by the left button in the drawing area (which ends it,
// gives back the button and tells it).
#include <gtest/gtest.h>

#include <kel/framework/KelDlgCheckButton.h>
#include <kel/framework/KelDlgCombo.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/navigation/KelBasic3DViewpointEditor.h>
#include <kel/navigation/KelNavigation3DViewer.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <X11/IntrinsicP.h>
#include <X11/Xatom.h>
#include <Xm/Xm.h>

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

using Names = std::vector<std::string>;

KelViewer* MakeNavigation(KelDialog* father, const KelString& name, int w, int h) {
  return new KelNavigation3DViewer(father, name, 0, w, h, 0);
}

class Navigation3DX11 : public keltest::ViewerX11Test {
 protected:
  void SetUp() override {
    if (!Open("navigation", 320, 240, MakeNavigation)) return;
    viewer = static_cast<KelNavigation3DViewer*>(session->viewer);
    cube = new Kel3DCuboidRep(Kelpoint3f(-1, -1, -1), Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0),
                              Kelvector3f(0, 0, 2), 4);
    viewer->AddRep(cube);
    camera = viewer->GetViewpoint();
    for (const char* name : {KelNavigation3DViewer::NAVIGATION_WALK_ACTIVATED(),
                             KelNavigation3DViewer::NAVIGATION_GROUND_ACTIVATED(),
                             KelNavigation3DViewer::NAVIGATION_GROUND_DEACTIVATED(),
                             KelNavigation3DViewer::NAVIGATION_VIEWPOINT_ACTION_ENDED()})
      events.Follow(viewer->GetCallbackManager(), name);
  }
  void Close() override {
    if (cube) cube->Destroy();
  }
  // One change of the camera: one history entry.
  void Look(float x) {
    camera->BeginModification();
    camera->Set(Kelpoint3f(x, 0.5f, 20), Keldirection3f(-0.05f * x, 0, -1),
                Keldirection3f(0, 1, 0));
    camera->SetFocus(20.0f + x);
    camera->EndModification();
  }
  void ExpectCamera(const Kel3DViewpoint& expected) {
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(camera->GetOrigin()[i], expected.GetOrigin()[i]);
      EXPECT_EQ(camera->GetSightDirection()[i], expected.GetSightDirection()[i]);
      EXPECT_EQ(camera->GetUpDirection()[i], expected.GetUpDirection()[i]);
    }
    EXPECT_EQ(camera->GetFocusDistance(), expected.GetFocusDistance());
  }

  KelNavigation3DViewer* viewer = nullptr;
  Kel3DViewpoint* camera = nullptr;
  Kel3DRep* cube = nullptr;
  keltest::EventCounter events;
};

// Clicks on the tool buttons: previous and next restore the exact cameras,
// the style combo and the ground switch tell what the user chose.
TEST_F(Navigation3DX11, ToolButtonsClickedDoAndTellWhatTheUserChose) {
  Look(1.0f);
  const Kel3DViewpoint first(*camera);
  Look(2.5f);
  const Kel3DViewpoint second(*camera);
  keltest::Settle();
  keltest::Click(viewer->GetPreviousButton()->GetWidget());
  ASSERT_TRUE(keltest::PumpUntil([&] { return viewer->IsNextViewpoint() != 0; }));
  ExpectCamera(first);
  keltest::Click(viewer->GetNextButton()->GetWidget());
  ASSERT_TRUE(keltest::PumpUntil([&] { return viewer->IsNextViewpoint() == 0; }));
  ExpectCamera(second);

  Widget combo = viewer->GetStyleCombo()->GetWidget();
  keltest::Click(combo, 1, combo->core.width - 8);
  Widget list = XtNameToWidget(combo, "*List");
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(keltest::WaitViewable(list));
  Dimension height = 0;
  XtVaGetValues(list, XmNheight, &height, nullptr);
  keltest::Click(list, 1, 10, height / 2);
  ASSERT_TRUE(keltest::PumpUntil([&] { return events.count == 1; }));
  EXPECT_EQ(viewer->GetDefaultEditor()->GetMode(), WALK_MODE);
  viewer->SetNavigationStyle(3);  // no such style: nothing changes, nothing told
  EXPECT_EQ(viewer->GetNavigationStyle(), 1);

  keltest::Click(viewer->GetGroundButton()->GetWidget());
  ASSERT_TRUE(keltest::PumpUntil([&] { return events.count == 2; }));
  EXPECT_TRUE(viewer->IsGround());
  keltest::Click(viewer->GetGroundButton()->GetWidget());
  ASSERT_TRUE(keltest::PumpUntil([&] { return events.count == 3; }));
  EXPECT_FALSE(viewer->IsGround());
  EXPECT_EQ(events.names, (Names{"NAVIGATION_WALK_ACTIVATED", "NAVIGATION_GROUND_ACTIVATED",
                                 "NAVIGATION_GROUND_DEACTIVATED"}));
}

TEST_F(Navigation3DX11, AZoomButtonLetsTheLeftButtonZoomOnceAsOneHistoryEntry) {
  Look(0.0f);
  keltest::Settle();
  const int entries = viewer->GetHistoryCount();
  keltest::Click(viewer->GetActionButton(ViewpointZoom)->GetWidget());
  ASSERT_TRUE(keltest::PumpUntil([&] { return viewer->IsViewpointManipulation() != 0; }));
  const float focus = camera->GetFocusDistance();
  PointerTo(160, 60);
  Button(1, true);
  for (int y = 70; y <= 160; y += 10) PointerTo(160, y);
  Button(1, false);
  ASSERT_TRUE(keltest::PumpUntil([&] { return events.count == 1; }));
  // 100 pixels down double the distance to the target.
  EXPECT_NEAR(camera->GetFocusDistance(), 2.0f * focus, 1e-3f * focus);
  EXPECT_EQ(viewer->GetHistoryCount(), entries + 1);
  EXPECT_EQ(viewer->GetActionButton(ViewpointZoom)->GetState(), 0);
  EXPECT_FALSE(viewer->IsViewpointManipulation());
  EXPECT_EQ(viewer->GetForegroundIndicator(), nullptr);
  EXPECT_EQ(events.names, (Names{"NAVIGATION_VIEWPOINT_ACTION_ENDED"}));
  // The left button picks again afterwards; the next drag moves nothing.
  Button(1, true);
  PointerTo(160, 100);
  Button(1, false);
  EXPECT_NEAR(camera->GetFocusDistance(), 2.0f * focus, 1e-3f * focus);
}

// A 3D-mouse daemon as the X server sees one: its window, named "Magellan
// Window", in the root window's "CommandEvent" property, and the three event
// atoms. Gone with the object, so that no other test sees a daemon.
class FakeMouseDaemon {
 public:
  FakeMouseDaemon() {
    Display* d = keltest::TestDisplay();
    for (const char* name : {"MotionEvent", "ButtonPressEvent", "ButtonReleaseEvent"})
      XInternAtom(d, name, False);
    command = XInternAtom(d, "CommandEvent", False);
    window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    XStoreName(d, window, "Magellan Window");
    XChangeProperty(d, DefaultRootWindow(d), command, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&window), 1);
    XSync(d, False);
  }
  ~FakeMouseDaemon() {
    Display* d = keltest::TestDisplay();
    XDeleteProperty(d, DefaultRootWindow(d), command);
    XDestroyWindow(d, window);
    XSync(d, False);
  }
  // A motion as the daemon sends it: x, y, z, rx, ry, rz and the period.
  void Motion(Window to, const short values[6], short period) const {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = to;
    e.xclient.format = 16;
    e.xclient.message_type = XInternAtom(keltest::TestDisplay(), "MotionEvent", True);
    for (int i = 0; i < 6; ++i) e.xclient.data.s[2 + i] = values[i];
    e.xclient.data.s[8] = period;
    XSendEvent(keltest::TestDisplay(), to, False, 0, &e);
  }

  Atom command = 0;
  Window window = 0;
};

// The daemon's motions move the camera as worked out by hand: the camera at
// (0, 0, 20) looks at the origin; a full push right for 0.1 s moves the model
// right by a tenth of the scene's radius (the camera left), a full twist
// about y for 0.1 s turns the model by pi/20 about the target (the eye to
// (-20 sin(pi/20), 0, 20 cos(pi/20))). The stream to the rest is one view of
// the history.
TEST(Navigation3DMouseX11, TheDaemonsMotionsMoveTheCamera) {
  KEL_REQUIRE(keltest::TestDisplay() != nullptr, "an X display");
  FakeMouseDaemon daemon;
  keltest::ViewerSession session("mouse3D", 320, 240, true, MakeNavigation);
  ASSERT_TRUE(session.Ready());
  auto* viewer = static_cast<KelNavigation3DViewer*>(session.viewer);
  ASSERT_TRUE(keltest::PumpUntil([&] { return viewer->Is3DMouseConnected() != 0; }));
  auto* cube = new Kel3DCuboidRep(Kelpoint3f(-1, -1, -1), Kelvector3f(2, 0, 0),
                                  Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2), 4);
  viewer->AddRep(cube);
  Kel3DViewpoint* camera = viewer->GetViewpoint();
  camera->Set(Kelpoint3f(0, 0, 20), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  camera->SetFocus(20.0f);
  keltest::Settle();
  const float radius = viewer->GetGlobalBoundingSphere().GetRadius();
  const int entries = viewer->GetHistoryCount();
  const Window area = XtWindow(session.Area());

  const short push[6] = {350, 0, 0, 0, 0, 0};
  daemon.Motion(area, push, 100);
  ASSERT_TRUE(keltest::PumpUntil([&] { return camera->GetOrigin().x != 0.0f; }));
  keltest::ExpectXYZ(camera->GetOrigin(), -0.1f * radius, 0, 20, 1e-4f);
  keltest::ExpectXYZ(camera->GetSightDirection(), 0, 0, -1);

  camera->Set(Kelpoint3f(0, 0, 20), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  const short twist[6] = {0, 0, 0, 0, 350, 0};
  daemon.Motion(area, twist, 100);
  ASSERT_TRUE(keltest::PumpUntil([&] { return camera->GetOrigin().x != 0.0f; }));
  const float angle = float(M_PI / 20.0);
  keltest::ExpectXYZ(camera->GetOrigin(), -20.0f * std::sin(angle), 0, 20.0f * std::cos(angle),
                     1e-4f);
  keltest::ExpectXYZ(camera->GetTarget(), 0, 0, 0, 1e-4f);
  const short rest[6] = {0, 0, 0, 0, 0, 0};
  daemon.Motion(area, rest, 100);
  keltest::Settle();
  EXPECT_EQ(viewer->GetHistoryCount(), entries + 1);
  viewer->RemoveRep(cube);
  cube->Destroy();
}

}  // namespace

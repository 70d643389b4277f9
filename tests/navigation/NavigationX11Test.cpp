// The editors in a 3D viewer on the X server, driven by real input (XTest) or
// by raw device events with chosen time stamps: drags, their status-bar
// prompts, seeking, panning and the look-at gesture; the navigation viewers'
// tool frames, 3D mouse and drags; a 2D viewer's scrollbars. Mostly a cube of
// side 2 centred on the origin seen from (0, 0, 20) along -z, y up, through a
// 480 x 360 window (wide enough for the longest prompt: a status bar wider
// than the window widens the shell): its top face lies at z = 1.
#include <gtest/gtest.h>

#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelDlgCheckButton.h>
#include <kel/framework/KelDlgCombo.h>
#include <kel/framework/KelDlgDocument.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/framework/KelDlgScrollBar.h>
#include <kel/framework/KelMath.h>
#include <kel/navigation/KelBasic3DViewpointEditor.h>
#include <kel/navigation/KelNavigation2DViewer.h>
#include <kel/navigation/KelNavigation3DViewer.h>
#include <kel/reps/Kel2DLineRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/viewers/Kel2DViewer.h>
#include <kel/viewers/Kel3DViewer.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <X11/IntrinsicP.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <Xm/Xm.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelTestScene.h"
#include "KelViewerSession.h"
#include "KelXInput.h"
#include "KelXSession.h"

using keltest::ExpectXYZ;

namespace {

constexpr int kW = 480, kH = 360;
constexpr double kPi = KelMath::PI;

class NavigationX11 : public keltest::ViewerX11Test {
 protected:
  void SetUp() override {
    if (!Open("viewer", kW, kH, keltest::MakeViewer<Kel3DViewer>)) return;
    viewer = static_cast<Kel3DViewer*>(session->viewer);
    cube = new Kel3DCuboidRep(Kelpoint3f(-1, -1, -1), Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0),
                              Kelvector3f(0, 0, 2), 4);
    viewer->AddRep(cube);
    camera = viewer->GetViewpoint();
    camera->Set(Kelpoint3f(0, 0, 20), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
    camera->SetFocus(20.0f);
    ASSERT_TRUE(session->WaitUpdates(1));
  }
  void TearDown() override {
    if (viewer) {
      // The pixels worked out above assume the window kept its size.
      float w = 0, h = 0;
      viewer->GetGraphicSize(&w, &h);
      EXPECT_EQ(w, kW);
      EXPECT_EQ(h, kH);
    }
    ViewerX11Test::TearDown();
  }
  void Close() override {
    if (cube) cube->Destroy();
  }

  KelBasic3DViewpointEditor* Install(KelBasic3DViewpointEditorMode mode) {
    auto* editor = new KelBasic3DViewpointEditor(KelString("editor"), *camera, mode);
    viewer->SetViewpointEditor(editor);  // the viewer deletes it
    return editor;
  }
  std::string Prompt() const { return session->document->GetStatusBarText().ConvertToChar(); }
  // The model point of plane z = `z` under window pixel (x, y) through the
  // camera as it is now.
  Kelpoint3f Under(float x, float y, float z) const {
    Kelpoint3f P, Q;
    camera->ComputeModelFromPixel(x, y, P, Q, kW, kH, viewer->GetMMInSupportUnit(), 1.0f);
    const float t = (z - P.z) / (Q.z - P.z);
    return P + (Q - P) * t;
  }

  Kel3DViewer* viewer = nullptr;
  Kel3DViewpoint* camera = nullptr;
  Kel3DRep* cube = nullptr;
};

// (The turn a drag makes: the editor's unit tests.)
TEST_F(NavigationX11, MiddleDragTellsEachStepInTheStatusBar) {
  Install(EXAMINE_MODE);
  PointerTo(20, 200);
  Button(2, true);
  EXPECT_EQ(Prompt(), "Release to seek   Drag to rotate   Press left button to zoom");
  PointerTo(30, 200);  // starts the turn
  EXPECT_EQ(Prompt(), "Drag to rotate   Press left button to zoom");
  EXPECT_EQ(viewer->GetCursorType(), 50);
  PointerTo(270, 200);
  Button(2, false);
  EXPECT_EQ(Prompt(), "");
}

// (The left button during the drag zooms: the editor's unit test; its bit
// from a real press: ViewerX11Test.)
TEST_F(NavigationX11, ControlDragTurnsTheHeadAboutTheEye) {
  Install(EXAMINE_MODE);
  PointerTo(160, 210);
  keltest::HoldKey(XK_Control_L, true);
  Button(2, true);
  EXPECT_EQ(Prompt(), "Release to step back   Drag to turn head");
  PointerTo(170, 210);
  PointerTo(170, 150);  // 60 pixels up: the head turns up about the eye
  Button(2, false);
  keltest::HoldKey(XK_Control_L, false);
  ExpectXYZ(camera->GetOrigin(), 0, 0, 20, 1e-3);
  const double a = kPi / 1200 * 60;
  ExpectXYZ(camera->GetSightDirection(), 0, std::sin(a), -std::cos(a));
}

TEST_F(NavigationX11, MiddleClickSeeksHalfwayToThePickedPoint) {
  Install(EXAMINE_MODE);
  keltest::EventCounter stopped(camera->GetCallbackManager(),
                                KelViewpoint::VIEWPOINT_ANIMATION_STOPED());
  // A point of the top face off the line of sight.
  const Kelpoint3f P = Under(255, 170, 1);
  PointerTo(255, 170);
  Button(2, true);
  Button(2, false);
  ASSERT_TRUE(keltest::PumpUntil([&] { return stopped.count > 0; }, 10000));
  const Kelpoint3f eye(0, 0, 20);
  const Kelvector3f toP = P - eye;
  ExpectXYZ(camera->GetOrigin(), eye.x + 0.5 * toP.x, eye.y + 0.5 * toP.y, eye.z + 0.5 * toP.z,
            1e-3);
  const Kelvector3f s = toP / toP.Norm();
  ExpectXYZ(camera->GetSightDirection(), s.x, s.y, s.z);
  ExpectXYZ(camera->GetTarget(), P.x, P.y, P.z, 1e-2);
}

TEST_F(NavigationX11, TranslateKeepsThePointOfTheTargetPlaneUnderTheCursor) {
  Install(TRANSLATE_MODE);
  PointerTo(100, 100);
  Button(2, true);
  PointerTo(104, 100);
  const Kelpoint3f grabbed = Under(104, 100, 0);
  PointerTo(164, 130);
  Button(2, false);
  const Kelpoint2f now = Pixel(grabbed);
  EXPECT_NEAR(now.x, 164, 0.05);
  EXPECT_NEAR(now.y, 130, 0.05);
  ExpectXYZ(camera->GetSightDirection(), 0, 0, -1);
}

TEST_F(NavigationX11, RollTurnsThePictureWithTheCursorAboutTheCentre) {
  Install(ROLL_MODE);
  const Kelpoint3f grabbed = Under(kW / 2 + 100, kH / 2, 0);
  keltest::HoldKey(XK_Control_L, true);
  PointerTo(kW / 2 + 101, kH / 2);
  Button(2, true);
  PointerTo(kW / 2 + 100, kH / 2);  // starts the roll
  PointerTo(kW / 2 + 71, kH / 2 - 71);
  PointerTo(kW / 2, kH / 2 - 100);  // a quarter turn counterclockwise
  Button(2, false);
  keltest::HoldKey(XK_Control_L, false);
  const Kelpoint2f now = Pixel(grabbed);
  EXPECT_NEAR(now.x, kW / 2, 0.05);
  EXPECT_NEAR(now.y, kH / 2 - 100, 0.05);
  ExpectXYZ(camera->GetOrigin(), 0, 0, 20, 1e-4);
}

TEST_F(NavigationX11, ShiftClickLooksAtThePickedPointFromWhereTheEyeIs) {
  Install(EXAMINE_MODE);
  const Kelpoint3f P = Under(225, 190, 1);
  PointerTo(225, 190);
  keltest::HoldKey(XK_Shift_L, true);
  Button(2, true);
  EXPECT_EQ(Prompt(), "Release to valid or drag to define the new viewpoint");
  Button(2, false);
  keltest::HoldKey(XK_Shift_L, false);
  ExpectXYZ(camera->GetOrigin(), 0, 0, 20);
  const Kelvector3f toP = P - Kelpoint3f(0, 0, 20);
  const Kelvector3f s = toP / toP.Norm();
  ExpectXYZ(camera->GetSightDirection(), s.x, s.y, s.z, 1e-3);
  EXPECT_NEAR(camera->GetFocusDistance(), toP.Norm(), 1e-2);
  // The gesture's Reps are gone.
  EXPECT_EQ(camera->GetFurtiveRepList().Count(), 0);
}

TEST_F(NavigationX11, LookAtDragSetsTheEyeSoThatTheDraggedPointIsOnTheEdgeOfTheView) {
  Install(EXAMINE_MODE);
  // Raw events with their time stamps: a fast drag upwards from the middle
  // of the top face, (0, 0, 1), Shift held.
  const Kelpoint3f Q = Under(240, 120, 1);  // where the release ray meets the target's plane
  session->Motion(240, 180, 1000);
  session->Key(12, true, 1010);
  session->Press(2, 1020);
  session->Motion(240, 170, 1030);  // beyond 3 pixels: sizing
  session->Motion(240, 120, 1040);
  session->Release(2, 1050);
  session->Key(12, false, 1060);
  // The eye went along the line of sight, Q now on the top edge.
  ExpectXYZ(camera->GetSightDirection(), 0, 0, -1);
  EXPECT_NEAR(camera->GetOrigin().x, 0, 1e-3);
  EXPECT_NEAR(camera->GetOrigin().y, 0, 1e-3);
  const Kelpoint2f q = Pixel(Q);
  EXPECT_NEAR(q.y, 0, 0.05);
  EXPECT_NEAR(q.x, kW / 2, 0.05);
  EXPECT_NEAR(camera->GetFocusDistance(), camera->GetOrigin().z - 1, 1e-3);
}

TEST_F(NavigationX11, HistoryKeepsTheLastTwentyViewpointsAndForgetsWhatLayAhead) {
  // Entry k is told by its focus distance, 10 + k.
  auto save = [&](int k) {
    camera->SetFocus(10.0f + k);
    viewer->SaveViewpoint();
  };
  viewer->DisplayPreviousViewpoint();  // nothing saved: nothing happens
  viewer->DisplayNextViewpoint();
  EXPECT_EQ(camera->GetFocusDistance(), 20.0f);
  for (int k = 1; k <= 25; ++k) save(k);
  EXPECT_EQ(viewer->GetHistoryCount(), 20);
  for (int k = 0; k < 19; ++k) viewer->DisplayPreviousViewpoint();
  EXPECT_EQ(camera->GetFocusDistance(), 16.0f);  // the oldest kept
  EXPECT_FALSE(viewer->IsPreviousViewpoint());
  viewer->DisplayPreviousViewpoint();
  EXPECT_EQ(camera->GetFocusDistance(), 16.0f);
  for (int k = 0; k < 16; ++k) viewer->DisplayNextViewpoint();
  EXPECT_EQ(camera->GetFocusDistance(), 32.0f);  // three steps back from 35
  save(40);                                      // 33 to 35 give way
  EXPECT_EQ(viewer->GetHistoryCount(), 18);
  EXPECT_FALSE(viewer->IsNextViewpoint());
  viewer->DisplayPreviousViewpoint();
  EXPECT_EQ(camera->GetFocusDistance(), 32.0f);
  viewer->DisplayNextViewpoint();
  EXPECT_EQ(camera->GetFocusDistance(), 50.0f);
}

TEST_F(NavigationX11, ZoomStepsKeepTheTargetAndTheGroundIsTold) {
  camera->SetFocus(20.0f);
  viewer->ZoomIn();  // the eye moves back: focus 20 sqrt 2
  EXPECT_NEAR(camera->GetFocusDistance(), 20 * std::sqrt(2.0), 1e-4);
  ExpectXYZ(camera->GetOrigin(), 0, 0, 20 * std::sqrt(2.0), 1e-4);
  viewer->ZoomOut();
  EXPECT_NEAR(camera->GetFocusDistance(), 20, 1e-4);
  ExpectXYZ(camera->GetTarget(), 0, 0, 0, 1e-4);
  keltest::EventCounter ground(viewer->GetCallbackManager(),
                               Kel3DViewer::NAVIGATION_GROUND_CHANGE());
  viewer->SetGround(Keldirection3f(0, 0, 1), Keldirection3f(0, 1, 0));  // along the sight
  EXPECT_EQ(ground.count, 1);
  ExpectXYZ(camera->GetUpDirection(), 0, 1, 0);
  ExpectXYZ(camera->GetGravityDirection(), 0, 0, 1);
}

// ---- 2D viewer

class Kel2DViewerX11 : public keltest::ViewerX11Test {};

TEST_F(Kel2DViewerX11, ScrollbarsFollowPansAndZoomsAndMoveTheView) {
  if (!Open("viewer2D", 200, 200, keltest::MakeViewer<Kel2DViewer, 4>)) return;
  auto* viewer = static_cast<Kel2DViewer*>(session->viewer);
  KelDlgScrollBar* x = viewer->GetHorizontalScrollbar();
  KelDlgScrollBar* y = viewer->GetVerticalScrollbar();
  ASSERT_TRUE(x && y);
  // The drawing: a diagonal from (0, 0) to (100, 100).
  auto* line = new Kel2DLineRep(Kelpoint2f(0, 0), Kelpoint2f(100, 100));
  viewer->AddRep(line);
  float W = 0, H = 0;
  viewer->GetGraphicSize(&W, &H);
  ASSERT_EQ(W, H) << "a square drawing area";
  viewer->ReframeOn(25, 75, 25, 75);
  EXPECT_EQ(x->GetPosition(), 250);
  EXPECT_EQ(x->GetBoxSize(), 500);
  EXPECT_EQ(y->GetPosition(), 250);
  viewer->ZoomIn();  // half the window is now 25 / sqrt(2) units
  EXPECT_EQ(x->GetPosition(), 323);
  EXPECT_EQ(x->GetBoxSize(), 353);
  Kel2DViewpoint* v = viewer->GetViewpoint();
  v->SetOrigin(Kelpoint2f(v->GetOrigin().x + 10, v->GetOrigin().y - 20));
  EXPECT_EQ(x->GetPosition(), 423);
  EXPECT_EQ(y->GetPosition(), 1000 - (123 + 353));
  // A click in the horizontal trough right of the box pages the view right.
  keltest::WaitViewable(session->Area());
  float xmin, xmax, ymin, ymax;
  viewer->GetViewport(xmin, xmax, ymin, ymax);
  int sx = 0, sy = 0, w = 0, h = 0;
  x->GetRectDimensions(sx, sy, w, h);
  keltest::Click(x->GetWidget(), 1, w - 30, h / 2);
  ASSERT_TRUE(keltest::PumpUntil([&] { return x->GetPosition() != 423; }));
  keltest::Settle();  // the release too
  float xmin2, xmax2, ymin2, ymax2;
  viewer->GetViewport(xmin2, xmax2, ymin2, ymax2);
  EXPECT_NEAR(xmin2 - xmin, (x->GetPosition() - 423) * 0.1, 0.2);
  EXPECT_NEAR(ymin2, ymin, 1e-3);
  viewer->RemoveRep(line);
  line->Destroy();
  // A drawing without height, at the bottom edge of the view: nothing to
  // scroll vertically.
  auto* flat = new Kel2DLineRep(Kelpoint2f(0, 50), Kelpoint2f(100, 50));
  viewer->AddRep(flat);
  viewer->ReframeOn(25, 75, 50, 100);
  EXPECT_EQ(y->GetPosition(), 0);
  EXPECT_EQ(y->GetBoxSize(), 1000);
  EXPECT_NEAR(x->GetBoxSize(), 500, 1);
  viewer->RemoveRep(flat);
  flat->Destroy();
}

// The 2D navigation viewer: a middle drag keeps the model point grabbed under
// the pointer, the left button during it zooms from where the pointer is (100
// pixels up double the zoom), and the whole drag is one view of the history:
// a click on "Previous" brings back the camera from before it, bit for bit.
class Navigation2DX11 : public keltest::ViewerX11Test {};

TEST_F(Navigation2DX11, MiddleDragPansAndZoomsAsOneViewThatPreviousTakesBack) {
  if (!Open("navigation2D", 200, 200, keltest::MakeViewer<KelNavigation2DViewer>)) return;
  auto* viewer = static_cast<KelNavigation2DViewer*>(session->viewer);
  Kel2DViewpoint* camera = viewer->GetViewpoint();
  auto* line = new Kel2DLineRep(Kelpoint2f(0, 0), Kelpoint2f(100, 100));
  viewer->AddRep(line);
  viewer->ReframeOn(0, 100, 0, 100);
  keltest::Settle();
  float W = 0, H = 0;
  viewer->GetGraphicSize(&W, &H);
  auto under = [&](float x, float y) {
    Kelpoint2f p;
    camera->ComputeModelFromPixel(x, y, p, W, H, viewer->GetMMInSupportUnit(), 1.0f);
    return p;
  };
  const Kel2DViewpoint before(*camera);
  const Kelpoint2f grabbed = under(50, 150);

  PointerTo(50, 150);
  Button(2, true);
  for (int step = 1; step <= 3; ++step) PointerTo(50 + 20 * step, 150 - 5 * step);
  const Kelpoint2f now = under(110, 135);
  EXPECT_NEAR(now.x, grabbed.x, 0.05f);
  EXPECT_NEAR(now.y, grabbed.y, 0.05f);

  const float zoom = camera->GetZoom();
  Button(1, true);
  for (int y = 115; y >= 35; y -= 20) PointerTo(110, y);
  Button(1, false);
  Button(2, false);
  EXPECT_NEAR(camera->GetZoom(), 2.0f * zoom, 1e-3f * zoom);

  keltest::Click(viewer->GetPreviousButton()->GetWidget());
  ASSERT_TRUE(keltest::PumpUntil([&] { return viewer->IsNextViewpoint() != 0; }));
  EXPECT_EQ(camera->GetOrigin().x, before.GetOrigin().x);
  EXPECT_EQ(camera->GetOrigin().y, before.GetOrigin().y);
  EXPECT_EQ(camera->GetZoom(), before.GetZoom());
  viewer->RemoveRep(line);
  line->Destroy();
}

// ---- The navigation 3D viewer, its tool frames driven by real clicks: the
// style combo, previous and next, the ground switch, and a single action run
// by the left button in the drawing area (which ends it, gives back the
// button and tells it).

using Names = std::vector<std::string>;

class Navigation3DX11 : public keltest::ViewerX11Test {
 protected:
  void SetUp() override {
    if (!Open("navigation", 320, 240, keltest::MakeViewer<KelNavigation3DViewer>)) return;
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

  KelNavigation3DViewer* viewer = nullptr;
  Kel3DViewpoint* camera = nullptr;
  Kel3DRep* cube = nullptr;
  keltest::EventCounter events;
};

// Clicks on the tool buttons: previous and next bring back the cameras bit
// for bit (frame and focus), the style combo and the ground switch tell what
// the user chose.
TEST_F(Navigation3DX11, ToolButtonsClickedDoAndTellWhatTheUserChose) {
  auto same = [this](const Kel3DViewpoint& v) {
    return std::memcmp(camera->GetMatrix().GetMatrix(), v.GetMatrix().GetMatrix(), 64) == 0 &&
           camera->GetFocusDistance() == v.GetFocusDistance();
  };
  Look(1.0f);
  const Kel3DViewpoint first(*camera);
  Look(2.5f);
  const Kel3DViewpoint second(*camera);
  keltest::Settle();
  keltest::Click(viewer->GetPreviousButton()->GetWidget());
  ASSERT_TRUE(keltest::PumpUntil([&] { return viewer->IsNextViewpoint() != 0; }));
  EXPECT_TRUE(same(first));
  keltest::Click(viewer->GetNextButton()->GetWidget());
  ASSERT_TRUE(keltest::PumpUntil([&] { return viewer->IsNextViewpoint() == 0; }));
  EXPECT_TRUE(same(second));

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
  keltest::ViewerSession session("mouse3D", 320, 240, true,
                                 keltest::MakeViewer<KelNavigation3DViewer>);
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

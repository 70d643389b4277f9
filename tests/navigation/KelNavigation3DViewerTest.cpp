// The navigation viewers and editors without a display. The 3D viewer: the
// history it keeps (one entry per gesture), its aids and its
// events; the buttons, the style combo and previous and next are driven by
// real clicks in the x11 tests. Its camera looks down -z from (0, 0, 20) at
// 10 pixels a unit (DragViewer).
#include <gtest/gtest.h>

#include <kel/aids/KelGaugeRep.h>
#include <kel/framework/KelDlgCheckButton.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/framework/KelMath.h>
#include <kel/navigation/Kel2DViewpointEditor.h>
#include <kel/navigation/KelBasic3DViewpointEditor.h>
#include <kel/navigation/KelNavigation2DViewer.h>
#include <kel/navigation/KelNavigation3DViewer.h>
#include <kel/navigation/KelStayAndLookViewpointEditor.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

#include <cmath>
#include <deque>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelTestScene.h"
#include "KelViewerSession.h"

using keltest::ExpectXYZ;
using Names = std::vector<std::string>;

namespace {

class Navigation3D : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(drag.Ready());
    viewer = static_cast<KelNavigation3DViewer*>(drag.viewer);
    camera = drag.viewpoint3D;
    for (const char* name : {KelNavigation3DViewer::NAVIGATION_GROUND_ACTIVATED(),
                             KelNavigation3DViewer::NAVIGATION_GROUND_DEACTIVATED(),
                             KelNavigation3DViewer::NAVIGATION_PERFO_ACTIVATED(),
                             KelNavigation3DViewer::NAVIGATION_PERFO_DEACTIVATED(),
                             KelNavigation3DViewer::NAVIGATION_SENSITIVITY_CHANGED(),
                             KelNavigation3DViewer::NAVIGATION_LIGHT_SOURCES_EDITOR_ON_OFF()})
      events.Follow(viewer->GetCallbackManager(), name);
  }
  void TearDown() override {
    if (window()) KelGraphicWindow::_graphicWindowToDraw.Remove(window());
  }
  KelGraphicWindow* window() const { return viewer ? viewer->GetGraphicWindow() : nullptr; }
  // A camera at (x, 0, 20) looking down -z.
  void MoveTo(float x) {
    camera->Set(Kelpoint3f(x, 0, 20), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  }

  keltest::DragViewer drag{200, 100, keltest::MakeViewer<KelNavigation3DViewer>};
  KelNavigation3DViewer* viewer = nullptr;
  Kel3DViewpoint* camera = nullptr;
  keltest::EventCounter events;
};

// One entry per gesture: the zoom button and the 3D mouse in the x11 tests.
TEST_F(Navigation3D, AnEmptyOrUnbalancedAnimationAddsNoHistoryEntry) {
  const int before = viewer->GetHistoryCount();
  camera->StartAnimation(nullptr);
  camera->StopAnimation(nullptr);
  EXPECT_EQ(viewer->GetHistoryCount(), before);
  // A stop without a start never drives the counter below 0: the next
  // animation is still one entry.
  viewer->ViewpointChanged(nullptr, nullptr, nullptr, reinterpret_cast<void*>(intptr_t(-1)), 0);
  EXPECT_EQ(viewer->GetAnimationCounter(), 0);
  camera->StartAnimation(nullptr);
  MoveTo(3.0f);
  MoveTo(3.3f);
  camera->StopAnimation(nullptr);
  EXPECT_EQ(viewer->GetHistoryCount(), before + 1);
}

TEST_F(Navigation3D, GroundGaugesAndPopupsComeAndGoAndTellIt) {
  auto* cube = new Kel3DCuboidRep(Kelpoint3f(-1, -1, -1), Kelvector3f(2, 0, 0),
                                  Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2), 4);
  viewer->AddRep(cube);
  viewer->DisplayGround(GroundGrid);
  ASSERT_NE(viewer->GetGroundRep(), nullptr);
  EXPECT_EQ(viewer->GetGroundButton()->GetState(), 1);
  // Under the cube: its sphere's radius below its centre, along the vertical.
  ExpectXYZ(viewer->GetGroundRep()->GetOrigin(), 0, 0, -std::sqrt(3.0f), 1e-4);
  viewer->SetGround(Keldirection3f(0, 1, 0), Keldirection3f(1, 0, 0));
  ExpectXYZ(viewer->GetGroundRep()->GetVertical(), 0, 1, 0);
  viewer->HideGround();
  EXPECT_EQ(viewer->GetGroundRep(), nullptr);

  viewer->DisplayPerformanceGauges();
  ASSERT_NE(viewer->GetGaugeRep(), nullptr);
  EXPECT_GE(viewer->GetOverlayViewpoint()->GetRepList().Find(viewer->GetGaugeRep()), 0);
  viewer->HidePerformanceGauges();
  viewer->SetDashboardOn();
  viewer->SetDashboardOff();
  EXPECT_EQ(viewer->GetOverlayViewpoint()->GetRepList().Count(), 0);

  viewer->SetLightSourcesEditor(1);
  viewer->SetLightSourcesEditor(0);
  // Only a change of the sensitivity is told.
  for (float sensitivity : {2.0f, 2.0f, 1.0f})
    viewer->GetDefaultEditor()->SetTranslationSensitivity(sensitivity);
  EXPECT_EQ(
      events.names,
      (Names{"NAVIGATION_GROUND_ACTIVATED", "NAVIGATION_GROUND_DEACTIVATED",
             "NAVIGATION_PERFO_ACTIVATED", "NAVIGATION_PERFO_DEACTIVATED",
             "NAVIGATION_LIGHT_SOURCES_EDITOR_ON_OFF", "NAVIGATION_LIGHT_SOURCES_EDITOR_ON_OFF",
             "NAVIGATION_SENSITIVITY_CHANGED", "NAVIGATION_SENSITIVITY_CHANGED"}));
  viewer->RemoveRep(cube);
  cube->Destroy();
}

// After a reframe the whole bounding sphere lies between the near and far
// planes, in both projections, whatever the camera looked at before.
TEST_F(Navigation3D, ReframeClipsNoPartOfTheScene) {
  auto* cube = new Kel3DCuboidRep(Kelpoint3f(40, -3, 5), Kelvector3f(6, 0, 0), Kelvector3f(0, 6, 0),
                                  Kelvector3f(0, 0, 6), 4);
  viewer->AddRep(cube);
  const Kel3DBoundingSphere sphere = viewer->GetGlobalBoundingSphere();
  for (ProjectionType projection : {CONIC_PROJECTION, PARALLEL_PROJECTION}) {
    camera->SetProjectionType(projection);
    camera->Set(Kelpoint3f(0, 0, 0), Keldirection3f(1, 1, 0), Keldirection3f(0, 0, 1));
    viewer->Reframe();
    list<KelViewpoint*> one;  // a culling pass sets the automatic near and far
    one.Append(camera);
    window()->Culling(one);
    const Kelpoint3f c(sphere.GetCenter());
    const Kelvector3f toCentre = c - camera->GetOrigin();
    const float depth = toCentre * camera->GetSightDirection().AsVector();
    EXPECT_LE(camera->GetNear(), depth - sphere.GetRadius()) << projection;
    EXPECT_GE(camera->GetFar(), depth + sphere.GetRadius()) << projection;
  }
  viewer->RemoveRep(cube);
  cube->Destroy();
}

// ---- The 2D navigation viewer: the animation the editor brackets whatever
// Shift does during a drag, and the viewer's ring of 20 views (pans and zooms
// under real input: NavigationX11Test).

class Navigation2D : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(drag.Ready());
    viewer = static_cast<KelNavigation2DViewer*>(drag.viewer);
    camera = drag.viewpoint2D;
    editor = viewer->GetDefaultEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(viewer->GetViewpointEditor(), editor);
  }
  KelMouseEvent* Mouse(float x, float y, int buttons, int modifiers = 0) {
    KelMouseEvent& m = mice.emplace_back();
    m.SetPosition(Kelpoint2f(x, y));
    m.SetButtons(buttons);
    m.SetModifiers(modifiers);
    return &m;
  }

  keltest::DragViewer drag{200, 100, keltest::MakeViewer<KelNavigation2DViewer>};
  KelNavigation2DViewer* viewer = nullptr;
  Kel2DViewpoint* camera = nullptr;
  Kel2DViewpointEditor* editor = nullptr;
  std::deque<KelMouseEvent> mice;
};

TEST_F(Navigation2D, ShiftDuringADragNeverUnbalancesTheAnimation) {
  const Kelpoint2f origin = camera->GetOrigin();
  // Begun with Shift: nothing moves, then Shift goes and the pan starts.
  editor->BeginManipulate(Mouse(50, 50, 0, 1));
  editor->Manipulate(Mouse(60, 50, 0, 1));
  EXPECT_EQ(camera->GetOrigin().x, origin.x);
  editor->Manipulate(Mouse(70, 50, 0, 0));
  editor->Manipulate(Mouse(90, 50, 0, 0));
  EXPECT_NE(camera->GetOrigin().x, origin.x);
  // Shift pressed during the pan, released with the button.
  editor->Manipulate(Mouse(95, 50, 0, 1));
  editor->EndManipulate(Mouse(95, 50, 0, 1));
  EXPECT_EQ(editor->IsAnimating(), 0);
  EXPECT_EQ(viewer->GetAnimationCounter(), 0);
  // The next drag is still one animation, one view.
  const int entries = viewer->GetHistoryCount();
  editor->BeginManipulate(Mouse(10, 10, 0));
  editor->Manipulate(Mouse(20, 10, 0));
  editor->Manipulate(Mouse(30, 10, 0));
  editor->EndManipulate(Mouse(30, 10, 0));
  EXPECT_EQ(viewer->GetHistoryCount(), entries + 1);
}

TEST_F(Navigation2D, HistoryRingOfTwentyViews) {
  EXPECT_FALSE(viewer->GetNextButton()->GetSensitivity());
  viewer->DisplayNextViewpoint();  // nothing ahead: nothing happens
  for (int i = 1; i <= 25; ++i) camera->SetOrigin(Kelpoint2f(float(i), 0));
  EXPECT_EQ(viewer->GetHistoryCount(), 20);
  for (int i = 0; i < 30; ++i) viewer->DisplayPreviousViewpoint();
  EXPECT_EQ(camera->GetOrigin().x, 6.0f) << "the oldest were overwritten";
  EXPECT_FALSE(viewer->GetPreviousButton()->GetSensitivity());
  EXPECT_TRUE(viewer->GetNextButton()->GetSensitivity());
  EXPECT_EQ(viewer->GetHistoryCount(), 20) << "showing views saves none";
  viewer->DisplayNextViewpoint();
  viewer->DisplayNextViewpoint();
  EXPECT_EQ(camera->GetOrigin().x, 8.0f);
  // A new view drops the 17 ahead of the shown one.
  camera->SetOrigin(Kelpoint2f(100.0f, 0));
  EXPECT_EQ(viewer->GetHistoryCount(), 4);
  EXPECT_FALSE(viewer->GetNextButton()->GetSensitivity());
  viewer->DisplayPreviousViewpoint();
  EXPECT_EQ(camera->GetOrigin().x, 8.0f);
  viewer->DisplayNextViewpoint();
  EXPECT_EQ(camera->GetOrigin().x, 100.0f);
}

// ---- Scripted middle-button drags through the editors, without a viewer,
// and the cameras they leave, worked out by hand; and turns about the target.
// The camera starts at (0, -10, 0) looking along +y at the origin with z up,
// so its right is +x; a drag of 600 pixels turns by pi / 2 and 100 pixels
// down double the distance.

using Texts = std::vector<std::string>;
const int kControl = 4;

constexpr float kPi = static_cast<float>(KelMath::PI);
const Keldirection3f kZ = Keldirection3f::Unchecked(0, 0, 1);

Kel3DViewpoint Level(KelViewpointGravityMode mode = GRAVITY_OFF) {
  Kel3DViewpoint v(Kelpoint3f(0, -10, 0), Keldirection3f(0, 1, 0), kZ, 1.0f, 100.0f,
                   CONIC_PROJECTION, 10.0f);
  v.SetGravityMode(mode);
  return v;
}

// Writes down the prompts instead of showing them.
class Editor : public KelBasic3DViewpointEditor {
 public:
  Editor(Kel3DViewpoint& v, KelBasic3DViewpointEditorMode mode)
      : KelBasic3DViewpointEditor(KelString("editor"), v, mode) {}
  void SetMessage(const KelUnicodeString& text) override {
    prompts.push_back(text.ConvertToChar());
  }
  Texts prompts;
};

// The events of one drag, as the mouse device hands them.
class Drag {
 public:
  Drag(Kel3DViewpointEditor& editor, float x, float y, int modifiers = 0) : _editor(editor) {
    _mouse.SetModifiers(modifiers);
    _mouse.SetPosition(x, y);
    _mouse.SetTimeStamp(_time);
    _editor.BeginManipulate(&_mouse);
  }
  Drag& To(float x, float y) {
    _mouse.SetPosition(x, y);
    _mouse.SetTimeStamp(_time += 10);
    _editor.Manipulate(&_mouse);
    return *this;
  }
  Drag& Left(bool down) {
    _mouse.SetButtons(down ? 1 : 0);
    _editor.Manipulate(&_mouse);
    return *this;
  }
  void Release() { _editor.EndManipulate(&_mouse); }
  unsigned long Time() const { return _time; }

 private:
  Kel3DViewpointEditor& _editor;
  KelMouseEvent _mouse;
  unsigned long _time = 1000;
};

void Key(Kel3DViewpointEditor& editor, int key) {
  KelKeyboardEvent k;
  k.SetKey(key);
  editor.Manipulate(&k);
}

TEST(KelBasic3DViewpointEditor, ExamineDragDownTurnsAboutTheRightDirection) {
  // (Sideways turns, with their prompts, are driven by real input in
  // NavigationX11Test.) The first motion starts the turn: the eye rises.
  Kel3DViewpoint v = Level();
  Editor e(v, EXAMINE_MODE);
  Drag(e, 0, 0).To(0, 4).To(0, 604).Release();
  ExpectXYZ(v.GetOrigin(), 0, 0, 10);
  ExpectXYZ(v.GetTarget(), 0, 0, 0);
  ExpectXYZ(v.GetUpDirection(), 0, 1, 0);
  EXPECT_EQ(e.GetActionState(), 0);
}

TEST(KelBasic3DViewpointEditor, LeftButtonDuringTheDragZoomsTheDistanceTwofoldPer100Pixels) {
  Kel3DViewpoint v = Level();
  Editor e(v, EXAMINE_MODE);
  Drag d(e, 100, 100);
  d.To(100, 104).Left(true);
  EXPECT_EQ(e.prompts.back(), "Drag to zoom   Release left button to rotate");
  d.To(100, 154).To(100, 204);
  EXPECT_NEAR(v.GetFocusDistance(), 20.0, 1e-3);
  ExpectXYZ(v.GetOrigin(), 0, -20, 0, 1e-3);
  d.To(100, 104);  // back up: the distance is halved again
  EXPECT_NEAR(v.GetFocusDistance(), 10.0, 1e-3);
  d.Left(false).Release();
  ExpectXYZ(v.GetTarget(), 0, 0, 0, 1e-3);
  // In zoom mode alone the drag itself zooms.
  Editor zoom(v, ZOOM_MODE);
  Drag(zoom, 0, 0).To(0, -100).Release();
  EXPECT_NEAR(v.GetFocusDistance(), 5.0, 1e-3);
}

TEST(KelBasic3DViewpointEditor, LeftPressedBeforeMovingRotatesFromWhereItWasReleased) {
  // Pressed, then released before any motion: the turn starts at the
  // release, not at a position left from an earlier drag.
  Kel3DViewpoint v = Level();
  Editor e(v, EXAMINE_MODE);
  Drag(e, 500, 300).Left(true).Left(false).To(800, 300).To(1100, 300).Release();
  ExpectXYZ(v.GetOrigin(), -10, 0, 0);
  ExpectXYZ(v.GetTarget(), 0, 0, 0);
  ExpectXYZ(v.GetUpDirection(), 0, 0, 1);
}

TEST(KelBasic3DViewpointEditor, ControlClickStepsBack) {
  Kel3DViewpoint v = Level();
  Editor e(v, EXAMINE_MODE);
  Drag(e, 50, 50, kControl).Release();
  ExpectXYZ(v.GetOrigin(), 0, -20, 0);
  EXPECT_NEAR(v.GetFocusDistance(), 20.0, 1e-4);
}

TEST(KelBasic3DViewpointEditor, HorizontalLockKeepsTheHeightOfTheEye) {
  Kel3DViewpoint v = Level();
  Editor e(v, EXAMINE_MODE);
  e.LockHorizontal();
  Drag(e, 0, 0).To(4, 4).To(304, 604).Release();
  // Only the horizontal part turned (pi / 4), about the vertical.
  const float h = static_cast<float>(10.0 / std::sqrt(2.0));
  ExpectXYZ(v.GetOrigin(), -h, -h, 0);
  e.UnlockHorizontal();
}

// ---- Walk and fly

TEST(KelBasic3DViewpointEditor, WalkStartsWithAClickAndFliesAtItsSpeedWhateverTheFrameRate) {
  Kel3DViewpoint slow = Level(), fast = Level();
  Editor a(slow, WALK_MODE), b(fast, WALK_MODE);
  Drag da(a, 0, 0), db(b, 0, 0);
  da.Left(true).Left(false);
  db.Left(true).Left(false);
  EXPECT_EQ(a.prompts.back(), "Drag to change direction   Click left button to go backward");
  // An empty scene flies at a fiftieth of a unit per second.
  const unsigned long t0 = da.Time();
  for (unsigned long t = 10; t <= 1000; t += 10) a.ComputeNextStep(t0 + t);
  for (unsigned long t = 50; t <= 1000; t += 50) b.ComputeNextStep(t0 + t);
  ExpectXYZ(slow.GetOrigin(), 0, -10 + 0.02, 0, 1e-4);
  ExpectXYZ(fast.GetOrigin(), 0, -10 + 0.02, 0, 1e-4);
  // The flight ends with the drag, and the table is back.
  da.Release();
  a.ComputeNextStep(t0 + 2000);
  ExpectXYZ(slow.GetOrigin(), 0, -10 + 0.02, 0, 1e-4);
  EXPECT_FALSE(a.IsAnimated());
}

TEST(KelBasic3DViewpointEditor, PageKeysStepTheSpeedAndItNeverReachesZero) {
  Kel3DViewpoint v = Level();
  Editor e(v, FLY_MODE);
  Key(e, 5);
  // 0.02 * sqrt(2) shown and flown with three decimals.
  EXPECT_EQ(e.prompts.back(), "Speed increased to 0.028 units/s");
  EXPECT_FLOAT_EQ(e.GetFlySpeed(), 0.028f);
  for (int i = 0; i < 300; ++i) Key(e, 6);
  EXPECT_GT(e.GetFlySpeed(), 0.0f);
  EXPECT_THAT(e.prompts.back(), testing::MatchesRegex("Speed increased to 0\\.00000100? units/s"));
  const float low = e.GetFlySpeed();
  Key(e, 5);
  EXPECT_GT(e.GetFlySpeed(), low);
  // Beyond half the model size per second the speed stays.
  for (int i = 0; i < 100; ++i) Key(e, 5);
  EXPECT_LE(e.GetFlySpeed(), 0.5f * 1.5f);
}

// ---- Stay and look

TEST(KelStayAndLookViewpointEditor, ZoomsByTheAngleAndNeverMovesTheEye) {
  Kel3DViewpoint v = Level();
  KelStayAndLookViewpointEditor e(KelString("stay"), v, 1.0f, 40.0f);
  EXPECT_EQ(v.GetGravityMode(), GRAVITY_STEPWISE);
  const double t15 = std::tan(15.0 * KelMath::DEGRERADIANS);
  Drag(e, 0, 0).To(0, 4).Left(true).To(0, 104).Left(false).Release();
  EXPECT_NEAR(std::tan(v.GetAngle() * KelMath::DEGRERADIANS), 2.0 * t15, 1e-4);
  // A Control click doubles the view again, up to the bound.
  Drag(e, 0, 0, kControl).Release();
  EXPECT_NEAR(v.GetAngle(), 40.0, 1e-4);
  Drag(e, 0, 0).To(4, 0).To(300, 200).Release();
  ExpectXYZ(v.GetOrigin(), 0, -10, 0);
}

// ---- Turning a camera about its target. The expected frames are worked out
// from the rotation matrix's convention: by a about z, (1, 0, 0) goes to
// (cos a, -sin a, 0) and (0, 1, 0) to (sin a, cos a, 0); about x, (0, 1, 0)
// goes to (0, cos a, -sin a) and (0, 0, 1) to (0, sin a, cos a).

void Turn(Kel3DViewpoint& v, float x, float y, float z) {
  Kel3DViewpointEditor::RotateAround(v, Kelvector3f(x, y, z), kZ);
}

// Free turns about the camera's axes: the examine drags above (right and up)
// and the roll in NavigationX11Test, which go through RotateAround.
TEST(RotateAround, TooShortATurnChangesNothingAndTellsNothing) {
  Kel3DViewpoint still = Level();
  keltest::EventCounter stillEvents(still);
  Turn(still, 1e-12f, 0, 0);
  EXPECT_EQ(stillEvents.count, 0);
  ExpectXYZ(still.GetOrigin(), 0, -10, 0);
}

TEST(RotateAround, ProportionalGravityStopsAtAQuarterTurnAndIgnoresRoll) {
  // A pitch of 2 radians ends looking straight down, as a free quarter turn
  // would.
  Kel3DViewpoint v = Level(GRAVITY_PROPORTIONAL);
  Turn(v, 2.0f, 0, 0.7f);
  ExpectXYZ(v.GetOrigin(), 0, 0, 10);
  ExpectXYZ(v.GetSightDirection(), 0, 0, -1);
  // Further down is refused; back up is allowed.
  Turn(v, 0.3f, 0, 0);
  ExpectXYZ(v.GetSightDirection(), 0, 0, -1);
  Turn(v, -kPi / 2, 0, 0);
  ExpectXYZ(v.GetSightDirection(), 0, 1, 0);
  ExpectXYZ(v.GetUpDirection(), 0, 0, 1);
  // The yaw turns about the vertical, the roll is dropped.
  Turn(v, 0, kPi / 2, 0.5f);
  ExpectXYZ(v.GetOrigin(), -10, 0, 0);
  ExpectXYZ(v.GetUpDirection(), 0, 0, 1);
}

TEST(RotateAround, StepwiseGravityTurnsAnUpsideDownCameraTheOtherWay) {
  Kel3DViewpoint upright = Level(GRAVITY_STEPWISE);
  Kel3DViewpoint upsideDown(Kelpoint3f(0, -10, 0), Keldirection3f(0, 1, 0), -kZ, 1.0f, 100.0f,
                            CONIC_PROJECTION, 10.0f);
  upsideDown.SetGravityMode(GRAVITY_STEPWISE);
  Turn(upright, 0, 0.5f, 0);
  Turn(upsideDown, 0, 0.5f, 0);
  ExpectXYZ(upright.GetSightDirection(), std::sin(0.5), std::cos(0.5), 0);
  ExpectXYZ(upsideDown.GetSightDirection(), -std::sin(0.5), std::cos(0.5), 0);
  ExpectXYZ(upsideDown.GetUpDirection(), 0, 0, -1);
  ExpectXYZ(upsideDown.GetTarget(), 0, 0, 0);
}

TEST(RotateAround, ManySmallTurnsKeepTheFrameAndTheTarget) {
  // Far from the model origin, where float rounding is coarse.
  Kel3DViewpoint free(Kelpoint3f(1000, 2000, 500), Keldirection3f(-1, -2, -0.5f), kZ, 1.0f, 1e5f,
                      CONIC_PROJECTION, 2000.0f);
  Kel3DViewpoint upright = free;
  upright.SetGravityMode(GRAVITY_PROPORTIONAL);
  const Kelpoint3f target = free.GetTarget();
  for (int i = 0; i < 10000; ++i) {
    const float a = 0.003f * static_cast<float>(std::sin(i * 0.37));
    const float b = 0.002f * static_cast<float>(std::cos(i * 0.11));
    Turn(free, a, b, 0.5f * a);
    Turn(upright, a, b, 0.5f * a);
  }
  for (const Kel3DViewpoint* v : {&free, &upright}) {
    const Keldirection3f s = v->GetSightDirection(), u = v->GetUpDirection();
    const Keldirection3f r = v->GetRightDirection();
    EXPECT_NEAR(s * s, 1.0, 1e-5);
    EXPECT_NEAR(u * u, 1.0, 1e-5);
    EXPECT_NEAR(s * u, 0.0, 1e-5);
    EXPECT_NEAR(s * r, 0.0, 1e-5);
    EXPECT_NEAR(u * r, 0.0, 1e-5);
    // A millionth of the distance to the target.
    ExpectXYZ(v->GetTarget(), target.x, target.y, target.z, 2e-3);
    EXPECT_NEAR(v->GetFocusDistance(), 2000.0, 1e-3);
  }
  // Gravity kept the horizon: the right direction stays level.
  EXPECT_NEAR(upright.GetRightDirection() * kZ, 0.0, 1e-5);
  EXPECT_GT(upright.GetUpDirection() * kZ, 0.0f);
}

}  // namespace

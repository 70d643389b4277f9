// The navigation viewers without a display. 3D: its icons, the history it
// keeps (one entry per gesture), its aids and its events; the buttons, the
// style combo and previous and next are driven by real clicks in the x11 test.
// The camera looks down -z from (0, 0, 20) at 10 pixels a unit (DragViewer).
#include <gtest/gtest.h>

#include <kel/aids/Kel2DDashboardRep.h>
#include <kel/aids/KelGaugeRep.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/navigation/Kel2DViewpointEditor.h>
#include <kel/navigation/KelBasic3DViewpointEditor.h>
#include <kel/navigation/KelNavigation2DViewer.h>
#include <kel/navigation/KelNavigation3DViewer.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/viewers/KelGraphicWindow.h>
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

KelViewer* MakeNavigation(KelDialog* father, const KelString& name, int w, int h) {
  return new KelNavigation3DViewer(father, name, 0, w, h, 0);
}

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

  keltest::DragViewer drag{200, 100, MakeNavigation};
  KelNavigation3DViewer* viewer = nullptr;
  Kel3DViewpoint* camera = nullptr;
  keltest::EventCounter events;
};

TEST_F(Navigation3D, EveryToolButtonFindsItsIcon) {
  // Every named icon exists, so the buttons show pictures, not titles.
  for (const char* name : {"LookAt", "Zoom", "Rotate", "Translate", "Previous", "Next", "Reframe",
                           "Light", "Visibility", "Ground"}) {
    const std::string icon = viewer->FindDialog(KelString(name))->GetIconName().GetText();
    EXPECT_FALSE(keltest::ReadBytes(icon).empty()) << name << ": " << icon;
  }
}

TEST_F(Navigation3D, EachGestureIsOneHistoryEntry) {
  const int before = viewer->GetHistoryCount();
  MoveTo(1.0f);  // a change outside an animation
  EXPECT_EQ(viewer->GetHistoryCount(), before + 1);
  // An animation of many changes, the way an editor brackets its steps.
  camera->StartAnimation(nullptr);
  for (int i = 0; i < 5; ++i) MoveTo(2.0f + 0.1f * i);
  camera->StopAnimation(nullptr);
  EXPECT_EQ(viewer->GetHistoryCount(), before + 2);
  // An animation that changed nothing adds nothing.
  camera->StartAnimation(nullptr);
  camera->StopAnimation(nullptr);
  EXPECT_EQ(viewer->GetHistoryCount(), before + 2);
  // A stop without a start never drives the counter below 0: the next
  // animation is still one entry.
  viewer->ViewpointChanged(nullptr, nullptr, nullptr, reinterpret_cast<void*>(intptr_t(-1)), 0);
  EXPECT_EQ(viewer->GetAnimationCounter(), 0);
  camera->StartAnimation(nullptr);
  MoveTo(3.0f);
  MoveTo(3.3f);
  camera->StopAnimation(nullptr);
  EXPECT_EQ(viewer->GetHistoryCount(), before + 3);
  // Previous and next through the buttons: the x11 test.
}

TEST_F(Navigation3D, GroundGaugesAndPopupsComeAndGoAndTellIt) {
  auto* cube = new Kel3DCuboidRep(Kelpoint3f(-1, -1, -1), Kelvector3f(2, 0, 0),
                                  Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2), 4);
  viewer->AddRep(cube);
  viewer->DisplayGround(GroundGrid);
  ASSERT_NE(viewer->GetGroundRep(), nullptr);
  EXPECT_GE(camera->GetRepList().Find(viewer->GetGroundRep()), 0);
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

  viewer->SetLightSourcesEditor(1);
  ASSERT_TRUE(viewer->IsLightSourcesEditorOn());
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

// The axis board turns with the camera, the axes' origin 45 pixels in from
// the bottom left corner of the 200 x 100 window (pixel y downwards); the
// dashboard reads the camera it follows (z up, north along y).
TEST_F(Navigation3D, AxisBoardAndDashboardFollowTheCamera) {
  ASSERT_TRUE(viewer->IsAxisboard());
  Kel3DViewpoint* axes = viewer->GetAxisViewpoint();
  const float s = 1.0f / std::sqrt(2.0f);
  viewer->SetDashboardOn();
  camera->Set(Kelpoint3f(5, -5, 0), Keldirection3f(-s, s, 0), Keldirection3f(0, 0, 1));
  ExpectXYZ(axes->GetSightDirection(), -s, s, 0);
  ExpectXYZ(axes->GetUpDirection(), 0, 0, 1);
  Kelpoint2f pixel;
  axes->ComputePixelFromModel(Kelpoint3f(0, 0, 0), pixel, 200, 100, viewer->GetMMInSupportUnit(),
                              drag.Ratio());
  EXPECT_NEAR(pixel.x, 45.0f, 0.01f);
  EXPECT_NEAR(pixel.y, 55.0f, 0.01f);
  EXPECT_NEAR(viewer->GetDashboard()->GetHeading(), 315.0f, 1e-3f);
  viewer->SetDashboardOff();
  EXPECT_EQ(viewer->GetOverlayViewpoint()->GetRepList().Count(), 0);
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

KelViewer* MakeNavigation2D(KelDialog* father, const KelString& name, int w, int h) {
  return new KelNavigation2DViewer(father, name, 0, w, h, 0);
}

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

  keltest::DragViewer drag{200, 100, MakeNavigation2D};
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
  EXPECT_EQ(viewer->GetHistoryEntry(0)->GetOrigin().x, 25.0f);
  EXPECT_EQ(viewer->GetHistoryEntry(19)->GetOrigin().x, 6.0f) << "the oldest were overwritten";
  for (int i = 0; i < 30; ++i) viewer->DisplayPreviousViewpoint();
  EXPECT_EQ(camera->GetOrigin().x, 6.0f);
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

}  // namespace

// The 2D navigation without a display: the editor's pans and zooms against
// the camera's own pixel conversion, the animation it brackets whatever
// Shift does during a drag, and the viewer's ring of 20 views.
#include <gtest/gtest.h>

#include <kel/framework/KelDlgPushButton.h>
#include <kel/navigation/Kel2DViewpointEditor.h>
#include <kel/navigation/KelNavigation2DViewer.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include "KelTestEnv.h"
#include "KelViewerSession.h"

namespace {

KelViewer* MakeNavigation(KelDialog* father, const KelString& name, int w, int h) {
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
  // The model point under pixel (x, y) through the camera as it is now.
  Kelpoint2f Under(float x, float y) const {
    float w = 0, h = 0;
    viewer->GetGraphicSize(&w, &h);
    Kelpoint2f p;
    camera->ComputeModelFromPixel(x, y, p, w, h, viewer->GetMMInSupportUnit(), 1.0f);
    return p;
  }

  keltest::DragViewer drag{200, 100, MakeNavigation};
  KelNavigation2DViewer* viewer = nullptr;
  Kel2DViewpoint* camera = nullptr;
  Kel2DViewpointEditor* editor = nullptr;
  std::deque<KelMouseEvent> mice;
};

TEST_F(Navigation2D, PanFollowsThePointerAndLeftButtonZoomsFromWhereItIs) {
  const Kelpoint2f grabbed = Under(50, 30);
  const int entries = viewer->GetHistoryCount();
  editor->BeginManipulate(Mouse(50, 30, 0));
  editor->Manipulate(Mouse(80, 40, 0));
  editor->Manipulate(Mouse(120, 70, 0));
  const Kelpoint2f now = Under(120, 70);
  EXPECT_NEAR(now.x, grabbed.x, 1e-4f);
  EXPECT_NEAR(now.y, grabbed.y, 1e-4f);
  // Left button pressed: a zoom from this height, 100 pixels up doubling it.
  const float zoom = camera->GetZoom();
  editor->Manipulate(Mouse(120, 70, 1));
  EXPECT_FLOAT_EQ(camera->GetZoom(), zoom);
  editor->Manipulate(Mouse(120, 20, 1));
  editor->Manipulate(Mouse(120, -30, 1));
  EXPECT_NEAR(camera->GetZoom(), 2.0f * zoom, 1e-4f);
  editor->EndManipulate(Mouse(120, -30, 1));
  EXPECT_EQ(viewer->GetAnimationCounter(), 0);
  EXPECT_EQ(viewer->GetHistoryCount(), entries + 1) << "the drag is one view";
}

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

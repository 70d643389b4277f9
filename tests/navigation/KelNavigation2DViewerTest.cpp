// The 2D navigation without a display: the animation the editor brackets
// whatever Shift does during a drag, and the viewer's ring of 20 views (pans
// and zooms under real input: KelNavigation2DViewerX11Test).
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

  keltest::DragViewer drag{200, 100, MakeNavigation};
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

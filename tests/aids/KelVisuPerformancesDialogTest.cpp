// The performance dialog without a display: its controls reach the drawing
// support's precisions (what those decide is the culling tests' business), and
// every change asks for a redraw, until the viewer dies.
#include <gtest/gtest.h>

#include <kel/aids/KelVisuPerformancesDialog.h>
#include <kel/framework/KelDlgSlider.h>
#include <kel/viewers/Kel3DViewer.h>
#include <kel/viewers/KelGraphicWindow.h>

#include "KelViewerSession.h"

namespace {

class PerformancesDialog : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(drag.Ready());
    viewer = static_cast<Kel3DViewer*>(drag.viewer);
    window = viewer->GetGraphicWindow();
    window->SetSagPrecision(3.0f);
    window->SetCullingPrecision(5);
    dialog = new KelVisuPerformancesDialog(nullptr, KelString("perfo"), viewer, 0);
  }
  void TearDown() override {
    delete dialog;
    KelGraphicWindow::_graphicWindowToDraw.Remove(window);
  }
  // Whether a redraw of the viewer was asked for since the last call.
  bool Redrawn() {
    const bool asked = KelGraphicWindow::_graphicWindowToDraw.Find(window) >= 0;
    KelGraphicWindow::_graphicWindowToDraw.Remove(window);
    return asked;
  }
  void Cull(double value) {
    dialog->GetCullingSlider()->SetValue(value);
    dialog->Cull(nullptr, nullptr, nullptr);
  }

  keltest::DragViewer drag{200, 100, keltest::MakeViewer<Kel3DViewer>};
  Kel3DViewer* viewer = nullptr;
  KelGraphicWindow* window = nullptr;
  KelVisuPerformancesDialog* dialog = nullptr;
};

TEST_F(PerformancesDialog, StartsFromTheSupportAndEveryChangeReachesItAndRedraws) {
  KelDlgSlider* accuracy = dialog->GetAccuracySlider();
  EXPECT_DOUBLE_EQ(accuracy->GetValue(), 3.0);
  EXPECT_DOUBLE_EQ(dialog->GetCullingSlider()->GetValue(), 5.0);
  Redrawn();

  accuracy->SetValue(4.0);
  dialog->Sag(nullptr, nullptr, nullptr);
  EXPECT_FLOAT_EQ(window->GetSagPrecision(), 4.0f);
  EXPECT_TRUE(Redrawn());

  Cull(37.6);  // the integer part
  EXPECT_EQ(window->GetCullingPrecision(), 37);
  EXPECT_TRUE(Redrawn());
  Cull(0.2);  // below the range: the slider's minimum, 1
  EXPECT_EQ(window->GetCullingPrecision(), 1);

  // The button switches the levels of detail off (and redraws: kelview's
  // performances test, from a real click), then back to the slider's.
  dialog->NoLod(nullptr, nullptr, nullptr);
  dialog->NoLod(nullptr, nullptr, nullptr);
  EXPECT_FLOAT_EQ(window->GetSagPrecision(), 4.0f);
  window->SetSagPrecision(0.05f);  // near 0 counts as off
  dialog->NoLod(nullptr, nullptr, nullptr);
  EXPECT_FLOAT_EQ(window->GetSagPrecision(), 4.0f);
}

TEST_F(PerformancesDialog, OutlivingItsViewerChangesNothing) {
  delete drag.viewer;  // the application's
  drag.viewer = nullptr;
  EXPECT_EQ(dialog->GetViewer(), nullptr);
  Cull(50.0);  // the sanitizer build sees a read of the dead viewer
  dialog->NoLod(nullptr, nullptr, nullptr);
  dialog->Sag(nullptr, nullptr, nullptr);
  window = nullptr;
}

TEST(KelVisuPerformancesDialog, WithoutAViewerSaysSoAndHoldsNothing) {
  testing::internal::CaptureStderr();
  auto* dialog = new KelVisuPerformancesDialog(nullptr, KelString("perfo"), nullptr, 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "KelVisuPerformancesDialog: Invalid creation parameters.\n");
  EXPECT_EQ(dialog->GetDialogCount(), 0);
  EXPECT_NE(dialog->GetVisibility(), KelDlgShown);
  dialog->NoLod(nullptr, nullptr, nullptr);
  delete dialog;
}

}  // namespace

// Without an X display the toolkit says so once and goes on: no exit of the
// host process, dialogs keep their state.
#include <gtest/gtest.h>

#include <kel/framework/KelDlgFrame.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelDlgWindow.h>

#include <cstdlib>

TEST(KelDlgICC, WithoutDisplayFailsWithOneMessageAndDialogsKeepTheirState) {
  ::setenv("DISPLAY", ":9999", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(KelDlgICC::GetXtDisplay(), nullptr);
  KelDlgWindow window(nullptr, "window");
  auto* frame = new KelDlgFrame(&window, "frame");
  EXPECT_EQ(KelDlgICC::MainLoop(), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "KelDlgICC::GetXtDisplay: cannot open the X display \":9999\".\n");

  EXPECT_EQ(window.GetWidget(), nullptr);
  window.SetVisibility(KelDlgShown);
  frame->SetRectDimensions(5, 6, 70, 80);

  KelDlgWindow other(nullptr, "other");
  EXPECT_EQ(frame->Reparent(frame), 0) << "never under itself";
  EXPECT_EQ(frame->Reparent(&other), 1);
  EXPECT_EQ(window.GetDialogCount(), 0);
  EXPECT_EQ(other.GetDialog(0), frame);
  EXPECT_EQ(KelDialog::GetFatherWindow(frame), &other);
}

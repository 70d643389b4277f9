// The edit phase of a manipulator on real Motif dialogs: the popup is shown,
// and however it goes (closed by the user, ended by the program, destroyed
// with its father) the edit ends once, without cause, and the popup dies once.
#include <gtest/gtest.h>

#include <kel/aids/KelPopup.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelDlgWindow.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/viewers/KelViewerEvent.h>

#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelTestScene.h"
#include "KelViewerSession.h"
#include "KelXInput.h"

namespace {

using keltest::NotificationLog;
using Texts = std::vector<std::string>;

// Follows a popup's end as an application does.
struct Follower : keltest::EventCounter {
  explicit Follower(KelPopup* popup)
      : EventCounter(popup->GetCallbackManager(), KelPopup::EDIT_PANEL_POPUP_DESTROYED()) {}
};

class EditPopup : public ::testing::Test {
 protected:
  void SetUp() override {
    KEL_REQUIRE(keltest::TestDisplay(), "an X display");
    _errors = KelDlgICC::GetXErrorCount();
    KelViewerEvent event;
    manipulator.Preactivate(&event, nullptr);
    manipulator.Activate(&event, nullptr);
    father.entries.clear();
  }
  void TearDown() override {
    if (!keltest::TestDisplay()) return;
    keltest::PumpPending();
    EXPECT_EQ(KelDlgICC::GetXErrorCount(), _errors) << "X errors";
  }
  NotificationLog father;
  KelManipulator manipulator{&father, "m", nullptr};
  int _errors = 0;
};

TEST_F(EditPopup, ClosedByTheUserEndsTheEdit) {
  auto* popup = new KelPopup(nullptr, "EditPanel", KelDlgCancelButton);
  Follower follower(popup);
  manipulator.SetEditPopup(*popup);
  EXPECT_EQ(manipulator.GetEditState(), 1);
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
  KelViewerEvent event;
  other.Preactivate(&event, nullptr);
  other.Activate(&event, nullptr);
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

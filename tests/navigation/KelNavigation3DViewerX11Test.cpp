// The navigation 3D viewer on the X server, its tool frames driven by real
// clicks (XTest): the style combo, previous and next, the ground switch, and
// a single action run by the left button in the drawing area.
#include <gtest/gtest.h>

#include <kel/framework/KelDlgCheckButton.h>
#include <kel/framework/KelDlgCombo.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/framework/KelVue.h>
#include <kel/navigation/KelBasic3DViewpointEditor.h>
#include <kel/navigation/KelNavigation3DViewer.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <X11/IntrinsicP.h>
#include <Xm/Xm.h>

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

class Navigation3DX11 : public testing::Test {
 protected:
  void SetUp() override {
    KEL_REQUIRE(keltest::TestDisplay() != nullptr, "an X display");
    errorsBefore = KelDlgICC::GetXErrorCount();
    KelVue::SetInteractiveState(0);
    session = std::make_unique<keltest::ViewerSession>(
        "navigation", 320, 240, true, [](KelDialog* father, const KelString& name, int w, int h) {
          return new KelNavigation3DViewer(father, name, 0, w, h, 0);
        });
    ASSERT_TRUE(session->Ready());
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
  void TearDown() override {
    session.reset();
    if (cube) cube->Destroy();
    if (keltest::TestDisplay()) {
      keltest::Settle();
      EXPECT_EQ(KelDlgICC::GetXErrorCount(), errorsBefore) << "X errors";
    }
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

  int errorsBefore = 0;
  std::unique_ptr<keltest::ViewerSession> session;
  KelNavigation3DViewer* viewer = nullptr;
  Kel3DViewpoint* camera = nullptr;
  Kel3DRep* cube = nullptr;
  keltest::EventCounter events;
};

TEST_F(Navigation3DX11, PreviousAndNextClickedRestoreTheExactCameras) {
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
}

TEST_F(Navigation3DX11, TheStyleComboAndTheGroundSwitchTellWhatTheUserChose) {
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
  keltest::PointerTo(session->Area(), 160, 60);
  keltest::Settle();
  keltest::PressButton(1);
  keltest::Settle();
  for (int y = 70; y <= 160; y += 10) {
    keltest::PointerTo(session->Area(), 160, y);
    keltest::Settle();
  }
  keltest::ReleaseButton(1);
  ASSERT_TRUE(keltest::PumpUntil([&] { return events.count == 1; }));
  // 100 pixels down double the distance to the target.
  EXPECT_NEAR(camera->GetFocusDistance(), 2.0f * focus, 1e-3f * focus);
  EXPECT_EQ(viewer->GetHistoryCount(), entries + 1);
  EXPECT_EQ(viewer->GetActionButton(ViewpointZoom)->GetState(), 0);
  EXPECT_FALSE(viewer->IsViewpointManipulation());
  // The left button picks again afterwards; the next drag moves nothing.
  keltest::PressButton(1);
  keltest::PointerTo(session->Area(), 160, 100);
  keltest::ReleaseButton(1);
  keltest::Settle();
  EXPECT_NEAR(camera->GetFocusDistance(), 2.0f * focus, 1e-3f * focus);
}

}  // namespace

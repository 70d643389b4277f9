// The 2D navigation viewer under real input (XTest): a middle drag keeps the
// model point grabbed under the pointer, the left button during it zooms
// from where the pointer is (100 pixels up double the zoom), the whole drag
// is one view of the history, and a click on "Previous" brings back the
// camera from before it, bit for bit.
#include <gtest/gtest.h>

#include <kel/framework/KelDlgPushButton.h>
#include <kel/navigation/KelNavigation2DViewer.h>
#include <kel/reps/Kel2DLineRep.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include "KelTestEnv.h"
#include "KelViewerSession.h"
#include "KelXInput.h"
#include "KelXSession.h"

namespace {

TEST(Navigation2DX11, MiddleDragPansAndZoomsAsOneViewThatPreviousTakesBack) {
  KEL_REQUIRE(keltest::TestDisplay() != nullptr, "an X display");
  keltest::ViewerSession session("navigation2D", 200, 200, true,
                                 [](KelDialog* father, const KelString& name, int w, int h) {
                                   return new KelNavigation2DViewer(father, name, 0, w, h, 0);
                                 });
  ASSERT_TRUE(session.Ready());
  auto* viewer = static_cast<KelNavigation2DViewer*>(session.viewer);
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
  const int entries = viewer->GetHistoryCount();
  const Kelpoint2f grabbed = under(50, 150);

  keltest::PointerTo(session.Area(), 50, 150);
  keltest::Settle();
  keltest::PressButton(2);
  for (int step = 1; step <= 3; ++step) {
    keltest::PointerTo(session.Area(), 50 + 20 * step, 150 - 5 * step);
    keltest::Settle();
  }
  const Kelpoint2f now = under(110, 135);
  EXPECT_NEAR(now.x, grabbed.x, 0.05f);
  EXPECT_NEAR(now.y, grabbed.y, 0.05f);

  const float zoom = camera->GetZoom();
  keltest::PressButton(1);
  keltest::Settle();
  for (int y = 115; y >= 35; y -= 20) {
    keltest::PointerTo(session.Area(), 110, y);
    keltest::Settle();
  }
  keltest::ReleaseButton(1);
  keltest::ReleaseButton(2);
  keltest::Settle();
  EXPECT_NEAR(camera->GetZoom(), 2.0f * zoom, 1e-3f * zoom);
  EXPECT_EQ(viewer->GetHistoryCount(), entries + 1);

  keltest::Click(viewer->GetPreviousButton()->GetWidget());
  ASSERT_TRUE(keltest::PumpUntil([&] { return viewer->IsNextViewpoint() != 0; }));
  EXPECT_EQ(camera->GetOrigin().x, before.GetOrigin().x);
  EXPECT_EQ(camera->GetOrigin().y, before.GetOrigin().y);
  EXPECT_EQ(camera->GetZoom(), before.GetZoom());
  viewer->RemoveRep(line);
  line->Destroy();
}

}  // namespace

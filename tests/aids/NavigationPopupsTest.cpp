// The navigation viewer's popups without a display: the light panel starts
// from the light as it is and aims it by azimuth and elevation, worked out by
// hand; the visibility popup's controls reach the support.
#include <gtest/gtest.h>

#include <kel/aids/Kel3DVisibilityPopup.h>
#include <kel/aids/KelEditPanelPopup.h>
#include <kel/framework/KelDlgCheckButton.h>
#include <kel/framework/KelDlgCombo.h>
#include <kel/framework/KelDlgSlider.h>
#include <kel/reps/KelLightSourceSet.h>
#include <kel/viewers/Kel3DViewer.h>
#include <kel/viewers/KelGraphicWindow.h>

#include "KelTestEnv.h"
#include "KelViewerSession.h"

namespace {

TEST(NavigationPopups, LightPanelAimsTheFirstLightAndVisibilityReachesTheSupport) {
  keltest::DragViewer drag{200, 100, keltest::MakeViewer<Kel3DViewer>};
  ASSERT_TRUE(drag.Ready());
  auto* viewer = static_cast<Kel3DViewer*>(drag.viewer);
  // The default light comes from the upper left, towards the user.
  KelEditPanelPopup light(nullptr, KelString("light"), 0, viewer);
  EXPECT_EQ(light.GetAzimuthSlider()->GetValue(), -45.0);
  EXPECT_EQ(light.GetElevationSlider()->GetValue(), 35.0);  // asin(1 / sqrt 3) = 35.26
  auto aim = [&](double azimuth, double elevation) {
    light.GetAzimuthSlider()->SetValue(azimuth);
    light.GetElevationSlider()->SetValue(elevation);
    light.AimLight(nullptr, nullptr, nullptr);
    return viewer->GetModelWindowSL()->GetFirstDirection();
  };
  Keldirection3f d = aim(90, 0);  // from the right
  EXPECT_THAT(std::vector<float>({d.x, d.y, d.z}), keltest::Near({1, 0, 0}));
  d = aim(180, 60);  // from behind the scene, high
  EXPECT_THAT(std::vector<float>({d.x, d.y, d.z}), keltest::Near({0, 0.8660254f, -0.5f}));

  Kel3DVisibilityPopup visibility(nullptr, KelString("visibility"), 0, viewer);
  visibility.GetFogButton()->SetState(1);
  visibility.ActivateNearfarfog(nullptr, nullptr, nullptr);
  EXPECT_EQ(viewer->GetGraphicWindow()->IsFogOn(), 1);
  visibility.GetPolygonModeCombo()->SetSelect(1);
  visibility.ChangePolygonMode(nullptr, nullptr, nullptr);
  EXPECT_EQ(viewer->GetGraphicWindow()->GetPolygonDrawingMode(), 1);
}

}  // namespace

// The graphic window's viewpoints and stereo frames, through the recording
// driver (no X window needed).
#include <gtest/gtest.h>

#include <kel/render/KelDriver.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

#include <memory>
#include <string>
#include <vector>

#include "KelTestDriver.h"

namespace {

std::vector<std::string>* DriverLog() {
  static std::vector<std::string>* log = keltest::LoadTestDriver();
  return log;
}

TEST(GraphicWindow, TheOverlayStaysOnTopAndTheMainViewpointsStay) {
  ASSERT_NE(DriverLog(), nullptr);
  std::unique_ptr<KelGraphicWindow> w(createGraphicWindow(64, 48));
  KelViewpoint* main3D = w->GetMain3DViewpoint();
  KelViewpoint* main2D = w->GetMain2DViewpoint();
  KelViewpoint* overlay = w->GetOverlayViewpoint();
  auto* back = new Kel3DViewpoint;
  auto* front = new Kel2DViewpoint;
  w->AddViewpoint(front, 1);
  w->AddViewpoint(back, 0);
  w->AddViewpoint(overlay, 0);  // ignored
  w->RemoveViewpoint(main3D);   // ignored
  list<KelViewpoint*>& l = w->GetListOfViewpoint();
  ASSERT_EQ(l.Count(), 5);
  const std::vector<KelViewpoint*> order(l.begin(), l.end());
  EXPECT_EQ(order, (std::vector<KelViewpoint*>{back, main3D, main2D, front, overlay}));
}

TEST(GraphicWindow, StereoFramesDrawEachEyeAfterClearingIt) {
  std::vector<std::string>* log = DriverLog();
  ASSERT_NE(log, nullptr);
  std::unique_ptr<KelGraphicWindow> w(createGraphicWindow(64, 48));
  list<KelViewpoint*> one;
  one.Append(w->GetMain3DViewpoint());
  w->ActivateStereoMode(2, 0.25f);
  log->clear();
  w->Drawing(one);
  w->DoSwap();
  EXPECT_EQ(*log, (std::vector<std::string>{"ClearLeft", "BeginDrawLeft 2 0.250000", "EndDraw",
                                            "ClearRight", "BeginDrawRight 2 0.250000", "EndDraw",
                                            "SwapStereo"}));
  w->DeactivateStereoMode();
  log->clear();
  w->Drawing(one);
  w->DoSwap();
  EXPECT_EQ(*log, (std::vector<std::string>{"Clear", "BeginDraw", "EndDraw", "Swap"}));
}

}  // namespace

#include <gtest/gtest.h>

#include <kel/framework/KelCallbackManager.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewers/KelTimeStampedEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

// Logs the viewpoint's events as "<name> <time stamp is now>" and their data.
class Listener : public KelEventSubscriber {
 public:
  explicit Listener(KelViewpoint& v) {
    for (const char* name :
         {KelViewpoint::VIEWPOINT_MODIFIED(), KelViewpoint::VIEWPOINT_ANIMATION_STARTED(),
          KelViewpoint::VIEWPOINT_ANIMATION_STOPED()})
      AddCallback(v.GetCallbackManager(), name, &Listener::Hear, nullptr);
  }
  void Hear(const char* name, KelCallbackManager*, KelNotification* n, void* data, long) {
    using namespace std::chrono;
    // Stamps are the low 32 bits of the milliseconds of the time of day.
    const unsigned long now = static_cast<unsigned long>(
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
    auto* stamped = dynamic_cast<KelTimeStampedEvent*>(n);
    const bool fresh = stamped && ((now - stamped->GetTimeStamp()) & 0xFFFFFFFF) < 60000;
    heard.push_back(name + std::string(fresh ? " now" : ""));
    lastData = data;
  }
  int Count(const std::string& name) const {
    int n = 0;
    for (const std::string& h : heard) n += h.rfind(name, 0) == 0;
    return n;
  }
  std::vector<std::string> heard;
  void* lastData = nullptr;
};

TEST(KelViewpoint, ZoomIsClampedAndOnlyAChangeIsAnEvent) {
  Kel2DViewpoint v;
  Listener l(v);
  v.SetZoom(3.0f);
  v.SetZoom(3.0f);
  v.SetZoomBounds(10.0f, 2.0f);  // put in order; 3 lies inside them
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 1);
  v.SetZoom(50.0f);
  EXPECT_EQ(v.GetZoom(), 10.0f);
  v.SetZoom(0.5f);
  EXPECT_EQ(v.GetZoom(), 2.0f);
  v.SetZoomBounds(4.0f, 8.0f);  // re-clamps the current zoom
  EXPECT_EQ(v.GetZoom(), 4.0f);
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 4);
}

TEST(KelViewpoint, OneModificationEventPerBracket) {
  Kel3DViewpoint v;
  Listener l(v);
  v.BeginModification();
  v.BeginModification();
  v.SetOrigin(Kelpoint3f(1, 2, 3));
  v.EndModification();
  v.SetAngle(20.0f);
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 0);
  v.EndModification();
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 1);
  // A bracket without a change is silent.
  v.BeginModification();
  v.SetGravityMode(GRAVITY_PROPORTIONAL);
  v.EndModification();
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 1);
  // An end without a beginning is refused; the camera keeps reporting changes.
  testing::internal::CaptureStderr();
  v.EndModification();
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("KelViewpoint::EndModification:", 0), 0u);
  v.SetFocus(6.0f);
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 2);
}

TEST(KelViewpoint, AnimationEventsComeFromTheOutermostCalls) {
  Kel3DViewpoint v;
  Listener l(v);
  int tag = 0;
  v.StartAnimation(&tag);
  v.StartAnimation(nullptr);
  v.StopAnimation(nullptr);
  v.StopAnimation(&tag);
  EXPECT_EQ(l.heard, (std::vector<std::string>{"VIEWPOINT_ANIMATION_STARTED now",
                                               "VIEWPOINT_ANIMATION_STOPED now"}));
  EXPECT_EQ(l.lastData, &tag);
  // A stop too many does not swallow the next start.
  testing::internal::CaptureStderr();
  v.StopAnimation(nullptr);
  EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
  v.StartAnimation(nullptr);
  EXPECT_EQ(l.Count("VIEWPOINT_ANIMATION_STARTED"), 2);
}

}  // namespace

// The camera base: zoom and its bounds, the modification bracket, the
// animation events, the Rep lists, the display lists and the object model.
#include <gtest/gtest.h>

#include <kel/framework/KelCallbackManager.h>
#include <kel/render/KelDisplayList.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewers/KelTimeStampedEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

// Records every camera event with its notification and data.
class Listener : public KelEventSubscriber {
 public:
  struct Heard {
    std::string name;
    KelNotification* notification;
    unsigned long time;
    void* data;
  };

  explicit Listener(KelViewpoint& v) {
    KelCallbackManager* m = v.GetCallbackManager();
    for (const char* name :
         {KelViewpoint::VIEWPOINT_MODIFIED(), KelViewpoint::VIEWPOINT_ANIMATION_STARTED(),
          KelViewpoint::VIEWPOINT_ANIMATION_STOPED()})
      AddCallback(m, name, &Listener::Hear, nullptr);
  }
  void Hear(const char* name, KelCallbackManager*, KelNotification* n, void* data, long) {
    auto* stamped = dynamic_cast<KelTimeStampedEvent*>(n);
    heard.push_back({name, n, stamped ? stamped->GetTimeStamp() : 0UL, data});
  }
  int Count(const std::string& name) const {
    int n = 0;
    for (const Heard& h : heard) n += h.name == name;
    return n;
  }

  std::vector<Heard> heard;
};

unsigned long NowMs() {
  using namespace std::chrono;
  return static_cast<unsigned long>(
      duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

}  // namespace

TEST(KelViewpoint, EventNamesAreTheSystemsOwn) {
  EXPECT_STREQ(KelViewpoint::VIEWPOINT_MODIFIED(), "VIEWPOINT_MODIFIED");
  EXPECT_STREQ(KelViewpoint::VIEWPOINT_ANIMATION_STARTED(), "VIEWPOINT_ANIMATION_STARTED");
  EXPECT_STREQ(KelViewpoint::VIEWPOINT_ANIMATION_STOPED(), "VIEWPOINT_ANIMATION_STOPED");
}

TEST(KelViewpoint, ZoomIsClampedAndOnlyAChangeIsAnEvent) {
  Kel2DViewpoint v;
  Listener l(v);
  EXPECT_EQ(v.GetZoom(), 1.0f);
  EXPECT_EQ(v.GetMinimumZoomBound(), 1.0e-10f);
  EXPECT_EQ(v.GetMaximumZoomBound(), 1.0e10f);

  v.SetZoom(3.0f);
  v.SetZoom(3.0f);
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 1);
  EXPECT_EQ(l.heard[0].notification, nullptr);
  EXPECT_EQ(l.heard[0].data, nullptr);

  // Bounds given the wrong way round are put in order; 3 lies inside them.
  v.SetZoomBounds(10.0f, 2.0f);
  EXPECT_EQ(v.GetMinimumZoomBound(), 2.0f);
  EXPECT_EQ(v.GetMaximumZoomBound(), 10.0f);
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 1);

  v.SetZoom(50.0f);
  EXPECT_EQ(v.GetZoom(), 10.0f);
  v.SetZoom(0.5f);
  EXPECT_EQ(v.GetZoom(), 2.0f);
  // New bounds re-clamp the current zoom.
  v.SetZoomBounds(4.0f, 8.0f);
  EXPECT_EQ(v.GetZoom(), 4.0f);
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 4);
}

TEST(KelViewpoint, OneModificationEventPerBracket) {
  Kel3DViewpoint v;
  Listener l(v);
  v.BeginModification();
  v.BeginModification();
  v.SetOrigin(Kelpoint3f(1, 2, 3));
  v.SetFocus(5.0f);
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
  const unsigned long before = NowMs();
  v.StartAnimation(&tag);
  v.StartAnimation(nullptr);
  v.StopAnimation(nullptr);
  ASSERT_EQ(l.heard.size(), 1u);
  EXPECT_EQ(l.heard[0].name, "VIEWPOINT_ANIMATION_STARTED");
  EXPECT_EQ(l.heard[0].data, &tag);
  EXPECT_GE(l.heard[0].time, before);
  EXPECT_LE(l.heard[0].time, NowMs());

  v.StopAnimation(&tag);
  ASSERT_EQ(l.heard.size(), 2u);
  EXPECT_EQ(l.heard[1].name, "VIEWPOINT_ANIMATION_STOPED");
  EXPECT_EQ(l.heard[1].data, &tag);

  // A stop too many does not swallow the next start.
  testing::internal::CaptureStderr();
  v.StopAnimation(nullptr);
  EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
  v.StartAnimation(nullptr);
  EXPECT_EQ(l.Count("VIEWPOINT_ANIMATION_STARTED"), 2);
}

TEST(KelViewpoint, WithoutSubscribersNothingIsPublished) {
  Kel3DViewpoint v;
  v.SetFocus(2.0f);
  v.StartAnimation(nullptr);
  v.StopAnimation(nullptr);
  KelCallbackManager* m = v.GetCallbackManager();
  EXPECT_EQ(v.GetCallbackManager(), m);
}

TEST(KelViewpoint, RepListsBehaveAsOrderedSets) {
  Kel3DViewpoint v;
  Kel3DRep a, b, c;
  EXPECT_TRUE(v.IsEmpty());
  v.AddRep(&a);
  v.AddRep(&b);
  v.AddRep(&a);
  v.AddRep(nullptr);
  v.AddRep(&c);
  ASSERT_EQ(v.GetRepList().Count(), 3);

  // A walk that removes a visited entry goes on with the next one.
  KelRep* r = nullptr;
  v.GetRepList().InitIteration();
  v.GetRepList().Next(r);
  v.GetRepList().Next(r);
  v.RemoveRep(&a);
  ASSERT_TRUE(v.GetRepList().Next(r));
  EXPECT_EQ(r, &c);

  v.RemoveRep(&b);
  v.RemoveRep(&c);
  v.AddFurtiveRep(&a);
  EXPECT_FALSE(v.IsEmpty());
  v.RemoveFurtiveRep(&a);
  EXPECT_TRUE(v.IsEmpty());
}

TEST(KelViewpoint, CopiesLeaveRepsDisplayListsAndSubscribersBehind) {
  Kel3DViewpoint v(Kelpoint3f(1, 2, 3), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0), 2.0f,
                   50.0f, CONIC_PROJECTION, 10.0f);
  Kel3DRep a, b;
  v.AddRep(&a);
  v.AddRep(&b);
  v.AddFurtiveRep(&b);
  v.GetRepList().InitIteration();
  KelRep* r = nullptr;
  v.GetRepList().Next(r);
  v.InitDisplayList();
  Listener l(v);

  KelViewpoint* plain = v.Clone();
  EXPECT_TRUE(plain->IsEmpty());
  EXPECT_EQ(plain->GetDisplayList(), nullptr);
  EXPECT_NE(plain->GetViewport(), v.GetViewport());
  EXPECT_TRUE(plain->IsAKindOf("Kel3DViewpoint"));
  plain->Modify();
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 0);
  delete plain;

  KelViewpoint* full = v.CloneWidthRep();
  EXPECT_EQ(full->GetRepList().Count(), 2);
  EXPECT_EQ(full->GetRepList().Cursor(), 1);
  EXPECT_EQ(full->GetFurtiveRepList()[0], &b);
  delete full;
}

TEST(KelViewpoint, DisplayListsOfEachKindAreCreatedOnceAndOwned) {
  Kel3DViewpoint v3;
  v3.InitDisplayList();
  KelDisplayList* first = v3.GetDisplayList();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetType(), DISPLAY_LIST_3D);
  v3.InitDisplayList();
  EXPECT_EQ(v3.GetDisplayList(), first);

  // The two lists swap without either being freed; the camera deletes both.
  v3.SetBrotherDisplayList(new KelDisplayList(DISPLAY_LIST_3D));
  KelDisplayList* brother = v3.GetBrotherDisplayList();
  v3.SetBrotherDisplayList(first);
  v3.SetDisplayList(brother);
  EXPECT_EQ(v3.GetDisplayList(), brother);

  Kel2DViewpoint v2;
  v2.InitDisplayList();
  EXPECT_EQ(v2.GetDisplayList()->GetType(), DISPLAY_LIST_2D);
}

TEST(KelViewpoint, MetaObjectsTellTheCameraKinds) {
  Kel3DViewpoint v3;
  Kel2DViewpoint v2;
  KelOverlayViewpoint overlay;
  EXPECT_STREQ(Kel3DViewpoint::ClassName(), "Kel3DViewpoint");
  EXPECT_STREQ(overlay.IsA(), "KelOverlayViewpoint");
  EXPECT_TRUE(v3.IsAKindOf(Kel3DViewpoint::ClassName()));
  EXPECT_TRUE(v3.IsAKindOf("KelViewpoint"));
  EXPECT_TRUE(v3.IsAKindOf("KelEventSubscriber"));
  EXPECT_FALSE(v2.IsAKindOf(Kel3DViewpoint::ClassName()));
  EXPECT_TRUE(overlay.IsAKindOf("Kel2DViewpoint"));
  EXPECT_EQ(Kel3DViewpoint::CreateItself(), nullptr);
}

TEST(KelTimeStampedEvent, CarriesItsTimeAndItsKind) {
  KelTimeStampedEvent unstamped, stamped(1234UL);
  EXPECT_EQ(unstamped.GetTimeStamp(), 0UL);
  EXPECT_EQ(stamped.GetTimeStamp(), 1234UL);
  EXPECT_STREQ(stamped.IsA(), "KelTimeStampedEvent");
  EXPECT_TRUE(stamped.IsAKindOf("KelNotification"));

  // Milliseconds of the time of day, well past what 32 bits hold.
  const unsigned long before = NowMs();
  const unsigned long now = KelTimeStampedEvent::CurrentTime();
  EXPECT_GE(now, before);
  EXPECT_LE(now, NowMs());
  EXPECT_GT(now, 4294967296UL);
}

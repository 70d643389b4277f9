#include <gtest/gtest.h>

#include <kel/framework/KelCallbackManager.h>
#include <kel/render/KelDisplayList.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewers/KelTimeStampedEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

class Listener : public KelEventSubscriber {
 public:
  struct Heard {
    std::string name;
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
    heard.push_back({name, stamped ? stamped->GetTimeStamp() : 0UL, data});
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
  // Stamps are the low 32 bits of the milliseconds of the time of day.
  return static_cast<unsigned long>(
      duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count() & 0xFFFFFFFF);
}

}  // namespace

TEST(KelViewpoint, ZoomIsClampedAndOnlyAChangeIsAnEvent) {
  Kel2DViewpoint v;
  Listener l(v);
  v.SetZoom(3.0f);
  v.SetZoom(3.0f);
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 1);

  // Reversed bounds are put in order; 3 lies inside them.
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

TEST(KelViewpoint, RepListsAreOrderedSetsAndCopiesLeaveThemBehind) {
  Kel3DViewpoint v;
  Kel3DRep a, b, c;
  for (Kel3DRep* r : {&a, &b, &a, static_cast<Kel3DRep*>(nullptr), &c}) v.AddRep(r);
  ASSERT_EQ(v.GetRepList().Count(), 3);
  // A walk that removes a visited entry goes on with the next one.
  KelRep* r = nullptr;
  v.GetRepList().InitIteration();
  v.GetRepList().Next(r);
  v.GetRepList().Next(r);
  v.RemoveRep(&a);
  ASSERT_TRUE(v.GetRepList().Next(r));
  EXPECT_EQ(r, &c);
  v.AddFurtiveRep(&b);
  v.InitDisplayList();
  Listener l(v);

  KelViewpoint* plain = v.Clone();
  EXPECT_TRUE(plain->IsEmpty());
  EXPECT_EQ(plain->GetDisplayList(), nullptr);
  EXPECT_NE(plain->GetViewport(), v.GetViewport());
  plain->Modify();
  EXPECT_EQ(l.Count("VIEWPOINT_MODIFIED"), 0);
  delete plain;
  KelViewpoint* full = v.CloneWidthRep();
  EXPECT_EQ(full->GetRepList().Count(), 2);
  EXPECT_EQ(full->GetRepList().Cursor(), v.GetRepList().Cursor());
  EXPECT_EQ(full->GetFurtiveRepList()[0], &b);
  delete full;

  v.RemoveRep(&b);
  v.RemoveRep(&c);
  EXPECT_FALSE(v.IsEmpty());
  v.RemoveFurtiveRep(&b);
  EXPECT_TRUE(v.IsEmpty());
}

TEST(KelViewpoint, DisplayListsAreCreatedOnceAndSwappedWithoutBeingFreed) {
  Kel3DViewpoint v;
  v.InitDisplayList();
  KelDisplayList* first = v.GetDisplayList();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetType(), DISPLAY_LIST_3D);
  v.InitDisplayList();
  EXPECT_EQ(v.GetDisplayList(), first);
  v.SetBrotherDisplayList(new KelDisplayList(DISPLAY_LIST_3D));
  KelDisplayList* brother = v.GetBrotherDisplayList();
  v.SetBrotherDisplayList(first);
  v.SetDisplayList(brother);
  EXPECT_EQ(v.GetDisplayList(), brother);
}

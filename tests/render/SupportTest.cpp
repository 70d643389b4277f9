#include <gtest/gtest.h>

#include <kel/render/KelSupport.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include "KelTestScene.h"

namespace {

using keltest::TestSupport;

class CountedViewpoint : public Kel3DViewpoint {
 public:
  explicit CountedViewpoint(int* deleted) : _deleted(deleted) {}
  ~CountedViewpoint() override { ++*_deleted; }

 private:
  int* _deleted;
};

TEST(Support, ViewpointListIsAnOrderedSetAndOwned) {
  int deleted = 0;
  {
    TestSupport support;
    auto* a = new CountedViewpoint(&deleted);
    auto* b = new CountedViewpoint(&deleted);
    auto* c = new CountedViewpoint(&deleted);
    support.AddViewpoint(a, 1);
    support.AddViewpoint(b, 1);
    support.AddViewpoint(c, 0);  // drawn first
    list<KelViewpoint*>& vps = support.GetListOfViewpoint();
    ASSERT_EQ(vps.Count(), 3);
    EXPECT_EQ(vps[0], c);
    EXPECT_EQ(vps[1], a);
    EXPECT_EQ(vps[2], b);
    // A known or null viewpoint leaves the order alone.
    support.AddViewpoint(b, 0);
    support.AddViewpoint(nullptr, 0);
    EXPECT_EQ(vps.Count(), 3);
    EXPECT_EQ(vps[0], c);
    EXPECT_EQ(vps[2], b);
    EXPECT_EQ(deleted, 0);
  }
  EXPECT_EQ(deleted, 3);
}

TEST(Support, ClippingPlaneStaysStoredWhenRemoved) {
  TestSupport support;
  const float p1[3] = {1, 2, 3}, n1[3] = {0, 0, 1};
  support.AddClippingPlane(p1, n1);
  support.RemoveClippingPlane();
  float *point = nullptr, *normal = nullptr;
  EXPECT_EQ(support.IsClipped(&point, &normal), 0);
  EXPECT_EQ(point[2], 3.0f);
  const float p2[3] = {4, 5, 6}, n2[3] = {1, 0, 0};
  support.AddClippingPlane(p2, n2);
  EXPECT_EQ(support.IsClipped(&point, &normal), 1);
  EXPECT_EQ(point[0], 4.0f);
  EXPECT_EQ(normal[0], 1.0f);
}

}  // namespace

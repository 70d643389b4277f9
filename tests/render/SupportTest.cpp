#include <gtest/gtest.h>

#include <kel/render/KelSupport.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <vector>

#include "KelTestScene.h"

namespace {

TEST(Support, ViewpointListIsAnOrderedSetAndOwned) {
  int deleted = 0;
  struct Counted : Kel3DViewpoint {
    int* deleted;
    explicit Counted(int* d) : deleted(d) {}
    ~Counted() override { ++*deleted; }
  };
  {
    keltest::TestSupport support;
    KelViewpoint *a = new Counted(&deleted), *b = new Counted(&deleted), *c = new Counted(&deleted);
    support.AddViewpoint(a, 1);
    support.AddViewpoint(b, 1);
    support.AddViewpoint(c, 0);  // drawn first
    // A known or null viewpoint leaves the order alone.
    support.AddViewpoint(b, 0);
    support.AddViewpoint(nullptr, 0);
    list<KelViewpoint*>& vps = support.GetListOfViewpoint();
    EXPECT_EQ(std::vector<KelViewpoint*>(vps.Elements(), vps.Elements() + vps.Count()),
              (std::vector<KelViewpoint*>{c, a, b}));
    EXPECT_EQ(deleted, 0);
  }
  EXPECT_EQ(deleted, 3);
}

}  // namespace

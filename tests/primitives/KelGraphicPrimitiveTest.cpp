// Deferred destruction under the primitive lock, and bags.
#include <kel/primitives/KelBagGP.h>
#include <kel/primitives/KelGraphicPrimitive.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KelRecordingRender.h"
#include "KelTestScene.h"

namespace {

using keltest::NamedGP;
using Names = std::vector<std::string>;

// Releases another primitive from its destructor, as a Rep does with its GPs.
class ReleasingGP : public NamedGP {
 public:
  ReleasingGP(std::string name, KelGraphicPrimitive* other)
      : NamedGP(std::move(name)), _other(other) {}
  ~ReleasingGP() override { KelGraphicPrimitive::Destroy(_other); }

 private:
  KelGraphicPrimitive* _other;
};

class KelGraphicPrimitiveTest : public ::testing::Test {
 protected:
  void SetUp() override { NamedGP::deleted.clear(); }
  void TearDown() override {
    // Every test leaves the process-wide state as it found it.
    EXPECT_EQ(KelGraphicPrimitive::_nb_lock, 0);
    EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Count(), 0);
  }
};

TEST_F(KelGraphicPrimitiveTest, LockedDestructionWaitsForTheLastUnlockInRequestOrder) {
  KelGraphicPrimitive::Destroy(new NamedGP("now"));
  KelGraphicPrimitive::Destroy(nullptr);
  EXPECT_EQ(NamedGP::deleted, Names{"now"});

  auto* twice = new NamedGP("twice");
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Destroy(new NamedGP("a"));
  KelGraphicPrimitive::Destroy(twice);
  KelGraphicPrimitive::Destroy(twice);  // parked once
  KelGraphicPrimitive::Destroy(nullptr);
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(NamedGP::deleted, Names{"now"});
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(NamedGP::deleted, (Names{"now", "a", "twice"}));
}

TEST_F(KelGraphicPrimitiveTest, UnbalancedUnlockDoesNotDisableTheNextLock) {
  KelGraphicPrimitive::Unlock();
  KelGraphicPrimitive::Unlock();
  // A counter left below 0 would make this Lock() leave deletion immediate.
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Destroy(new NamedGP("a"));
  EXPECT_TRUE(NamedGP::deleted.empty());
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(NamedGP::deleted, Names{"a"});
}

TEST_F(KelGraphicPrimitiveTest, ParkedPrimitiveReleasingAnotherOnDeletion) {
  auto* inner = new NamedGP("inner");
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Destroy(new ReleasingGP("outer", inner));
  KelGraphicPrimitive::Destroy(new NamedGP("last"));
  KelGraphicPrimitive::Unlock();
  // "outer" logs itself after its destructor body has released "inner".
  EXPECT_EQ(NamedGP::deleted, (Names{"inner", "outer", "last"}));
}

TEST_F(KelGraphicPrimitiveTest, BagDrawsInOrderAndDeletesItsChildrenEvenWhenLocked) {
  KelGraphicPrimitive* children[3] = {new NamedGP("a"), new NamedGP("b"), new NamedGP("c")};
  auto* bag = new KelBagGP(3, children);
  children[0] = children[1] = children[2] = nullptr;  // the bag copied the pointers
  KelRecordingRender render;
  bag->Draw(render);
  EXPECT_EQ(render.Joined(), "Draw a, Draw b, Draw c");
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Delete(bag);
  EXPECT_EQ(NamedGP::deleted, (Names{"a", "b", "c"}));
  KelGraphicPrimitive::Unlock();
}

}  // namespace

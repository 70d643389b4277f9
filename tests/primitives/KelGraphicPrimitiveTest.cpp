// Deferred destruction under the primitive lock, and bags.
#include <kel/primitives/KelBagGP.h>
#include <kel/primitives/KelGraphicPrimitive.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KelRecordingRender.h"
#include "KelTestScene.h"

namespace {

using CountedGP = keltest::NamedGP;

// Releases another primitive from its destructor, as a Rep does with its GPs.
class ReleasingGP : public CountedGP {
 public:
  ReleasingGP(std::string name, KelGraphicPrimitive* other)
      : CountedGP(std::move(name)), _other(other) {}
  ~ReleasingGP() override { KelGraphicPrimitive::Destroy(_other); }

 private:
  KelGraphicPrimitive* _other;
};

using Names = std::vector<std::string>;

class KelGraphicPrimitiveTest : public ::testing::Test {
 protected:
  void SetUp() override { CountedGP::deleted.clear(); }
  void TearDown() override {
    // Every test leaves the process-wide state as it found it.
    EXPECT_EQ(KelGraphicPrimitive::_nb_lock, 0);
    EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Count(), 0);
  }
};

TEST_F(KelGraphicPrimitiveTest, DestroyWithoutLockDeletesAtOnceAndIgnoresNull) {
  KelGraphicPrimitive::Destroy(new CountedGP("a"));
  EXPECT_EQ(CountedGP::deleted, Names{"a"});

  KelGraphicPrimitive::Destroy(nullptr);
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Destroy(nullptr);
  KelGraphicPrimitive::Unlock();  // the fixture checks nothing was parked
}

TEST_F(KelGraphicPrimitiveTest, NestedLocksDeleteAtTheLastUnlockInRequestOrder) {
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Destroy(new CountedGP("a"));
  KelGraphicPrimitive::Destroy(new CountedGP("b"));
  KelGraphicPrimitive::Unlock();
  EXPECT_TRUE(CountedGP::deleted.empty());
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Count(), 2);

  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(CountedGP::deleted, (Names{"a", "b"}));
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Capacity(), 0);
}

TEST_F(KelGraphicPrimitiveTest, SixthDeferredPrimitiveGrowsTheListFromFiveToTen) {
  KelGraphicPrimitive::Lock();
  for (int i = 0; i < 5; ++i) KelGraphicPrimitive::Destroy(new CountedGP(std::to_string(i)));
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Capacity(), 5);
  KelGraphicPrimitive::Destroy(new CountedGP("5"));
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Capacity(), 10);
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Count(), 6);
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(CountedGP::deleted, (Names{"0", "1", "2", "3", "4", "5"}));
}

TEST_F(KelGraphicPrimitiveTest, PrimitiveDestroyedTwiceWhileLockedIsDeletedOnce) {
  auto* a = new CountedGP("a");
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Destroy(a);
  KelGraphicPrimitive::Destroy(a);
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(CountedGP::deleted, Names{"a"});
}

TEST_F(KelGraphicPrimitiveTest, UnbalancedUnlockDoesNotDisableTheNextLock) {
  KelGraphicPrimitive::Unlock();
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(KelGraphicPrimitive::_nb_lock, 0);

  // A counter left below 0 would make this Lock() leave deletion immediate.
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Destroy(new CountedGP("a"));
  EXPECT_TRUE(CountedGP::deleted.empty());
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(CountedGP::deleted, Names{"a"});
}

TEST_F(KelGraphicPrimitiveTest, ParkedPrimitiveReleasingAnotherOnDeletion) {
  auto* inner = new CountedGP("inner");
  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Destroy(new ReleasingGP("outer", inner));
  KelGraphicPrimitive::Destroy(new CountedGP("last"));
  KelGraphicPrimitive::Unlock();
  // "outer" logs itself after its destructor body has released "inner".
  EXPECT_EQ(CountedGP::deleted, (Names{"inner", "outer", "last"}));
}

TEST_F(KelGraphicPrimitiveTest, BagDrawsInOrderAndDeletesItsChildrenEvenWhenLocked) {
  KelGraphicPrimitive* children[3] = {new CountedGP("a"), new CountedGP("b"), new CountedGP("c")};
  auto* bag = new KelBagGP(3, children);
  children[0] = children[1] = children[2] = nullptr;  // the bag copied the pointers

  KelRecordingRender render;
  bag->Draw(render);
  EXPECT_EQ(render.Joined(), "Draw a, Draw b, Draw c");

  KelGraphicPrimitive::Lock();
  KelGraphicPrimitive::Delete(bag);
  EXPECT_EQ(CountedGP::deleted, (Names{"a", "b", "c"}));
  KelGraphicPrimitive::Unlock();
}

}  // namespace

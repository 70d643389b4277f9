#include <kel/framework/KelExtendable.h>
#include <kel/framework/KelMetaObject.h>
#include <kel/framework/KelNotification.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// Outside the anonymous namespace: the meta-object functions are all defined,
// used or not.
class KelTestShape : public KelExtendable {
 public:
  KEL_DECLARE_META(KelTestShape);
};
class KelTestCircle : public KelTestShape {
 public:
  KEL_DECLARE_META(KelTestCircle);
};

KEL_IMPLEMENT_META(KelTestShape, KelExtendable)
KEL_IMPLEMENT_META(KelTestCircle, KelTestShape)

namespace {

TEST(MetaObject, OneMetaObjectPerName) {
  KelMetaObject* m = fct_MetaObjectToFind("KelTestSomething");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(fct_MetaObjectToFind("KelTestSomething"), m);
  // The name is matched as text, not by the caller's pointer.
  const std::string copy = "KelTestSomething";
  EXPECT_EQ(fct_MetaObjectToFind(copy.c_str()), m);
  EXPECT_NE(fct_MetaObjectToFind("KelTestOther"), m);
  EXPECT_EQ(fct_MetaObjectToFind(nullptr), nullptr);
}

TEST(MetaObject, KindOfFollowsTheBaseChain) {
  KelTestCircle circle;
  KelTestShape shape;
  const KelExtendable& asBase = circle;
  EXPECT_STREQ(asBase.IsA(), "KelTestCircle");
  EXPECT_TRUE(asBase.IsAKindOf("KelTestCircle"));
  EXPECT_TRUE(asBase.IsAKindOf("KelTestShape"));
  EXPECT_TRUE(asBase.IsAKindOf("KelExtendable"));
  EXPECT_FALSE(asBase.IsAKindOf("KelNotification"));
  EXPECT_FALSE(asBase.IsAKindOf(nullptr));
  EXPECT_FALSE(shape.IsAKindOf("KelTestCircle"));
  EXPECT_EQ(circle.GiveMetaObject(), fct_MetaObjectToFind("KelTestCircle"));

  KelNotification n(0);
  EXPECT_TRUE(n.IsAKindOf("KelNotification"));
  EXPECT_TRUE(n.IsAKindOf("KelExtendable"));
}

}  // namespace

#include <kel/framework/KelGetEntryPoint.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EntryPoint, FindsASymbolOfARealLibrary) {
  using Cos = double (*)(double);
  auto cosine = reinterpret_cast<Cos>(KelGetEntryPoint("libm.so.6", "cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  // The library stays loaded: a second look-up answers the same entry point.
  EXPECT_EQ(reinterpret_cast<Cos>(KelGetEntryPoint("libm.so.6", "cos")), cosine);
  // Without a symbol only the library is loaded.
  EXPECT_NE(KelGetEntryPoint("libm.so.6", nullptr), nullptr);
}

TEST(EntryPoint, MissingLibraryOrSymbolAnswersNullWithAMessage) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(KelGetEntryPoint("libKelNoSuchLibrary", "anything"), nullptr);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("KelGetEntryPoint: ", 0), 0u) << err;
  // The ".so" was appended before the loader was asked.
  EXPECT_NE(err.find("libKelNoSuchLibrary.so"), std::string::npos) << err;

  testing::internal::CaptureStderr();
  EXPECT_EQ(KelGetEntryPoint("libm.so.6", "kel_no_such_symbol"), nullptr);
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("kel_no_such_symbol"), std::string::npos) << err;

  testing::internal::CaptureStderr();
  EXPECT_EQ(KelGetEntryPoint(nullptr, "cos"), nullptr);
  EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
}

}  // namespace

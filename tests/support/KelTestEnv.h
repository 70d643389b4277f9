// Shared helpers of the test programs.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace keltest {

bool HasDisplay();

inline bool InCI() {
  const char* ci = std::getenv("CI");
  return ci && std::strcmp(ci, "true") == 0;
}

inline std::string DataPath(const std::string& name) {
  return std::string(KEL_TEST_DATA_DIR) + "/" + name;
}
// A path in the running test's own output folder (output/<Suite>.<Test>/), so
// that tests run in parallel never share a file. Created on first use.
std::string OutputPath(const std::string& name);

// Matches numbers within eps of the expected ones, in order.
inline auto Near(std::vector<float> expected, float eps = 1e-4f) {
  return testing::Pointwise(testing::FloatNear(eps), std::move(expected));
}

// Checks the coordinates of a point, vector or direction.
template <class P>
void ExpectXYZ(const P& p, double x, double y, double z, double eps = 1e-4) {
  EXPECT_NEAR(p.x, x, eps);
  EXPECT_NEAR(p.y, y, eps);
  EXPECT_NEAR(p.z, z, eps);
}

inline bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

inline std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace keltest

// Skips a test whose environment is missing (no X display, no tool), except in
// CI where a missing requirement is a failure.
#define KEL_REQUIRE(condition, what)                              \
  do {                                                            \
    if (!(condition)) {                                           \
      if (keltest::InCI()) FAIL() << "missing in CI: " << (what); \
      GTEST_SKIP() << "missing: " << (what);                      \
    }                                                             \
  } while (0)

// Tracing of the picture routines, switched on by the marker file in HOME. The
// switch is read once per process, so each case runs in a fresh process of its
// own (a death test in the "threadsafe" style re-executes the test program).
#include <kel/images/ripicrdt.h>
#include <kel/images/ripicwdt.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "PictureTestFiles.h"

namespace {

using pictest::Bytes;

class PictureTraceTest : public pictest::PictureTest {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// Writes and reads a small picture with HOME in `home` (unset if empty), standard
// output sent to the standard error stream where the death test looks for it.
[[noreturn]] void WriteAndRead(const std::string& home, const std::string& path) {
  if (home.empty())
    unsetenv("HOME");
  else
    setenv("HOME", home.c_str(), 1);
  std::fflush(stdout);  // what the test program printed before
  dup2(2, 1);
  Bytes planes = {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 7};
  int code = 1, size[2] = {2, 2}, origin[2] = {1, 1};
  const int written = ripicwdt(path.c_str(), &code, size, planes.data());
  const int read = ripicrdt(path.c_str(), &code, origin, size, planes.data());
  std::fflush(stdout);
  std::_Exit(written == 0 && read == 0 ? 0 : 1);
}

std::string NewHome(bool marker) {
  std::string dir = keltest::OutputPath("picture-trace-XXXXXX");
  if (!mkdtemp(dir.data())) return "";
  if (marker) std::ofstream(dir + "/ripicdbg") << "";
  return dir;
}

TEST_F(PictureTraceTest, MarkerFileSwitchesTracingOn) {
  const std::string home = NewHome(true);
  ASSERT_FALSE(home.empty());
  const std::string traced = keltest::OutputPath("picture-traced.pic");
  EXPECT_EXIT(WriteAndRead(home, traced), testing::ExitedWithCode(0),
              "\\*+ripicwdt \\*+ [^\\n]*\n.*\\*+ripicrdt \\*+ .*component 3 block 1");

  // The trace changes nothing in the file: compare with one written untraced
  // here, where HOME has no marker (the date item aside).
  const std::string plain = keltest::OutputPath("picture-untraced.pic");
  Bytes planes = {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 7};
  int code = 1, size[2] = {2, 2};
  ASSERT_EQ(ripicwdt(plain.c_str(), &code, size, planes.data()), 0);
  Bytes a = pictest::Load(traced), b = pictest::Load(plain);
  ASSERT_EQ(a.size(), b.size());
  ASSERT_GT(a.size(), 348u);
  std::fill(a.begin() + 320, a.begin() + 348, 0);
  std::fill(b.begin() + 320, b.begin() + 348, 0);
  EXPECT_EQ(a, b);
}

TEST_F(PictureTraceTest, SilentWithoutMarkerOrHome) {
  const std::string home = NewHome(false);
  ASSERT_FALSE(home.empty());
  const std::string path = keltest::OutputPath("picture-silent.pic");
  EXPECT_EXIT(WriteAndRead(home, path), testing::ExitedWithCode(0), "^$");
  EXPECT_EXIT(WriteAndRead("", path), testing::ExitedWithCode(0), "^$");
}

}  // namespace

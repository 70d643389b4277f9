// The kelrender program on bad command lines and bad files: each kind gives
// its own message and exit status before any drawing is tried and leaves no
// file behind; a hostile header costs neither time nor memory.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "KelAppStatus.h"
#include "KelRenderProcess.h"
#include "KelTestEnv.h"

namespace {

using kelrendertest::RunKelrender;

TEST(KelRenderCommand, EachKindOfBadInputHasItsMessageAndStatus) {
  const std::string dir = keltest::OutputPath("");
  const std::string out = dir + "out.png";
  std::ofstream(dir + "garbage.stl") << "this is not a mesh\n";
  mkdir((dir + "taken.png").c_str(), 0755);

  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {{"--size", "0x0", "-o", out}, KELAPP_USAGE, "bad picture size '0x0'"},
      {{"--frobnicate"}, KELAPP_USAGE, "unknown option '--frobnicate'"},
      {{"-o", dir + "out.jpeg"}, KELAPP_USAGE, "unknown image format"},
      {{"-o", dir + "no-such-dir/out.png"}, KELAPP_OUTPUT_FAILED, "No such file or directory"},
      {{"-o", dir + "taken.png"}, KELAPP_OUTPUT_FAILED, "it is a directory"},
      {{dir + "missing.stl", "-o", out}, KELAPP_INPUT_MISSING, "No such file or directory"},
      {{dir + "garbage.stl", "-o", out}, KELAPP_INPUT_MALFORMED, "not an STL file"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += " " + a;
    const keltest::ChildOutcome o = RunKelrender(c.args);
    EXPECT_EQ(o.status, c.status) << joined << "\n" << o.err;
    EXPECT_EQ(o.err.rfind("kelrender: ", 0), 0u) << joined << "\n" << o.err;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << joined << "\n" << o.err;
    EXPECT_EQ(access(out.c_str(), F_OK), -1) << joined;
  }
}

TEST(KelRenderCommand, HostileHeaderIsRefusedAtOnce) {
  // A billion vertices announced, a few bytes given: refused without reading,
  // well inside a second and a hundred megabytes.
  const std::string ply = keltest::OutputPath("billion.ply");
  std::ofstream(ply, std::ios::binary)
      << "ply\nformat binary_little_endian 1.0\nelement vertex 1000000000\nproperty float x\n"
         "property float y\nproperty float z\nend_header\n"
      << std::string(1200, '\0');
  const keltest::ChildOutcome o = RunKelrender({ply, "-o", keltest::OutputPath("billion.png")});
  EXPECT_EQ(o.status, KELAPP_INPUT_MALFORMED) << o.err;
  EXPECT_NE(o.err.find("1000000000 'vertex' elements"), std::string::npos) << o.err;
  EXPECT_LT(o.cpuSeconds, 1.0);
  EXPECT_LT(o.maxResidentKB, 100 * 1024);
}

}  // namespace

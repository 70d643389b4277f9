// The kelrender program on bad command lines and bad files: each kind gives
// its own message and exit status before any drawing is tried and leaves no
// file behind; a hostile header costs neither time nor memory.
#include <gtest/gtest.h>

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

  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {{"-o", dir + "out.jpeg"}, KELAPP_USAGE, "unknown image format"},
      {{"-o", dir + "no-such-dir/out.png"}, KELAPP_OUTPUT_FAILED, "No such file or directory"},
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

TEST(KelRenderCommand, HostileCountsAreRefusedAtOnce) {
  // A billion vertices announced in a few bytes: a PLY header checked before
  // reading, a DirectX file whose reader runs into the memory budget. Both
  // refused well inside a second and a hundred megabytes.
  struct Case {
    const char* name;
    std::string content;
    const char* message;
  };
  const Case cases[] = {
      {"billion.ply",
       std::string("ply\nformat binary_little_endian 1.0\nelement vertex 1000000000\n"
                   "property float x\nproperty float y\nproperty float z\nend_header\n") +
           std::string(1200, '\0'),
       "1000000000 'vertex' elements"},
      {"billion.x",
       "xof 0303txt 0032\nMesh m {\n1000000000;\n0.0;0.0;0.0;,\n1.0;0.0;0.0;,\n0.0;1.0;0.0;;\n"
       "1;\n3;0,1,2;;\n}\n",
       "takes more memory than files within the limits"},
  };
  for (const Case& c : cases) {
    if (kelrendertest::kSanitized && std::string(c.name) == "billion.x") continue;
    const std::string path = keltest::OutputPath(c.name);
    std::ofstream(path, std::ios::binary) << c.content;
    const keltest::ChildOutcome o = RunKelrender({path, "-o", keltest::OutputPath("out.png")});
    EXPECT_EQ(o.status, KELAPP_INPUT_MALFORMED) << o.err;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
    EXPECT_LT(o.cpuSeconds, 1.0) << c.name;
    EXPECT_LT(o.maxResidentKB, 100 * 1024) << c.name;
  }
}

}  // namespace

// The kelrender program on bad command lines and bad files: each kind gives
// its own message and exit status, before any drawing is tried, and leaves no
// file behind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "KelRenderProcess.h"
#include "KelRenderStatus.h"
#include "KelTestEnv.h"

namespace {

using kelrendertest::Outcome;
using kelrendertest::RunKelrender;

TEST(KelRenderCommand, HelpPrintsTheOptionsAndSucceeds) {
  const Outcome o = RunKelrender({"--help"});
  EXPECT_EQ(o.status, KELRENDER_OK);
  for (const char* option : {"--output", "--size", "--view", "--projection", "--background"})
    EXPECT_NE(o.out.find(option), std::string::npos) << option;
  EXPECT_TRUE(o.err.empty()) << o.err;
}

TEST(KelRenderCommand, EachKindOfBadInputHasItsMessageAndStatus) {
  const std::string dir = keltest::OutputPath("command");
  mkdir(dir.c_str(), 0755);
  const std::string out = dir + "/out.png";
  std::ofstream(dir + "/garbage.stl") << "this is not a mesh\n";
  std::ofstream(dir + "/empty.obj");
  std::ofstream(dir + "/points.obj") << "v 0 0 0\nv 1 0 0\n";
  mkdir((dir + "/folder.stl").c_str(), 0755);
  mkdir((dir + "/taken.png").c_str(), 0755);

  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {{"--size", "0x0", "-o", out}, KELRENDER_USAGE, "bad image size '0x0'"},
      {{"--frobnicate"}, KELRENDER_USAGE, "unknown option '--frobnicate'"},
      {{"--view"}, KELRENDER_USAGE, "needs a value"},
      {{"-o", dir + "/out.jpeg"}, KELRENDER_USAGE, "unknown image format"},
      {{"-o", dir + "/no-such-dir/out.png"}, KELRENDER_OUTPUT_FAILED, "No such file or directory"},
      {{"-o", dir + "/taken.png"}, KELRENDER_OUTPUT_FAILED, "it is a directory"},
      {{dir + "/missing.stl", "-o", out}, KELRENDER_INPUT_MISSING, "No such file or directory"},
      {{dir + "/folder.stl", "-o", out}, KELRENDER_INPUT_MISSING, "it is a directory"},
      {{dir + "/garbage.stl", "-o", out}, KELRENDER_INPUT_MALFORMED, "cannot load mesh file"},
      {{dir + "/empty.obj", "-o", out}, KELRENDER_INPUT_MALFORMED, "the file is empty"},
      {{dir + "/points.obj", "-o", out}, KELRENDER_INPUT_MALFORMED, "points.obj"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += " " + a;
    const Outcome o = RunKelrender(c.args);
    EXPECT_EQ(o.status, c.status) << joined << "\n" << o.err;
    EXPECT_EQ(o.err.rfind("kelrender: ", 0), 0u) << joined << "\n" << o.err;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << joined << "\n" << o.err;
    EXPECT_EQ(access(out.c_str(), F_OK), -1) << joined;
  }
}

TEST(KelRenderCommand, UnreadableMeshFileIsToldApartFromAMissingOne) {
  // Root reads any file: there only the message of a readable garbage file
  // can be checked.
  const std::string path = keltest::OutputPath("command-locked.stl");
  std::ofstream(path) << "solid x\nendsolid x\n";
  chmod(path.c_str(), 0);
  const Outcome o = RunKelrender({path, "-o", keltest::OutputPath("command-locked.png")});
  if (geteuid() != 0) {
    EXPECT_EQ(o.status, KELRENDER_INPUT_MISSING) << o.err;
    EXPECT_NE(o.err.find("Permission denied"), std::string::npos) << o.err;
  } else {
    EXPECT_NE(o.status, KELRENDER_OK) << o.err;
  }
  chmod(path.c_str(), 0644);
}

}  // namespace

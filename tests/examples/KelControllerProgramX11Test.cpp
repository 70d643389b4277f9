// The kelcontroller example run as a whole program: the parts are created in
// one transaction and moved in another, each asking the viewer for one redraw.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "KelTestEnv.h"

namespace {

TEST(KelControllerProgram, EachTransactionRedrawsOnce) {
  KEL_REQUIRE(keltest::HasDisplay(), "an X display");
  FILE* program = popen(KEL_KELCONTROLLER_PATH " 3000", "r");
  ASSERT_NE(program, nullptr);
  std::string out;
  char line[256];
  while (std::fgets(line, sizeof line, program)) out += line;
  const int status = pclose(program);
  EXPECT_EQ(out,
            "kelcontroller: created 3000 parts with 1 redraw request(s)\n"
            "kelcontroller: moved 3000 parts with 1 redraw request(s)\n"
            "kelcontroller: drawn\n");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace

// The kelcontroller example run as a whole program: the parts are created in
// one transaction and moved in another, each asking the viewer for one redraw.
#include <gtest/gtest.h>

#include "KelChildProcess.h"
#include "KelTestEnv.h"

namespace {

TEST(KelControllerProgram, EachTransactionRedrawsOnce) {
  KEL_REQUIRE(keltest::HasDisplay(), "an X display");
  const keltest::ChildOutcome o = keltest::RunChild({KEL_KELCONTROLLER_PATH, "3000"});
  EXPECT_EQ(o.out,
            "kelcontroller: created 3000 parts with 1 redraw request(s)\n"
            "kelcontroller: moved 3000 parts with 1 redraw request(s)\n"
            "kelcontroller: drawn\n");
  EXPECT_EQ(o.status, 0) << o.err;
}

}  // namespace

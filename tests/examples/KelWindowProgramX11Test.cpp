// The kelwindow example run as a whole program: its window shows the
// assembly, and Escape typed into it ends it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "KelTestEnv.h"
#include "KelXInput.h"
#include "KelXSession.h"

namespace {

TEST(KelWindowProgram, ShowsTheAssemblyAndEndsOnEscape) {
  Display* d = keltest::TestDisplay();
  KEL_REQUIRE(d != nullptr, "an X display");
  KEL_REQUIRE(std::system("xdotool version > /dev/null 2>&1") == 0, "xdotool");
  FILE* program = popen(KEL_KELWINDOW_PATH, "r");
  ASSERT_NE(program, nullptr);
  // The program says when its first frame is drawn.
  char line[256] = {};
  const bool said = std::fgets(line, sizeof line, program) != nullptr;
  unsigned long id = 0;
  const bool parsed = said && std::sscanf(line, "kelwindow: drawn window 0x%lx", &id) == 1;
  EXPECT_TRUE(parsed) << line;
  if (parsed) {
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(d, id, &a));
    XImage* image = XGetImage(d, id, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    // kelrender's background (46, 52, 64) in the corner, the assembly in the
    // middle.
    auto rgb = [&](int x, int y) {
      const unsigned long p = XGetPixel(image, x, y);
      auto c = [p](unsigned long mask) {
        int shift = 0;
        while (!((mask >> shift) & 1)) ++shift;
        return int((p & mask) >> shift);
      };
      return c(image->red_mask) * 65536 + c(image->green_mask) * 256 + c(image->blue_mask);
    };
    EXPECT_EQ(rgb(2, 2), 46 * 65536 + 52 * 256 + 64);
    int shown = 0;
    for (int y = a.height / 4; y < 3 * a.height / 4; ++y)
      for (int x = a.width / 4; x < 3 * a.width / 4; ++x) shown += rgb(x, y) != rgb(2, 2);
    EXPECT_GT(shown, a.width * a.height / 16);
    XDestroyImage(image);
    const std::string key =
        "xdotool windowfocus --sync " + std::to_string(id) + " key Escape > /dev/null 2>&1";
    EXPECT_EQ(std::system(key.c_str()), 0);
  }
  const int status = pclose(program);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace

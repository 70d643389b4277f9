#include <gtest/gtest.h>

#include <kel/render/KelDriver.h>

#include <algorithm>
#include <cstdlib>

#include "KelTestEnv.h"

namespace {

long Size(const XVisualInfo& v) {
  if (v.c_class == TrueColor || v.c_class == DirectColor)
    return static_cast<long>(v.red_mask | v.green_mask | v.blue_mask) + 1;
  return v.colormap_size;
}

TEST(CreateColormap, ChoosesTheRichestVisualAndCreatesAColormapForIt) {
  Display* display = XOpenDisplay(nullptr);
  KEL_REQUIRE(display != nullptr, "an X display (DISPLAY)");

  XVisualInfo* visual = nullptr;
  unsigned long colormap = 0;
  createColormap(display, &visual, colormap);
  ASSERT_NE(visual, nullptr);
  EXPECT_NE(colormap, 0u);

  XVisualInfo pattern{};
  pattern.screen = DefaultScreen(display);
  int count = 0;
  XVisualInfo* all = XGetVisualInfo(display, VisualScreenMask, &pattern, &count);
  long best = 0;
  for (int i = 0; i < count; ++i) best = std::max(best, Size(all[i]));
  XFree(all);
  EXPECT_EQ(Size(*visual), best);

  // A given visual and colour map are kept.
  unsigned long kept = colormap;
  XVisualInfo* same = visual;
  createColormap(display, &same, kept);
  EXPECT_EQ(same, visual);
  EXPECT_EQ(kept, colormap);

  XFreeColormap(display, colormap);
  std::free(visual);
  XCloseDisplay(display);
}

}  // namespace

// The visual and colour map the OpenGL driver asks windows for, under an X server.
#include <gtest/gtest.h>

#include <kel/render/KelDriver.h>

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "KelTestEnv.h"

namespace {

// GLX is reached through the driver's own libGL, loaded here by name: the
// tests do not link OpenGL.
template <class F>
F Glx(const char* name) {
  static void* gl = dlopen("libGL.so.1", RTLD_NOW | RTLD_GLOBAL);
  return gl ? reinterpret_cast<F>(dlsym(gl, name)) : nullptr;
}

long Size(const XVisualInfo& v) {
  if (v.c_class == TrueColor || v.c_class == DirectColor)
    return static_cast<long>(v.red_mask | v.green_mask | v.blue_mask) + 1;
  return v.colormap_size;
}

TEST(DriverVisual, TrueColourDoubleBufferedWithDepth) {
  KEL_REQUIRE(keltest::HasDisplay(), "an X display");
  Display* display = XOpenDisplay(nullptr);
  KEL_REQUIRE(display != nullptr, "an X display that opens");
  XVisualInfo* visual = findVisual(display);
  ASSERT_NE(visual, nullptr) << "no GLX visual";
  EXPECT_EQ(visual->c_class, TrueColor);
  EXPECT_EQ(visual->screen, DefaultScreen(display));
  const auto getConfig = Glx<int (*)(Display*, XVisualInfo*, int, int*)>("glXGetConfig");
  ASSERT_TRUE(getConfig) << "libGL.so.1";
  for (const auto& [attribute, least] :
       {std::pair<int, int>{GLX_DOUBLEBUFFER, 1}, {GLX_RGBA, 1}, {GLX_DEPTH_SIZE, 16}}) {
    int value = 0;
    EXPECT_EQ(getConfig(display, visual, attribute, &value), 0);
    EXPECT_GE(value, least) << attribute;
  }
  // A given visual is kept and a colour map made on it. The windows' contexts
  // on it: the graphic window tests draw through them.
  XVisualInfo* kept = visual;
  unsigned long colormap = 0;
  createColormap(display, &kept, colormap);
  EXPECT_EQ(kept, visual);
  EXPECT_NE(colormap, 0ul);
  const unsigned long made = colormap;
  createColormap(display, &kept, colormap);
  EXPECT_EQ(colormap, made) << "a given colour map is kept";
  if (colormap) XFreeColormap(display, colormap);
  XFree(visual);

  // Without one, the richest visual of the screen is chosen.
  visual = nullptr;
  colormap = 0;
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
  XFreeColormap(display, colormap);
  std::free(visual);
  XCloseDisplay(display);
}

}  // namespace

// The visual the OpenGL driver asks windows for, under an X server.
#include <gtest/gtest.h>

#include <kel/render/KelDriver.h>

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstdlib>

#include "KelTestEnv.h"

namespace {

// GLX is reached through the driver's own libGL, loaded here by name: the
// tests do not link OpenGL.
template <class F>
F Glx(const char* name) {
  static void* gl = dlopen("libGL.so.1", RTLD_NOW | RTLD_GLOBAL);
  return gl ? reinterpret_cast<F>(dlsym(gl, name)) : nullptr;
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
  const auto createContext =
      Glx<GLXContext (*)(Display*, XVisualInfo*, GLXContext, Bool)>("glXCreateContext");
  const auto destroyContext = Glx<void (*)(Display*, GLXContext)>("glXDestroyContext");
  ASSERT_TRUE(getConfig && createContext && destroyContext) << "libGL.so.1";
  int value = 0;
  EXPECT_EQ(getConfig(display, visual, GLX_DOUBLEBUFFER, &value), 0);
  EXPECT_TRUE(value);
  EXPECT_EQ(getConfig(display, visual, GLX_RGBA, &value), 0);
  EXPECT_TRUE(value);
  EXPECT_EQ(getConfig(display, visual, GLX_DEPTH_SIZE, &value), 0);
  EXPECT_GE(value, 16);
  // The colour map made from it and a context on it exist.
  unsigned long colormap = 0;
  createColormap(display, &visual, colormap);
  EXPECT_NE(colormap, 0ul);
  GLXContext context = createContext(display, visual, nullptr, True);
  EXPECT_NE(context, nullptr);
  if (context) destroyContext(display, context);
  if (colormap) XFreeColormap(display, colormap);
  XFree(visual);
  XCloseDisplay(display);
}

}  // namespace

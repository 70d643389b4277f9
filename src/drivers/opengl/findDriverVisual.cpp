#include <kel/render/KelDriver.h>

#include <GL/glx.h>

#include <cstdlib>

// The first TrueColor visual of the default screen that GLX draws into in
// RGBA, double-buffered, with a depth buffer; a malloc'ed copy.
extern "C" XVisualInfo* findDriverVisual(Display* display) {
  if (!display) return nullptr;
  int errorBase = 0, eventBase = 0;
  if (!glXQueryExtension(display, &errorBase, &eventBase)) return nullptr;
  XVisualInfo pattern{};
  pattern.screen = DefaultScreen(display);
  pattern.c_class = TrueColor;
  int count = 0;
  XVisualInfo* all = XGetVisualInfo(display, VisualScreenMask | VisualClassMask, &pattern, &count);
  XVisualInfo* chosen = nullptr;
  int bestDepth = 0;
  for (int i = 0; i < count; ++i) {
    int gl = 0, rgba = 0, doubleBuffer = 0, depth = 0, red = 0;
    glXGetConfig(display, &all[i], GLX_USE_GL, &gl);
    glXGetConfig(display, &all[i], GLX_RGBA, &rgba);
    glXGetConfig(display, &all[i], GLX_DOUBLEBUFFER, &doubleBuffer);
    glXGetConfig(display, &all[i], GLX_DEPTH_SIZE, &depth);
    glXGetConfig(display, &all[i], GLX_RED_SIZE, &red);
    if (!gl || !rgba || !doubleBuffer || depth < 16 || red < 5) continue;
    if (!chosen || depth > bestDepth) {
      chosen = &all[i];
      bestDepth = depth;
    }
  }
  XVisualInfo* copy = nullptr;
  if (chosen) {
    copy = static_cast<XVisualInfo*>(std::malloc(sizeof(XVisualInfo)));
    if (copy) *copy = *chosen;
  }
  if (all) XFree(all);
  return copy;
}

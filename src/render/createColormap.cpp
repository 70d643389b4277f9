#include <kel/render/KelDriver.h>

#include <cstdlib>

namespace {
// Colours a visual can show: the sum of its masks for true and direct colour,
// its colour-map size otherwise.
long VisualSize(const XVisualInfo& v) {
  if (v.c_class == TrueColor || v.c_class == DirectColor)
    return static_cast<long>(v.red_mask | v.green_mask | v.blue_mask) + 1;
  return v.colormap_size;
}
}  // namespace

void createColormap(Display* display, XVisualInfo** visual, unsigned long& colormap) {
  if (!display || !visual) return;
  if (!*visual) {
    XVisualInfo pattern{};
    pattern.screen = DefaultScreen(display);
    int count = 0;
    XVisualInfo* all = XGetVisualInfo(display, VisualScreenMask, &pattern, &count);
    const XVisualInfo* chosen = nullptr;
    long best = 0;
    int chosenClass = -1;
    for (int i = 0; i < count; ++i) {
      const long size = VisualSize(all[i]);
      if (size < best) continue;
      const bool direct = all[i].c_class == TrueColor || all[i].c_class == DirectColor;
      if (!direct && all[i].c_class < chosenClass) continue;
      chosen = &all[i];
      best = size;
      chosenClass = all[i].c_class;
    }
    if (chosen) {
      auto* copy = static_cast<XVisualInfo*>(std::malloc(sizeof(XVisualInfo)));
      if (copy) *copy = *chosen;
      *visual = copy;
    }
    if (all) XFree(all);
    if (!*visual) return;
  }
  if (colormap == 0)
    colormap = XCreateColormap(display, RootWindow(display, DefaultScreen(display)),
                               (*visual)->visual, AllocNone);
}

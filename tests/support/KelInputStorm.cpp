#include "KelInputStorm.h"

#include <X11/extensions/XTest.h>

#include <random>

#include "KelXInput.h"

namespace keltest {

StormCounts InputStorm(Window window, int events, unsigned seed, const std::vector<KeySym>& keys) {
  StormCounts counts;
  Display* d = TestDisplay();
  if (!d) return counts;
  std::mt19937 random(seed);
  auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  int left = 0, top = 0, width = 1, height = 1;
  auto locate = [&] {
    XWindowAttributes a;
    Window child;
    if (!XGetWindowAttributes(d, window, &a)) return;
    XTranslateCoordinates(d, window, a.root, 0, 0, &left, &top, &child);
    width = a.width > 0 ? a.width : 1;
    height = a.height > 0 ? a.height : 1;
  };
  locate();
  bool held[4] = {};
  for (int i = 0; i < events; ++i) {
    const int kind = below(100);
    if (kind < 60) {
      XTestFakeMotionEvent(d, DefaultScreen(d), left + below(width), top + below(height),
                           CurrentTime);
      ++counts.moves;
    } else if (kind < 82) {
      const int button = 1 + below(3);
      XTestFakeButtonEvent(d, static_cast<unsigned>(button), held[button] ? False : True,
                           CurrentTime);
      held[button] = !held[button];
      ++counts.buttons;
    } else if (kind < 97 && !keys.empty()) {
      const KeyCode code = XKeysymToKeycode(d, keys[static_cast<size_t>(below(int(keys.size())))]);
      if (code) {
        XTestFakeKeyEvent(d, code, True, CurrentTime);
        XTestFakeKeyEvent(d, code, False, CurrentTime);
      }
      ++counts.keys;
    } else {
      XResizeWindow(d, window, static_cast<unsigned>(200 + below(500)),
                    static_cast<unsigned>(150 + below(400)));
      XSync(d, False);
      locate();
      ++counts.resizes;
    }
    if (i % 64 == 63) XFlush(d);
  }
  for (int button = 1; button <= 3; ++button)
    if (held[button]) XTestFakeButtonEvent(d, static_cast<unsigned>(button), False, CurrentTime);
  XSync(d, False);
  return counts;
}

}  // namespace keltest

// Random real input (XTest) into a top-level window, for robustness runs:
// pointer moves inside the window, presses and releases of buttons 1 to 3,
// taps of the given keys, and resizes of the window. The same seed gives the
// same storm. The window need not belong to this process.
#pragma once

#include <X11/Xlib.h>

#include <vector>

namespace keltest {

struct StormCounts {
  int moves = 0;
  int buttons = 0;
  int keys = 0;
  int resizes = 0;
};

// Sends `events` events, then releases every button it holds and syncs with
// the server (the window's program may still be working through them).
StormCounts InputStorm(Window window, int events, unsigned seed, const std::vector<KeySym>& keys);

}  // namespace keltest

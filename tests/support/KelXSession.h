// X sessions of the x11 tests, on the dialog toolkit's display and event loop:
// top-level shells, real input through XTest, and waits that run the event
// loop until a condition holds (never a fixed time).
#pragma once

#include <X11/Intrinsic.h>

#include <functional>

class KelPixelImage;

namespace keltest {

// The toolkit's display; null when none can be opened.
Display* XDisplay();
// A top-level shell of that size under the toolkit's application shell, not
// realized yet, that follows its child's size. The caller destroys it.
Widget MakeTopLevel(const char* name, int width, int height);
// Runs the event loop until `done()` holds; false when `limitMs` passed first.
bool RunUntil(const std::function<bool()>& done, int limitMs = 20000);
// Dispatches everything the server has sent so far, and what that causes.
void Settle();
// XTest input. Positions are in pixels of `window`.
void MovePointer(Window window, int x, int y);
void PressButton(unsigned button, bool press);
void PressKey(KeySym symbol, bool press);

// Pixels whose channels differ by more than `tolerance` between two RGB
// images of one size; -1 when their sizes or formats differ.
int CountDifferentPixels(const KelPixelImage& a, const KelPixelImage& b, int tolerance);

}  // namespace keltest

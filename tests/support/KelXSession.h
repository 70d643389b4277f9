// Graphic-window sessions of the x11 tests, beside the toolkit's input helpers
// (KelXInput.h): top-level shells, held keys, settling chains of events, and
// comparing the pictures windows show.
#pragma once

#include <X11/Intrinsic.h>

class KelPixelImage;

namespace keltest {

// A top-level shell of that size under the toolkit's application shell, not
// realized yet, that follows its child's size. The caller destroys it.
Widget MakeTopLevel(const char* name, int width, int height);
// Dispatches everything the server has sent so far, and what that causes in
// turn (a redraw message that sends the next one), up to a bound.
void Settle();
// Presses (or releases) a key and leaves it so: modifiers held over clicks.
void HoldKey(KeySym symbol, bool press);

// Pixels whose channels differ by more than `tolerance` between two RGB
// images of one size; -1 when their sizes or formats differ.
int CountDifferentPixels(const KelPixelImage& a, const KelPixelImage& b, int tolerance);

}  // namespace keltest

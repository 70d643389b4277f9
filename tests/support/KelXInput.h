// Real input for the x11 tests: pointer and keys through the XTest extension,
// and waiting for what they cause by running the toolkit's event loop until a
// condition holds (bounded, never a fixed sleep).
#pragma once

#include <X11/Intrinsic.h>

#include <functional>

namespace keltest {

// The toolkit's display (opened on first use), or null.
Display* TestDisplay();
// Runs the event loop until `done` answers true or `timeoutMs` pass; answers
// `done()`.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Makes a round trip to the server, then dispatches everything queued.
void PumpPending();
// Waits until the widget's window is mapped and viewable.
bool WaitViewable(Widget widget, int timeoutMs = 5000);

// Position of a point of the widget on the screen: its centre by default, or
// (dx, dy) from its top left corner.
void ScreenPosition(Widget widget, int& x, int& y, int dx = -1, int dy = -1);
void PointerTo(int x, int y);
void PointerTo(Widget widget, int dx = -1, int dy = -1);
void PressButton(int button);
void ReleaseButton(int button);
// Moves onto the widget and clicks there.
void Click(Widget widget, int button = 1, int dx = -1, int dy = -1);
// Presses and releases a key, with Shift when `shift`.
void TapKey(KeySym key, bool shift = false);
// Sends the window-manager request to close the shell's window, as a window
// manager does.
void RequestClose(Widget shell);

}  // namespace keltest

#include <map>
#include <string>

namespace keltest {
// The X resources this process holds on the server, by type ("WINDOW",
// "PIXMAP", "GC", "FONT", ...), from the X-Resource extension.
std::map<std::string, int> OwnXResources();
}  // namespace keltest

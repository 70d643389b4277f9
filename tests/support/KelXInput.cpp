#include "KelXInput.h"

#include <kel/framework/KelDlgICC.h>

#include <X11/IntrinsicP.h>
#include <X11/extensions/XTest.h>

#include <chrono>

namespace keltest {

Display* TestDisplay() {
  return KelDlgICC::GetXtDisplay();
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  if (Display* display = TestDisplay()) XFlush(display);
  while (!done()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return done();
    if (KelDlgICC::ProcessNextEvent(static_cast<int>(left)) < 0) return done();
  }
  return true;
}

void PumpPending() {
  if (Display* display = TestDisplay()) XSync(display, False);
  KelDlgICC::ProcessPendingEvents();
}

bool WaitViewable(Widget widget, int timeoutMs) {
  return PumpUntil(
      [widget] {
        if (!widget || !XtIsRealized(widget)) return false;
        XWindowAttributes attributes;
        return XGetWindowAttributes(XtDisplay(widget), XtWindow(widget), &attributes) &&
               attributes.map_state == IsViewable;
      },
      timeoutMs);
}

void ScreenPosition(Widget widget, int& x, int& y, int dx, int dy) {
  Display* display = XtDisplay(widget);
  Window child;
  if (dx < 0) dx = widget->core.width / 2;
  if (dy < 0) dy = widget->core.height / 2;
  XTranslateCoordinates(display, XtWindow(widget), DefaultRootWindow(display), dx, dy, &x, &y,
                        &child);
}

void PointerTo(int x, int y) {
  Display* display = TestDisplay();
  XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
  XFlush(display);
}

void PointerTo(Widget widget, int dx, int dy) {
  int x = 0, y = 0;
  ScreenPosition(widget, x, y, dx, dy);
  PointerTo(x, y);
}

void PressButton(int button) {
  XTestFakeButtonEvent(TestDisplay(), static_cast<unsigned>(button), True, CurrentTime);
  XFlush(TestDisplay());
}

void ReleaseButton(int button) {
  XTestFakeButtonEvent(TestDisplay(), static_cast<unsigned>(button), False, CurrentTime);
  XFlush(TestDisplay());
}

void Click(Widget widget, int button, int dx, int dy) {
  PointerTo(widget, dx, dy);
  PressButton(button);
  ReleaseButton(button);
}

void TapKey(KeySym key, bool shift) {
  Display* display = TestDisplay();
  const KeyCode shiftCode = XKeysymToKeycode(display, XK_Shift_L);
  const KeyCode code = XKeysymToKeycode(display, key);
  if (shift) XTestFakeKeyEvent(display, shiftCode, True, CurrentTime);
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  if (shift) XTestFakeKeyEvent(display, shiftCode, False, CurrentTime);
  XFlush(display);
}

void RequestClose(Widget shell) {
  Display* display = XtDisplay(shell);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = XtWindow(shell);
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, XtWindow(shell), False, NoEventMask, &event);
  XFlush(display);
}

}  // namespace keltest

#include <X11/extensions/XRes.h>

namespace keltest {

std::map<std::string, int> OwnXResources() {
  std::map<std::string, int> owned;
  Display* display = TestDisplay();
  Widget shell = KelDlgICC::GetApplicationShell();
  if (!display || !shell) return owned;
  XSync(display, False);
  // Our client is the one whose identifiers our own window shares.
  const XID ours = XtWindow(shell);
  int clientCount = 0;
  XResClient* clients = nullptr;
  if (!XResQueryClients(display, &clientCount, &clients)) return owned;
  for (int i = 0; i < clientCount; ++i) {
    if ((ours & ~clients[i].resource_mask) != clients[i].resource_base) continue;
    int typeCount = 0;
    XResType* types = nullptr;
    if (XResQueryClientResources(display, clients[i].resource_base, &typeCount, &types)) {
      for (int t = 0; t < typeCount; ++t) {
        char* name = XGetAtomName(display, types[t].resource_type);
        owned[name ? name : "?"] = static_cast<int>(types[t].count);
        if (name) XFree(name);
      }
      XFree(types);
    }
  }
  XFree(clients);
  return owned;
}

}  // namespace keltest

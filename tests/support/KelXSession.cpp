#include "KelXSession.h"

#include <kel/framework/KelDlgICC.h>
#include <kel/images/KelPixelImage.h>

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>

namespace keltest {

Display* XDisplay() {
  return KelDlgICC::GetXtDisplay();
}

Widget MakeTopLevel(const char* name, int width, int height) {
  Widget application = KelDlgICC::GetApplicationShell();
  if (!application) return nullptr;
  Arg args[3];
  XtSetArg(args[0], XtNwidth, static_cast<Dimension>(width));
  XtSetArg(args[1], XtNheight, static_cast<Dimension>(height));
  XtSetArg(args[2], XtNallowShellResize, True);
  return XtCreatePopupShell(name, topLevelShellWidgetClass, application, args, 3);
}

bool RunUntil(const std::function<bool()>& done, int limitMs) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(limitMs);
  while (!done()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return false;
    XFlush(XDisplay());
    if (KelDlgICC::ProcessNextEvent(static_cast<int>(left)) < 0) return false;
  }
  return true;
}

void Settle() {
  Display* display = XDisplay();
  if (!display) return;
  // Each round may cause more events (a redraw message sends the next one).
  for (int round = 0; round < 100; ++round) {
    XSync(display, False);
    if (KelDlgICC::ProcessPendingEvents() == 0) return;
  }
}

void MovePointer(Window window, int x, int y) {
  Display* display = XDisplay();
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rx, &ry, &child);
  XTestFakeMotionEvent(display, DefaultScreen(display), rx, ry, CurrentTime);
  XSync(display, False);
}

void PressButton(unsigned button, bool press) {
  Display* display = XDisplay();
  XTestFakeButtonEvent(display, button, press ? True : False, CurrentTime);
  XSync(display, False);
}

void PressKey(KeySym symbol, bool press) {
  Display* display = XDisplay();
  XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), press ? True : False, CurrentTime);
  XSync(display, False);
}

int CountDifferentPixels(const KelPixelImage& a, const KelPixelImage& b, int tolerance) {
  int wa = 0, ha = 0, wb = 0, hb = 0;
  a.GetSize(wa, ha);
  b.GetSize(wb, hb);
  if (wa != wb || ha != hb || a.GetFormat() != PixelImageRGB || b.GetFormat() != PixelImageRGB)
    return -1;
  const unsigned char* pa = a.GetPixelsToRead();
  const unsigned char* pb = b.GetPixelsToRead();
  int different = 0;
  for (int i = 0; i < wa * ha; ++i)
    for (int c = 0; c < 3; ++c)
      if (std::abs(pa[3 * i + c] - pb[3 * i + c]) > tolerance) {
        ++different;
        break;
      }
  return different;
}

}  // namespace keltest

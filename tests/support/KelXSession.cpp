#include "KelXSession.h"

#include <kel/framework/KelDlgICC.h>
#include <kel/images/KelPixelImage.h>

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

#include "KelXInput.h"

namespace keltest {

Widget MakeTopLevel(const char* name, int width, int height) {
  Widget application = KelDlgICC::GetApplicationShell();
  if (!application) return nullptr;
  Arg args[3];
  XtSetArg(args[0], XtNwidth, static_cast<Dimension>(width));
  XtSetArg(args[1], XtNheight, static_cast<Dimension>(height));
  XtSetArg(args[2], XtNallowShellResize, True);
  return XtCreatePopupShell(name, topLevelShellWidgetClass, application, args, 3);
}

void Settle() {
  Display* display = TestDisplay();
  if (!display) return;
  for (int round = 0; round < 100; ++round) {
    XSync(display, False);
    if (KelDlgICC::ProcessPendingEvents() == 0) return;
  }
}

void HoldKey(KeySym symbol, bool press) {
  Display* display = TestDisplay();
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

#include <kel/framework/KelCleaner.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgWindow.h>

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/MwmUtil.h>
#include <Xm/Protocols.h>
#include <Xm/Xm.h>

#include <algorithm>

#include "KelDlgGrid.h"

KEL_IMPLEMENT_META(KelDlgWindow, KelDialog)

KelDlgWindow::KelDlgWindow(KelDialog* father, const KelString& name, unsigned long style)
    : KelDialog(father, name, style) {
  _visibility = KelDlgHidden;
  Build();
}

KelDlgWindow::KelDlgWindow(KelDialog* father, const KelString& name, unsigned long style, NoBuild)
    : KelDialog(father, name, style) {
  _visibility = KelDlgHidden;
}

KelDlgWindow::~KelDlgWindow() = default;

Widget KelDlgWindow::CreateShell(void* widgetClass) {
  KelDialog* father = GetFatherDialog();
  Widget parent =
      father && father->GetWidget() ? father->GetWidget() : KelDlgICC::GetApplicationShell();
  Widget shell =
      XtVaCreatePopupShell(GetName().CastToCharPtr(), static_cast<WidgetClass>(widgetClass), parent,
                           XmNdeleteResponse, XmDO_NOTHING, XmNallowShellResize, True, nullptr);
  Listen(shell, XmNpopupCallback, static_cast<Handler>(&KelDlgWindow::PoppedUp));
  Listen(shell, XmNpopdownCallback, static_cast<Handler>(&KelDlgWindow::PoppedDown));
  XmAddWMProtocolCallback(
      shell, XmInternAtom(XtDisplay(shell), const_cast<char*>("WM_DELETE_WINDOW"), False),
      ForwardCallback, CallbackRecord(static_cast<Handler>(&KelDlgWindow::CloseRequested)));
  ApplyGeometry(shell);
  return shell;
}

Widget KelDlgWindow::CreateWidgets() {
  Widget shell = CreateShell(topLevelShellWidgetClass);
  _panel = CreateGrid(shell, "panel");
  XtManageChild(_panel);
  return shell;
}

void KelDlgWindow::WidgetDestroyed() {
  _panel = nullptr;
}

void KelDlgWindow::ShowTitle() {
  Widget shell = GetWidget();
  if (!shell) return;
  if (!_title.IsNull()) XtVaSetValues(shell, XmNtitle, _title.CastToCharPtr(), nullptr);
  if (!_iconName.IsNull()) XtVaSetValues(shell, XmNiconName, _iconName.CastToCharPtr(), nullptr);
}

void KelDlgWindow::SetVisibility(int state) {
  state = state == KelDlgShown ? KelDlgShown : KelDlgHidden;
  KelCleaner::Processing processing;
  Widget shell = GetWidget();
  if (!shell) {
    ChangeVisibility(state);
    return;
  }
  // The shell's popup and popdown callbacks report the change.
  if (state == KelDlgShown)
    XtPopup(shell, XtGrabNone);
  else
    XtPopdown(shell);
}

void KelDlgWindow::PoppedUp(Widget, void*) {
  ChangeVisibility(KelDlgShown);
}

void KelDlgWindow::PoppedDown(Widget, void*) {
  ChangeVisibility(KelDlgHidden);
}

void KelDlgWindow::CloseRequested(Widget, void*) {
  if (!Notify(KelDlgNotification::DLG_CLOSE())) SetVisibility(KelDlgHidden);
}

void KelDlgWindow::SetRectDimensions(int x, int y, int width, int height) {
  if (_fullScreen) {
    // Kept for the return from full screen.
    const int normal[5] = {x, y, width, height, width > 0 && height > 0};
    std::copy(normal, normal + 5, _normalRect);
    return;
  }
  StoreRect(x, y, width, height);
  _sizeFixed = width > 0 && height > 0;
  _placed = 1;
  if (Widget shell = GetWidget()) ApplyGeometry(shell);
}

void KelDlgWindow::ScreenSize(int& width, int& height) const {
  width = height = 0;
  Widget w = GetWidget() ? GetWidget() : KelDlgICC::GetApplicationShell();
  if (!w) return;
  width = WidthOfScreen(XtScreen(w));
  height = HeightOfScreen(XtScreen(w));
}

void KelDlgWindow::ApplyGeometry(Widget shell) {
  if (_fullScreen) {
    int width = 0, height = 0;
    ScreenSize(width, height);
    XtVaSetValues(shell, XmNmwmDecorations, 0, XmNx, 0, XmNy, 0, XmNwidth, width, XmNheight, height,
                  nullptr);
    return;
  }
  const int* r = GetRect();
  if (_placed) XtVaSetValues(shell, XmNx, r[0], XmNy, r[1], nullptr);
  if (_sizeFixed) XtVaSetValues(shell, XmNwidth, r[2], XmNheight, r[3], nullptr);
}

void KelDlgWindow::SetFullScreen(int on) {
  on = on ? 1 : 0;
  if (on == _fullScreen) return;
  KelCleaner::Processing processing;
  Widget shell = GetWidget();
  if (on) {
    int x = 0, y = 0, width = 0, height = 0;
    GetRectDimensions(x, y, width, height);
    const int normal[5] = {x, y, width, height, _sizeFixed};
    std::copy(normal, normal + 5, _normalRect);
    _fullScreen = 1;
    if (shell) ApplyGeometry(shell);
  } else {
    _fullScreen = 0;
    StoreRect(_normalRect[0], _normalRect[1], _normalRect[2], _normalRect[3]);
    _sizeFixed = _normalRect[4];
    _placed = 1;
    if (shell) {
      XtVaSetValues(shell, XmNmwmDecorations, MWM_DECOR_ALL, XmNx, _normalRect[0], XmNy,
                    _normalRect[1], nullptr);
      if (_normalRect[2] > 0 && _normalRect[3] > 0)
        XtVaSetValues(shell, XmNwidth, _normalRect[2], XmNheight, _normalRect[3], nullptr);
      if (!_sizeFixed) KelDlgGrid::Relayout(_panel);
    }
  }
  // Window managers that follow the extended hints take the state from them.
  if (shell && XtIsRealized(shell)) {
    Display* display = XtDisplay(shell);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = XtWindow(shell);
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = on;
    event.xclient.data.l[1] =
        static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    event.xclient.data.l[3] = 1;
    XSendEvent(display, RootWindowOfScreen(XtScreen(shell)), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
  }
}

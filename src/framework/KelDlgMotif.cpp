#include <kel/framework/KelCleaner.h>
#include <kel/framework/KelDlgMotif.h>

#include <X11/IntrinsicP.h>
#include <Xm/Frame.h>
#include <Xm/MenuShell.h>
#include <Xm/RowColumn.h>
#include <Xm/Xm.h>

#include "KelDlgGrid.h"

KEL_IMPLEMENT_META(KelDlgMotif, KelDialog)

// What the frame under another father knows of its dialog.
struct KelDlgMotif::HostLink {
  KelDlgMotif* motif;
  bool grab = false;  // button 3 is to be taken over the frame, once it has a window

  static void Destroyed(Widget, XtPointer client, XtPointer) {
    auto* link = static_cast<HostLink*>(client);
    if (KelDlgMotif* motif = link->motif) {
      // Destroyed with its father: the content goes home while the frame's
      // window, which holds it, still exists.
      motif->_hostLink = nullptr;
      if (motif->_home) motif->MoveContent(motif->_home);
      motif->_host = nullptr;
      motif->SetWidget(motif->_home);
      if (motif->_home && motif->GetVisibility() == KelDlgShown) XtManageChild(motif->_home);
    }
    delete link;
  }
  static void Mapped(Widget frame, XtPointer client, XEvent* event, Boolean*) {
    auto* link = static_cast<HostLink*>(client);
    if (event->type == MapNotify && link->motif && link->motif->_content != frame)
      link->motif->MoveContent(frame);
  }
  // Button 3 over the content posts the contextual menu it had at home: the
  // press goes to the widget that owns the menu, as if made over it.
  static void Pressed(Widget, XtPointer client, XEvent* event, Boolean*) {
    auto* link = static_cast<HostLink*>(client);
    Widget owner = link->motif ? MenuOwner(link->motif->_home) : nullptr;
    if (event->type != ButtonPress || event->xbutton.button != Button3 || !owner ||
        !XtIsRealized(owner))
      return;
    XEvent press = *event;
    Window child = None;
    XTranslateCoordinates(XtDisplay(owner), RootWindowOfScreen(XtScreen(owner)), XtWindow(owner),
                          event->xbutton.x_root, event->xbutton.y_root, &press.xbutton.x,
                          &press.xbutton.y, &child);
    press.xbutton.window = XtWindow(owner);
    press.xbutton.subwindow = None;
    XtDispatchEvent(&press);
  }
  // The nearest widget above `w` with a menu that button 3 posts.
  static Widget MenuOwner(Widget w) {
    for (Widget owner = w ? XtParent(w) : nullptr; owner && !XtIsShell(owner);
         owner = XtParent(owner))
      for (Cardinal i = 0; i < owner->core.num_popups; ++i) {
        auto* shell = reinterpret_cast<CompositeWidget>(owner->core.popup_list[i]);
        if (!XmIsMenuShell(owner->core.popup_list[i]) || shell->composite.num_children == 0)
          continue;
        unsigned char enabled = XmPOPUP_DISABLED;
        XtVaGetValues(shell->composite.children[0], XmNpopupEnabled, &enabled, nullptr);
        if (enabled != XmPOPUP_DISABLED) return owner;
      }
    return nullptr;
  }
};

KelDlgMotif::KelDlgMotif(KelDialog* father, const KelString& name, unsigned long style, int x,
                         int y, int width, int height)
    : KelDialog(father, name, style) {
  // A position of (0, 0) leaves the dialog in its father's first cell.
  StoreRect(x, y, width, height, x != 0 || y != 0);
  Build();
}

KelDlgMotif::~KelDlgMotif() {
  // The base destroys the first frame, and the content with it.
  if (_host) {
    if (_home) MoveContent(_home);
    DropHost();
    SetWidget(_home);
  }
}

namespace {
Widget CreateFrame(Widget parent, const char* name) {
  return XtVaCreateWidget(name, xmFrameWidgetClass, parent, XmNshadowThickness, 0, XmNmarginWidth,
                          0, XmNmarginHeight, 0, nullptr);
}
}  // namespace

Widget KelDlgMotif::CreateWidgets() {
  Widget parent = GetParentWidget();
  if (!parent) return nullptr;
  _home = _content = CreateFrame(parent, GetName().CastToCharPtr());
  return _home;
}

void KelDlgMotif::WidgetDestroyed() {
  _home = nullptr;
  _content = nullptr;
  if (_host) DropHost();
}

void KelDlgMotif::DropHost() {
  if (_hostLink) _hostLink->motif = nullptr;
  _hostLink = nullptr;
  Widget host = _host;
  _host = nullptr;
  if (_content == host) _content = nullptr;
  if (host) XtDestroyWidget(host);
}

void KelDlgMotif::MoveContent(Widget frame) {
  if (!_home || !frame) return;
  if (!XtIsRealized(frame)) return;  // done when it is mapped
  auto* home = reinterpret_cast<CompositeWidget>(_home);
  for (Cardinal i = 0; i < home->composite.num_children; ++i) {
    Widget child = home->composite.children[i];
    if (!XtIsRealized(child) || child->core.being_destroyed) continue;
    if (_content != frame)
      XReparentWindow(XtDisplay(child), XtWindow(child), XtWindow(frame), 0, 0);
    const int border = child->core.border_width;
    const int width = frame->core.width - 2 * border, height = frame->core.height - 2 * border;
    XtConfigureWidget(child, 0, 0, static_cast<Dimension>(width > 0 ? width : 1),
                      static_cast<Dimension>(height > 0 ? height : 1),
                      static_cast<Dimension>(border));
  }
  _content = frame;
  // An X grab, not an Xt one: Xt would send the forwarded press back here.
  if (frame == _host && _hostLink && _hostLink->grab) {
    _hostLink->grab = false;
    XGrabButton(XtDisplay(frame), Button3, AnyModifier, XtWindow(frame), False,
                ButtonPressMask | ButtonReleaseMask, GrabModeAsync, GrabModeAsync, None, None);
  }
}

void KelDlgMotif::GeometryChanged() {
  KelDialog::GeometryChanged();
  // The first frame fits its content itself; another one is not its Xt parent.
  if (_host && GetWidget() == _host) MoveContent(_host);
}

int KelDlgMotif::Reparent(KelDialog* father) {
  KelDialog* old = GetFatherDialog();
  if (!MoveInTree(father)) return 0;
  KelCleaner::Processing processing;
  Widget container = father->GetContainerWidget();
  if (_home && container) {
    const bool shown = GetVisibility() == KelDlgShown;
    if (container == XtParent(_home)) {
      MoveContent(_home);
      DropHost();
      SetWidget(_home);
      if (shown) XtManageChild(_home);
      MoveContent(_home);
      // Back to the size of its first place, which did not change meanwhile:
      // told as the other resizes are.
      GeometryChanged();
    } else {
      Widget previous = _host;
      HostLink* previousLink = _hostLink;
      _host = CreateFrame(container, GetName().CastToCharPtr());
      _hostLink = new HostLink{this};
      XtAddCallback(_host, XmNdestroyCallback, HostLink::Destroyed, _hostLink);
      XtAddEventHandler(_host, StructureNotifyMask, False, HostLink::Mapped, _hostLink);
      XtUnmanageChild(_home);
      SetWidget(_host);
      if (shown) XtManageChild(_host);
      if (HostLink::MenuOwner(_home)) {
        XtAddEventHandler(_host, ButtonPressMask, False, HostLink::Pressed, _hostLink);
        _hostLink->grab = true;
      }
      MoveContent(_host);
      if (previous) {
        // The content has left it (or goes on mapping of the new frame).
        if (_content == previous) MoveContent(_home);
        previousLink->motif = nullptr;
        XtDestroyWidget(previous);
      }
    }
  }
  if (old) KelDlgGrid::Relayout(old->GetContainerWidget());
  return 1;
}

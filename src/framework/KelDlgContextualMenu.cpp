#include <kel/framework/KelCleaner.h>
#include <kel/framework/KelDlgContextualMenu.h>

#include <X11/IntrinsicP.h>
#include <Xm/RowColumn.h>

KEL_IMPLEMENT_META(KelDlgContextualMenu, KelDialog)

KelDlgContextualMenu::KelDlgContextualMenu(KelDialog* father, const KelString& name,
                                           unsigned long style)
    : KelDialog(father, name, style) {
  _visibility = KelDlgHidden;
  Build();
}

KelDlgContextualMenu::~KelDlgContextualMenu() = default;

Widget KelDlgContextualMenu::CreateWidgets() {
  KelDialog* father = GetFatherDialog();
  if (!father) return nullptr;
  Widget parent = father->GetContainerWidget() ? father->GetContainerWidget() : father->GetWidget();
  if (!parent) return nullptr;
  // Recursive: button 3 over a widget inside the father posts it too.
  Arg args[1];
  XtSetArg(args[0], XmNpopupEnabled,
           (GetStyle() & KelDlgPopupOnButton3) ? XmPOPUP_AUTOMATIC_RECURSIVE : XmPOPUP_DISABLED);
  _menu = XmCreatePopupMenu(parent, const_cast<char*>(GetName().CastToCharPtr()), args, 1);
  Widget shell = XtParent(_menu);
  Listen(shell, XmNpopupCallback, static_cast<Handler>(&KelDlgContextualMenu::Mapped));
  Listen(shell, XmNpopdownCallback, static_cast<Handler>(&KelDlgContextualMenu::Unmapped));
  return shell;
}

void KelDlgContextualMenu::WidgetDestroyed() {
  _menu = nullptr;
}

void KelDlgContextualMenu::SetVisibility(int state) {
  state = state == KelDlgShown ? KelDlgShown : KelDlgHidden;
  KelCleaner::Processing processing;
  if (!_menu) {
    ChangeVisibility(state);
    return;
  }
  if (state == KelDlgShown) {
    Display* display = XtDisplay(_menu);
    Window root, child;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &wx, &wy, &mask);
    XtVaSetValues(XtParent(_menu), XmNx, x, XmNy, y, nullptr);
    XtManageChild(_menu);
  } else {
    XtUnmanageChild(_menu);
  }
}

void KelDlgContextualMenu::Mapped(Widget, void*) {
  ChangeVisibility(KelDlgShown);
}

void KelDlgContextualMenu::Unmapped(Widget, void*) {
  ChangeVisibility(KelDlgHidden);
}

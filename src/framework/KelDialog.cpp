#include <kel/framework/KelCleaner.h>
#include <kel/framework/KelDialog.h>
#include <kel/framework/KelDlgDocument.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgWindow.h>

#include <X11/IntrinsicP.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "KelDlgGrid.h"
#include "KelDlgLink.h"
#include "KelDlgXmString.h"

KEL_IMPLEMENT_META(KelDialog, KelCommand)

KelDialog::KelDialog(KelDialog* father, const KelString& name, unsigned long style)
    : KelCommand(father, name), _fatherDialog(father), _style(style) {
  if (father) father->_dialogs.push_back(this);
}

KelDialog::~KelDialog() {
  _dying = true;
  KelDlgICC::Unpost(this);
  // No callback reaches this object any more, even one Xt runs late.
  if (_link) _link->dialog = nullptr;
  _link = nullptr;
  // Children first: their widgets lie inside this one's.
  while (!_dialogs.empty()) delete _dialogs.back();
  Widget widget = _widget;
  _widget = nullptr;
  if (widget) XtDestroyWidget(widget);
  ReleaseIcon();
  if (_fatherDialog) {
    auto& brothers = _fatherDialog->_dialogs;
    brothers.erase(std::remove(brothers.begin(), brothers.end(), this), brothers.end());
    if (!_fatherDialog->_dying) RequestFatherLayout();
  }
}

KelDialog* KelDialog::GetDialog(int index) const {
  if (index < 0 || index >= GetDialogCount()) return nullptr;
  return _dialogs[static_cast<std::size_t>(index)];
}

KelDialog* KelDialog::FindDialog(const KelString& name) {
  if (GetName() == name) return this;
  for (KelDialog* child : _dialogs)
    if (KelDialog* found = child->FindDialog(name)) return found;
  return nullptr;
}

KelDlgWindow* KelDialog::GetFatherWindow(const KelDialog* dialog) {
  for (const KelDialog* d = dialog; d; d = d->_fatherDialog)
    if (d->IsAKindOf("KelDlgWindow")) return static_cast<KelDlgWindow*>(const_cast<KelDialog*>(d));
  return nullptr;
}

Widget KelDialog::GetParentWidget() const {
  if (!_fatherDialog) return KelDlgICC::GetApplicationShell();
  return _fatherDialog->GetContainerWidget();
}

void KelDialog::Build() {
  if (_widget || !KelDlgICC::GetXtDisplay()) return;
  if (_fatherDialog && _fatherDialog->_widget && !GetParentWidget() && IsLaidOut()) {
    std::fprintf(stderr, "KelDialog::Build: \"%s\" cannot hold \"%s\".\n",
                 _fatherDialog->GetName().CastToCharPtr(), GetName().CastToCharPtr());
    return;
  }
  _link = new KelDlgLink(this);
  Widget widget = CreateWidgets();
  if (!widget) {
    delete _link;
    _link = nullptr;
    return;
  }
  _widget = widget;
  XtAddCallback(widget, XmNdestroyCallback, WidgetDestroyedCB, _link);
  // Told before any resize, which the layout below may post.
  KelDlgICC::PostCreation(this);
  if (!_sensitive) XtSetSensitive(widget, False);
  ShowTitle();
  if (IsLaidOut()) {
    // Tab goes from control to control, as users of dialogs expect.
    if (KelDlgGrid::IsGrid(XtParent(widget)) && !KelDlgGrid::IsGrid(widget))
      XtVaSetValues(widget, XmNnavigationType, XmTAB_GROUP, nullptr);
    if (_visibility == KelDlgShown) XtManageChild(widget);
  } else if (_visibility == KelDlgShown) {
    // A window built again while shown (Reparent) shows itself again.
    _visibility = KelDlgHidden;
    SetVisibility(KelDlgShown);
  }
}

void KelDialog::WidgetDestroyedCB(Widget, XtPointer client, XtPointer) {
  auto* link = static_cast<KelDlgLink*>(client);
  if (KelDialog* dialog = link->dialog) {
    dialog->_widget = nullptr;
    dialog->_link = nullptr;
    dialog->ReleaseIcon();
    dialog->WidgetDestroyed();
  }
  delete link;
}

void KelDialog::ForgetWidgets() {
  for (KelDialog* child : _dialogs) child->ForgetWidgets();
  if (_link) _link->dialog = nullptr;
  _link = nullptr;
  if (_widget) {
    _widget = nullptr;
    WidgetDestroyed();
  }
  ReleaseIcon();
  _reportedSize[0] = _reportedSize[1] = -1;
  KelDlgICC::Unpost(this);
}

void KelDialog::BuildSubtree() {
  Build();
  for (KelDialog* child : _dialogs) child->BuildSubtree();
}

void* KelDialog::CallbackRecord(Handler handler) {
  if (!_link) return nullptr;
  _link->records.push_back(
      std::make_unique<KelDlgLink::Record>(KelDlgLink::Record{_link, handler}));
  return _link->records.back().get();
}

void KelDialog::Listen(Widget widget, const char* callbackName, Handler handler) {
  void* record = CallbackRecord(handler);
  if (widget && record) XtAddCallback(widget, callbackName, ForwardCallback, record);
}

void KelDialog::ForwardCallback(Widget widget, XtPointer client, XtPointer callData) {
  auto* record = static_cast<KelDlgLink::Record*>(client);
  KelDialog* dialog = record->link->dialog;
  if (!dialog) return;
  KelCleaner::Processing processing;
  (dialog->*(record->handler))(widget, callData);
}

int KelDialog::Notify(const char* name, double value) {
  KelDlgNotification notification(name, this);
  notification.SetValue(value);
  int width = 0, height = 0;
  CurrentSize(width, height);
  notification.SetSize(width, height);
  return SendNotification(this, &notification);
}

void KelDialog::ChangeVisibility(int state) {
  if (state == _visibility) return;
  _visibility = state;
  Notify(KelDlgNotification::DLG_VISIBILITY(), state);
}

void KelDialog::SetVisibility(int state) {
  state = state == KelDlgShown ? KelDlgShown : KelDlgHidden;
  KelCleaner::Processing processing;
  if (_widget && IsLaidOut()) {
    if (state == KelDlgShown)
      XtManageChild(_widget);
    else
      XtUnmanageChild(_widget);
  }
  ChangeVisibility(state);
}

void KelDialog::SetSensitivity(int sensitive) {
  _sensitive = sensitive ? 1 : 0;
  if (_widget) XtSetSensitive(_widget, _sensitive ? True : False);
}

void KelDialog::SetTitle(const KelString& title) {
  _title = title;
  if (_widget) ShowTitle();
}

void KelDialog::SetIconName(const KelString& icon) {
  _iconName = icon;
  if (_widget) ShowTitle();
}

void KelDialog::SetHorizontalAttachment(int startTab, int startKind, int endTab, int endKind) {
  _axes[0] = {{startTab, startKind}, {endTab, endKind}};
  RequestFatherLayout();
}

void KelDialog::SetVerticalAttachment(int startTab, int startKind, int endTab, int endKind) {
  _axes[1] = {{startTab, startKind}, {endTab, endKind}};
  RequestFatherLayout();
}

void KelDialog::ResetAttachments() {
  _axes[0] = _axes[1] = Axis();
  RequestFatherLayout();
}

void KelDialog::AttachOnSides() {
  _axes[0] = _axes[1] = {{1, KelDlgAttachSide}, {1, KelDlgAttachSide}};
  RequestFatherLayout();
}

void KelDialog::RequestFatherLayout() {
  if (_fatherDialog && !_fatherDialog->_dying && IsLaidOut())
    KelDlgGrid::Relayout(_fatherDialog->GetContainerWidget());
}

void KelDialog::GeometryChanged() {
  KelDlgICC::PostResize(this);
}

void KelDialog::CurrentSize(int& width, int& height) const {
  int x = 0, y = 0;
  GetRectDimensions(x, y, width, height);
}

void KelDialog::GetRectDimensions(int& x, int& y, int& width, int& height) const {
  if (!_widget) {
    x = _rect[0];
    y = _rect[1];
    width = _rect[2];
    height = _rect[3];
    return;
  }
  x = _widget->core.x;
  y = _widget->core.y;
  width = _widget->core.width;
  height = _widget->core.height;
}

void KelDialog::StoreRect(int x, int y, int width, int height, bool placed) {
  _rectPlaced = placed;
  _rect[0] = x;
  _rect[1] = y;
  _rect[2] = std::max(width, 0);
  _rect[3] = std::max(height, 0);
}

void KelDialog::SetRectDimensions(int x, int y, int width, int height) {
  StoreRect(x, y, width, height);
  RequestFatherLayout();
}

Widget KelDialog::CreateGrid(Widget parent, const char* name, int margin, int border) {
  Arg args[4];
  Cardinal n = 0;
  if (border > 0) {
    XtSetArg(args[n], XmNshadowType, XmSHADOW_ETCHED_IN);
    ++n;
    XtSetArg(args[n], XmNshadowThickness, border);
    ++n;
  }
  if (margin >= 0) {
    XtSetArg(args[n], XmNmarginWidth, margin);
    ++n;
    XtSetArg(args[n], XmNmarginHeight, margin);
    ++n;
  }
  return KelDlgGrid::Create(parent, name, _link, args, n);
}

int KelDialog::MoveInTree(KelDialog* father) {
  if (!father || father == _fatherDialog) return 0;
  for (KelDialog* d = father; d; d = d->_fatherDialog)
    if (d == this) return 0;
  if (_fatherDialog) {
    auto& brothers = _fatherDialog->_dialogs;
    brothers.erase(std::remove(brothers.begin(), brothers.end(), this), brothers.end());
  }
  father->_dialogs.push_back(this);
  _fatherDialog = father;
  SetFather(father);
  return 1;
}

int KelDialog::Reparent(KelDialog* father) {
  KelDialog* old = _fatherDialog;
  if (!MoveInTree(father)) return 0;
  KelCleaner::Processing processing;
  if (Widget widget = _widget) {
    ForgetWidgets();
    XtDestroyWidget(widget);
    BuildSubtree();
  }
  if (old && !old->_dying) KelDlgGrid::Relayout(old->GetContainerWidget());
  return 1;
}

void KelDialog::SetStatusBarTemporaryText(const KelUnicodeString& text) {
  for (KelDialog* d = this; d; d = d->_fatherDialog)
    if (d->IsAKindOf("KelDlgDocument")) {
      static_cast<KelDlgDocument*>(d)->ShowTemporaryText(text);
      return;
    }
}

void KelDialog::ReleaseIcon() {
  if (_iconPixmap) XmDestroyPixmap(static_cast<Screen*>(_iconScreen), _iconPixmap);
  _iconPixmap = 0;
  _iconScreen = nullptr;
}

int KelDialog::ShowLabel(Widget label) {
  // Without a title the label is the widget's name, or what resources say.
  if (!_title.IsNull()) {
    KelDlgXmString string(_title.CastToCharPtr());
    XtVaSetValues(label, XmNlabelString, string.Get(), nullptr);
  }
  Pixmap pixmap = XmUNSPECIFIED_PIXMAP;
  Screen* screen = XtScreen(label);
  if (!_iconName.IsNull()) {
    Pixel foreground = 0, background = 0;
    XtVaGetValues(label, XmNforeground, &foreground, XmNbackground, &background, nullptr);
    const std::string name = _iconName.GetText();
    pixmap = XmGetPixmap(screen, const_cast<char*>(name.c_str()), foreground, background);
    if (pixmap == XmUNSPECIFIED_PIXMAP)
      pixmap =
          XmGetPixmap(screen, const_cast<char*>((name + ".xpm").c_str()), foreground, background);
    if (pixmap == XmUNSPECIFIED_PIXMAP)
      std::fprintf(stderr, "KelDialog::SetIconName: no icon \"%s\" for \"%s\".\n", name.c_str(),
                   GetName().CastToCharPtr());
  }
  // The widget lets go of the old pixmap before it is released.
  if (pixmap != XmUNSPECIFIED_PIXMAP)
    XtVaSetValues(label, XmNlabelType, XmPIXMAP, XmNlabelPixmap, pixmap, nullptr);
  else
    XtVaSetValues(label, XmNlabelType, XmSTRING, XmNlabelPixmap, XmUNSPECIFIED_PIXMAP, nullptr);
  ReleaseIcon();
  if (pixmap != XmUNSPECIFIED_PIXMAP) {
    _iconPixmap = pixmap;
    _iconScreen = screen;
  }
  return _iconPixmap != 0;
}

#include <kel/framework/KelCleaner.h>
#include <kel/framework/KelDlgDialog.h>
#include <kel/framework/KelDlgNotification.h>

#include <Xm/DialogS.h>
#include <Xm/Form.h>
#include <Xm/PushB.h>
#include <Xm/Separator.h>

#include <vector>

KEL_IMPLEMENT_META(KelDlgDialog, KelDlgWindow)

namespace {
const int kSpacing = 6;  // between the panel, the separator and the buttons
}

KelDlgDialog::KelDlgDialog(KelDialog* father, const KelString& name, unsigned long style)
    : KelDlgWindow(father, name, style, NoBuild()) {
  Build();
}

KelDlgDialog::~KelDlgDialog() = default;

Widget KelDlgDialog::CreateWidgets() {
  const unsigned long style = GetStyle();
  const bool fullScreen = (style & KelDlgFullScreenDialog) != 0;
  Widget shell = CreateShell(xmDialogShellWidgetClass);
  if (fullScreen) XtVaSetValues(shell, XmNmwmDecorations, 0, nullptr);
  _form = XtVaCreateWidget(
      "form", xmFormWidgetClass, shell, XmNautoUnmanage, False, XmNdialogStyle,
      (style & KelDlgModal) ? XmDIALOG_PRIMARY_APPLICATION_MODAL : XmDIALOG_MODELESS,
      XmNdefaultPosition, fullScreen ? False : True, nullptr);
  Widget panel = CreateGrid(_form, "panel", fullScreen ? 0 : -1);
  SetPanel(panel);

  struct Button {
    const char* name;
    Handler handler;
  };
  std::vector<Button> buttons;
  if (!fullScreen && (style & KelDlgSettingsPopup)) {
    buttons.push_back({"Close", static_cast<Handler>(&KelDlgDialog::Cancel)});
  } else if (!fullScreen) {
    if (style & KelDlgOkButton) buttons.push_back({"OK", static_cast<Handler>(&KelDlgDialog::Ok)});
    if (style & KelDlgApplyButton)
      buttons.push_back({"Apply", static_cast<Handler>(&KelDlgDialog::Apply)});
    if (style & KelDlgCancelButton)
      buttons.push_back({"Cancel", static_cast<Handler>(&KelDlgDialog::Cancel)});
  }
  if (buttons.empty()) {
    XtVaSetValues(panel, XmNtopAttachment, XmATTACH_FORM, XmNbottomAttachment, XmATTACH_FORM,
                  XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, nullptr);
  } else {
    // The buttons share the bottom row in equal parts.
    const int count = static_cast<int>(buttons.size());
    XtVaSetValues(_form, XmNfractionBase, 10 * count, nullptr);
    Widget first = nullptr, defaultButton = nullptr, cancelButton = nullptr;
    for (int i = 0; i < count; ++i) {
      const Button& b = buttons[static_cast<std::size_t>(i)];
      Widget button = XtVaCreateManagedWidget(
          b.name, xmPushButtonWidgetClass, _form, XmNleftAttachment, XmATTACH_POSITION,
          XmNleftPosition, 10 * i + 1, XmNrightAttachment, XmATTACH_POSITION, XmNrightPosition,
          10 * i + 9, XmNbottomAttachment, XmATTACH_FORM, XmNbottomOffset, kSpacing, nullptr);
      Listen(button, XmNactivateCallback, b.handler);
      if (!first) first = button;
      if (b.handler == static_cast<Handler>(&KelDlgDialog::Cancel))
        cancelButton = button;
      else if (!defaultButton)
        defaultButton = button;
    }
    Widget separator = XtVaCreateManagedWidget(
        "separator", xmSeparatorWidgetClass, _form, XmNleftAttachment, XmATTACH_FORM,
        XmNrightAttachment, XmATTACH_FORM, XmNbottomAttachment, XmATTACH_WIDGET, XmNbottomWidget,
        first, XmNbottomOffset, kSpacing, nullptr);
    XtVaSetValues(panel, XmNtopAttachment, XmATTACH_FORM, XmNleftAttachment, XmATTACH_FORM,
                  XmNrightAttachment, XmATTACH_FORM, XmNbottomAttachment, XmATTACH_WIDGET,
                  XmNbottomWidget, separator, nullptr);
    XtVaSetValues(_form, XmNdefaultButton, defaultButton, XmNcancelButton, cancelButton, nullptr);
  }
  XtManageChild(panel);
  // Managing the form pops the dialog up: SetVisibility does.
  return shell;
}

void KelDlgDialog::WidgetDestroyed() {
  KelDlgWindow::WidgetDestroyed();
  _form = nullptr;
}

void KelDlgDialog::SetVisibility(int state) {
  state = state == KelDlgShown ? KelDlgShown : KelDlgHidden;
  KelCleaner::Processing processing;
  if (!_form) {
    ChangeVisibility(state);
    return;
  }
  // The shell's popup and popdown callbacks report the change.
  if (state == KelDlgShown) {
    if (IsPlaced() || IsFullScreen()) XtVaSetValues(_form, XmNdefaultPosition, False, nullptr);
    XtManageChild(_form);
  } else {
    XtUnmanageChild(_form);
  }
}

void KelDlgDialog::Ok(Widget, void*) {
  Notify(KelDlgNotification::DLG_OK());
  SetVisibility(KelDlgHidden);
}

void KelDlgDialog::Apply(Widget, void*) {
  Notify(KelDlgNotification::DLG_APPLY());
}

void KelDlgDialog::Cancel(Widget, void*) {
  Notify(KelDlgNotification::DLG_CANCEL());
  SetVisibility(KelDlgHidden);
}

#include <kel/framework/KelDlgDocument.h>

#include <X11/Shell.h>
#include <Xm/Label.h>
#include <Xm/MainW.h>
#include <Xm/Xm.h>

#include "KelDlgXmString.h"

KEL_IMPLEMENT_META(KelDlgDocument, KelDlgWindow)

KelDlgDocument::KelDlgDocument(KelDialog* father, const KelString& name, unsigned long style)
    : KelDlgWindow(father, name, style, NoBuild()) {
  Build();
}

KelDlgDocument::~KelDlgDocument() = default;

Widget KelDlgDocument::CreateWidgets() {
  Widget shell = CreateShell(topLevelShellWidgetClass);
  _mainWindow = XtVaCreateManagedWidget("mainWindow", xmMainWindowWidgetClass, shell, nullptr);
  Widget panel = CreateGrid(_mainWindow, "panel");
  SetPanel(panel);
  // The bar spans the window whatever it says: a long message must not widen
  // the window (and so move what the user points at).
  _statusBar = XtVaCreateManagedWidget("statusBar", xmLabelWidgetClass, _mainWindow, XmNalignment,
                                       XmALIGNMENT_BEGINNING, XmNrecomputeSize, False, nullptr);
  XtVaSetValues(_mainWindow, XmNworkWindow, panel, XmNmessageWindow, _statusBar, nullptr);
  XtManageChild(panel);
  ShowStatus();
  return shell;
}

void KelDlgDocument::WidgetDestroyed() {
  KelDlgWindow::WidgetDestroyed();
  _mainWindow = _statusBar = nullptr;
}

void KelDlgDocument::SetStatusBarText(const KelUnicodeString& text) {
  _text = text;
  ShowStatus();
}

void KelDlgDocument::ShowTemporaryText(const KelUnicodeString& text) {
  _temporaryText = text;
  ShowStatus();
}

const KelUnicodeString& KelDlgDocument::GetStatusBarText() const {
  return _temporaryText.IsNull() ? _text : _temporaryText;
}

void KelDlgDocument::ShowStatus() {
  if (!_statusBar) return;
  // A blank keeps the bar's height when there is nothing to say.
  const std::string text = GetStatusBarText().ConvertToChar();
  KelDlgXmString label(text.empty() ? " " : text.c_str());
  XtVaSetValues(_statusBar, XmNlabelString, label.Get(), nullptr);
}

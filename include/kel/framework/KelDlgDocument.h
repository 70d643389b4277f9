// The main window of an application: a window whose shell holds a Motif main
// window "mainWindow" with the grid "panel" as work area and the label
// "statusBar" under it. The status bar shows the document's own text, or the
// temporary text any dialog inside the document puts there
// (KelDialog::SetStatusBarTemporaryText).
#pragma once

#include <kel/framework/KelDlgWindow.h>

class KelDlgDocument : public KelDlgWindow {
 public:
  KelDlgDocument(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgDocument() override;

  KEL_DECLARE_META(KelDlgDocument);

  void SetStatusBarText(const KelUnicodeString& text);
  // The text the status bar shows.
  const KelUnicodeString& GetStatusBarText() const;
  // The Motif main window, for an application's menu bar.
  Widget GetMainWindowWidget() const { return _mainWindow; }

 protected:
  Widget CreateWidgets() override;
  void WidgetDestroyed() override;

 private:
  friend class KelDialog;
  void ShowTemporaryText(const KelUnicodeString& text);
  void ShowStatus();

  Widget _mainWindow = nullptr;
  Widget _statusBar = nullptr;
  KelUnicodeString _text;
  KelUnicodeString _temporaryText;
};

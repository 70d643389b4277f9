// A dialog window: a Motif dialog shell named after the dialog, holding a
// form "form" with the grid "panel" for the children and, by style, the push
// buttons "OK", "Apply" and "Cancel" (or "Close" for KelDlgSettingsPopup)
// under it. Return presses the first of OK, Apply; Escape presses Cancel or
// Close. OK and Cancel send DLG_OK and DLG_CANCEL, then hide the dialog;
// Apply sends DLG_APPLY.
#pragma once

#include <kel/framework/KelDlgWindow.h>

class KelDlgDialog : public KelDlgWindow {
 public:
  KelDlgDialog(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgDialog() override;

  KEL_DECLARE_META(KelDlgDialog);

  void SetVisibility(int state) override;

 protected:
  Widget CreateWidgets() override;
  void WidgetDestroyed() override;

 private:
  void Ok(Widget, void*);
  void Apply(Widget, void*);
  void Cancel(Widget, void*);

  Widget _form = nullptr;
};

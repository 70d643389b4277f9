// A Motif text field named after the dialog, for one line of text (style
// KelDlgReadOnly: shown, not edited). Each change the user makes sends
// DLG_MODIFY; Return sends DLG_ACTIVATE (and then presses the dialog's
// default button).
#pragma once

#include <kel/framework/KelDialog.h>

class KelDlgEditor : public KelDialog {
 public:
  KelDlgEditor(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgEditor() override;

  KEL_DECLARE_META(KelDlgEditor);

  // Without notifying.
  void SetText(const KelString& text);
  const KelString& GetText() const { return _text; }

 protected:
  Widget CreateWidgets() override;

 private:
  void Changed(Widget, void*);
  void Activated(Widget, void*);

  KelString _text;
  bool _setting = false;
};

// A Motif toggle button named after the dialog. With an icon it is a button
// that stays pressed while on; otherwise a square indicator beside its title.
// When the user switches it, DLG_MODIFY carries the new state (1 on, 0 off).
#pragma once

#include <kel/framework/KelDialog.h>

class KelDlgCheckButton : public KelDialog {
 public:
  KelDlgCheckButton(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgCheckButton() override;

  KEL_DECLARE_META(KelDlgCheckButton);

  // Sets the state without notifying.
  virtual void SetState(int on);
  int GetState() const { return _state; }

 protected:
  struct NoBuild {};
  KelDlgCheckButton(KelDialog* father, const KelString& name, unsigned long style, NoBuild);
  Widget CreateWidgets() override;
  void ShowTitle() override;
  // The user switched the button to `on`.
  virtual void Switched(int on);

  int _state = 0;

 private:
  void Changed(Widget, void* callData);
};

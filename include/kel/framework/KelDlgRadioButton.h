// One choice of a group: the radio buttons of one father dialog. Switching
// one on (the user or SetState) switches the others off; the user cannot
// switch the chosen one off. A user's choice sends DLG_MODIFY with 0 to the
// button that was on, then DLG_MODIFY with 1 to the new one.
#pragma once

#include <kel/framework/KelDlgCheckButton.h>

class KelDlgRadioButton : public KelDlgCheckButton {
 public:
  KelDlgRadioButton(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgRadioButton() override;

  KEL_DECLARE_META(KelDlgRadioButton);

  void SetState(int on) override;

 protected:
  Widget CreateWidgets() override;
  void ShowTitle() override;
  void Switched(int on) override;

 private:
  // The other buttons of the group that are on.
  void SwitchOthersOff(bool notify);
};

// A Motif push button named after the dialog, showing its title or its icon.
// A press sends DLG_ACTIVATE.
#pragma once

#include <kel/framework/KelDialog.h>

class KelDlgPushButton : public KelDialog {
 public:
  KelDlgPushButton(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgPushButton() override;

  KEL_DECLARE_META(KelDlgPushButton);

 protected:
  Widget CreateWidgets() override;
  void ShowTitle() override;

 private:
  void Activated(Widget, void*);
};

// A Motif label named after the dialog, showing its title or its icon.
#pragma once

#include <kel/framework/KelDialog.h>

class KelDlgLabel : public KelDialog {
 public:
  KelDlgLabel(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgLabel() override;

  KEL_DECLARE_META(KelDlgLabel);

 protected:
  Widget CreateWidgets() override;
  void ShowTitle() override;
};

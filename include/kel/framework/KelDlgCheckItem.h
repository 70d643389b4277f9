// An item with a check mark, for contextual menus (it may stand in any
// father). When the user switches it, DLG_MODIFY carries the new state.
#pragma once

#include <kel/framework/KelDlgCheckButton.h>

class KelDlgCheckItem : public KelDlgCheckButton {
 public:
  KelDlgCheckItem(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgCheckItem() override;

  KEL_DECLARE_META(KelDlgCheckItem);

 protected:
  Widget CreateWidgets() override;
  void ShowTitle() override;
};

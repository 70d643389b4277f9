// A Motif popup menu named after the dialog, over its father. With style
// KelDlgPopupOnButton3, mouse button 3 over the father or anything inside it
// posts the menu; SetVisibility posts it at the pointer and takes it down.
// Its children (push buttons, check items, labels) are its items; they may be
// added while it is shown, or while its posting is notified. DLG_VISIBILITY
// tells when it is posted (KelDlgShown) and taken down (KelDlgHidden).
#pragma once

#include <kel/framework/KelDialog.h>

class KelDlgContextualMenu : public KelDialog {
 public:
  KelDlgContextualMenu(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgContextualMenu() override;

  KEL_DECLARE_META(KelDlgContextualMenu);

  Widget GetContainerWidget() const override { return _menu; }
  void SetVisibility(int state) override;

 protected:
  Widget CreateWidgets() override;
  int IsLaidOut() const override { return 0; }
  void WidgetDestroyed() override;

 private:
  void Mapped(Widget, void*);
  void Unmapped(Widget, void*);

  Widget _menu = nullptr;
};

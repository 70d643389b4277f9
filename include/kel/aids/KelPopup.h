// A dialog shown for a while, for instance to edit what a manipulator handles
// (KelManipulator::SetEditPopup). A popup lives while it is shown: once shown,
// hiding it (the user closing it, its OK, Cancel or Close button, or the
// program) requests its destruction, and its destructor publishes
// "EDIT_PANEL_POPUP_DESTROYED" on its callback manager, so that whoever
// follows it learns that it is gone. The event carries no notification.
#pragma once

#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelDlgDialog.h>

class KelPopup : public KelDlgDialog {
 public:
  KelPopup(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelPopup() override;

  KEL_DECLARE_META(KelPopup);

  static const char* EDIT_PANEL_POPUP_DESTROYED();

  KelCallbackManager* GetCallbackManager() { return &_callbackManager; }
  void SetVisibility(int state) override;

 private:
  KelCallbackManager _callbackManager;
};

// Sent by a manipulator when the viewer's contextual menu is shown over it;
// the father may add its items to the menu.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelDlgContextualMenu;

class KelContext : public KelManipulatorNotification {
 public:
  KelContext(KelNotification* cause, KelDlgContextualMenu* menu)
      : KelManipulatorNotification(cause), _menu(menu) {}
  ~KelContext() override;

  KEL_DECLARE_META(KelContext);

  // The viewer's menu, or null without viewer.
  KelDlgContextualMenu* GetContextualMenu() const { return _menu; }

 private:
  KelDlgContextualMenu* _menu;
};

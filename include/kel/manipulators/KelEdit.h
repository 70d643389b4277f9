// Sent by a manipulator when a double click asks for its edit phase; the
// father may show an edit popup in the window it names.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelDlgWindow;

class KelEdit : public KelManipulatorNotification {
 public:
  KelEdit(KelNotification* cause, KelDlgWindow* fatherWindow)
      : KelManipulatorNotification(cause), _fatherWindow(fatherWindow) {}
  ~KelEdit() override;

  KEL_DECLARE_META(KelEdit);

  // The window of the viewer, or null without viewer.
  KelDlgWindow* GetPopupFatherWindow() const { return _fatherWindow; }

 private:
  KelDlgWindow* _fatherWindow;
};

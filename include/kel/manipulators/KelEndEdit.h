// Sent by a manipulator when the edit phase ended.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelEndEdit : public KelManipulatorNotification {
 public:
  explicit KelEndEdit(KelNotification* cause) : KelManipulatorNotification(cause) {}
  ~KelEndEdit() override;

  KEL_DECLARE_META(KelEndEdit);
};

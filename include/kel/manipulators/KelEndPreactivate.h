// Sent by a manipulator when the cursor left them.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelEndPreactivate : public KelManipulatorNotification {
 public:
  explicit KelEndPreactivate(KelNotification* cause) : KelManipulatorNotification(cause) {}
  ~KelEndPreactivate() override;

  KEL_DECLARE_META(KelEndPreactivate);
};

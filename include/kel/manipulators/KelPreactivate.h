// Sent by a manipulator when the cursor entered one of the manipulator's Reps.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelPreactivate : public KelManipulatorNotification {
 public:
  explicit KelPreactivate(KelNotification* cause) : KelManipulatorNotification(cause) {}
  ~KelPreactivate() override;

  KEL_DECLARE_META(KelPreactivate);
};

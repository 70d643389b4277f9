// Sent by a manipulator when a press activated the manipulator.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelActivate : public KelManipulatorNotification {
 public:
  explicit KelActivate(KelNotification* cause) : KelManipulatorNotification(cause) {}
  ~KelActivate() override;

  KEL_DECLARE_META(KelActivate);
};

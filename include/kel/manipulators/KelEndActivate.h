// Sent by a manipulator when its activation ended.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelEndActivate : public KelManipulatorNotification {
 public:
  explicit KelEndActivate(KelNotification* cause) : KelManipulatorNotification(cause) {}
  ~KelEndActivate() override;

  KEL_DECLARE_META(KelEndActivate);
};

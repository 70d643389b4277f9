// Sent by a manipulator when a drag began.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelBeginManipulate : public KelManipulatorNotification {
 public:
  explicit KelBeginManipulate(KelNotification* cause) : KelManipulatorNotification(cause) {}
  ~KelBeginManipulate() override;

  KEL_DECLARE_META(KelBeginManipulate);
};

// Sent by a manipulator when the drag went on.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelManipulate : public KelManipulatorNotification {
 public:
  explicit KelManipulate(KelNotification* cause) : KelManipulatorNotification(cause) {}
  ~KelManipulate() override;

  KEL_DECLARE_META(KelManipulate);
};

// Sent by a manipulator when the cursor moved over them.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelMove : public KelManipulatorNotification {
 public:
  explicit KelMove(KelNotification* cause) : KelManipulatorNotification(cause) {}
  ~KelMove() override;

  KEL_DECLARE_META(KelMove);
};

// Sent by a manipulator when the contextual menu was hidden.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelEndContext : public KelManipulatorNotification {
 public:
  explicit KelEndContext(KelNotification* cause) : KelManipulatorNotification(cause) {}
  ~KelEndContext() override;

  KEL_DECLARE_META(KelEndContext);
};

// Base of the interaction notifications a manipulator sends to its father: the
// notification that caused the transition (normally the device's viewer event,
// not owned) is its data notification, null when the transition had no cause.
#pragma once

#include <kel/controller/KelVueNotification.h>

class KelManipulatorNotification : public KelVueNotification {
 public:
  explicit KelManipulatorNotification(KelNotification* cause) : KelVueNotification(cause) {}
  ~KelManipulatorNotification() override;

  KEL_DECLARE_META(KelManipulatorNotification);
};

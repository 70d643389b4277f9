// Sent by a manipulator when the drag ended.
#pragma once

#include <kel/manipulators/KelManipulatorNotification.h>

class KelEndManipulate : public KelManipulatorNotification {
 public:
  explicit KelEndManipulate(KelNotification* cause) : KelManipulatorNotification(cause) {}
  ~KelEndManipulate() override;

  KEL_DECLARE_META(KelEndManipulate);
};

// Tells the subscribers of the graphic windows' class dispatcher that every
// window of a draw job has been redrawn. It lives on the sender's stack: keep
// nothing of it after the callback returns.
#pragma once

#include <kel/viewers/KelTimeStampedEvent.h>

class KelGlobalUpdateNotification : public KelTimeStampedEvent {
 public:
  KelGlobalUpdateNotification() = default;
  ~KelGlobalUpdateNotification() override;

  KEL_DECLARE_META(KelGlobalUpdateNotification);
};

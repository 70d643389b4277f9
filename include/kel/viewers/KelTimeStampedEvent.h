// A notification that carries the time it stands for, in milliseconds of the
// library's clock (GetTimeInMilliseconds, stored zero-extended). Device, viewer
// and animation events derive from it.
#pragma once

#include <kel/framework/KelNotification.h>

class KelTimeStampedEvent : public KelNotification {
 public:
  // Time stamp 0: the sender stamps the event when the time matters.
  KelTimeStampedEvent() = default;
  explicit KelTimeStampedEvent(unsigned long timeStamp) : _timeStamp(timeStamp) {}
  KelTimeStampedEvent(const KelTimeStampedEvent&) = default;
  KelTimeStampedEvent& operator=(const KelTimeStampedEvent&) = default;
  ~KelTimeStampedEvent() override;

  KEL_DECLARE_META(KelTimeStampedEvent);

  unsigned long GetTimeStamp() const { return _timeStamp; }
  void SetTimeStamp(unsigned long timeStamp) { _timeStamp = timeStamp; }

 private:
  unsigned long _timeStamp = 0;
};

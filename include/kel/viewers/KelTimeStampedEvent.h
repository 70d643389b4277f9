// A notification that carries the time it stands for, in milliseconds of the
// time of day. Device, viewer and animation events derive from it.
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

  // Seconds x 1000 + microseconds / 1000 of the current time of day. Kept in an
  // unsigned long: the count passed 2^31 long ago.
  static unsigned long CurrentTime();

 private:
  unsigned long _timeStamp = 0;
};

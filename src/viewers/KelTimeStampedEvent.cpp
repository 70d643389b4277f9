#include <kel/viewers/GetTimeInMilliseconds.h>
#include <kel/viewers/KelTimeStampedEvent.h>

KEL_IMPLEMENT_META(KelTimeStampedEvent, KelNotification)

KelTimeStampedEvent::~KelTimeStampedEvent() = default;

unsigned long KelTimeStampedEvent::CurrentTime() {
  return GetTimeStampInMilliseconds();
}

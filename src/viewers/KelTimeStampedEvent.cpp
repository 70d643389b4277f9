#include <kel/viewers/KelTimeStampedEvent.h>

#include <sys/time.h>

KEL_IMPLEMENT_META(KelTimeStampedEvent, KelNotification)

KelTimeStampedEvent::~KelTimeStampedEvent() = default;

unsigned long KelTimeStampedEvent::CurrentTime() {
  timeval now{};
  gettimeofday(&now, nullptr);
  return static_cast<unsigned long>(now.tv_sec) * 1000UL +
         static_cast<unsigned long>(now.tv_usec) / 1000UL;
}

#include <kel/viewers/KelTimeStampedEvent.h>

KEL_IMPLEMENT_META(KelTimeStampedEvent, KelNotification)

KelTimeStampedEvent::~KelTimeStampedEvent() = default;

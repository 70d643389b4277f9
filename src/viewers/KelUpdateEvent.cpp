#include <kel/viewers/KelUpdateEvent.h>

KEL_IMPLEMENT_META(KelUpdateEvent, KelTimeStampedEvent)

KelUpdateEvent::~KelUpdateEvent() = default;

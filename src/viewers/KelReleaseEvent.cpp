#include <kel/viewers/KelReleaseEvent.h>

KEL_IMPLEMENT_META(KelReleaseEvent, KelTimeStampedEvent)

KelReleaseEvent::~KelReleaseEvent() = default;

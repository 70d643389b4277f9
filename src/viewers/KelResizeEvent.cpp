#include <kel/viewers/KelResizeEvent.h>

KEL_IMPLEMENT_META(KelResizeEvent, KelTimeStampedEvent)

KelResizeEvent::~KelResizeEvent() = default;

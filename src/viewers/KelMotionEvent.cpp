#include <kel/viewers/KelMotionEvent.h>

KEL_IMPLEMENT_META(KelMotionEvent, KelTimeStampedEvent)

KelMotionEvent::~KelMotionEvent() = default;

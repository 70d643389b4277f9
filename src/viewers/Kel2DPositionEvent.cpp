#include <kel/viewers/Kel2DPositionEvent.h>

KEL_IMPLEMENT_META(Kel2DPositionEvent, KelTimeStampedEvent)

Kel2DPositionEvent::~Kel2DPositionEvent() = default;

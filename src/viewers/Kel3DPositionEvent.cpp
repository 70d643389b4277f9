#include <kel/viewers/Kel3DPositionEvent.h>

KEL_IMPLEMENT_META(Kel3DPositionEvent, KelTimeStampedEvent)

Kel3DPositionEvent::~Kel3DPositionEvent() = default;

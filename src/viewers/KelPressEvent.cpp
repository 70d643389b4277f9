#include <kel/viewers/KelPressEvent.h>

KEL_IMPLEMENT_META(KelPressEvent, KelTimeStampedEvent)

KelPressEvent::~KelPressEvent() = default;

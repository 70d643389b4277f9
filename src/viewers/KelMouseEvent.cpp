#include <kel/viewers/KelMouseEvent.h>

KEL_IMPLEMENT_META(KelMouseEvent, KelDeviceEvent)

KelMouseEvent::~KelMouseEvent() = default;

#include <kel/viewers/KelDeviceEvent.h>

KEL_IMPLEMENT_META(KelDeviceEvent, KelTimeStampedEvent)

KelDeviceEvent::~KelDeviceEvent() = default;

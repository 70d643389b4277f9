#include <kel/controller/KelGlobalUpdateNotification.h>

KEL_IMPLEMENT_META(KelGlobalUpdateNotification, KelTimeStampedEvent)

KelGlobalUpdateNotification::~KelGlobalUpdateNotification() = default;

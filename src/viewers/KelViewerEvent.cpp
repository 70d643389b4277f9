#include <kel/viewers/KelPointingDevice.h>
#include <kel/viewers/KelViewerEvent.h>

KEL_IMPLEMENT_META(KelViewerEvent, KelTimeStampedEvent)

KelViewerEvent::KelViewerEvent(KelDeviceEvent* deviceEvent, KelPickPath* path)
    : _pickPath(path), _pickPathUnder(path), _deviceEvent(deviceEvent) {}

KelViewerEvent::~KelViewerEvent() = default;

namespace {
KelPointingDevice* Pointing(KelDevice* device) {
  return device && device->IsAKindOf("KelPointingDevice") ? static_cast<KelPointingDevice*>(device)
                                                          : nullptr;
}
}  // namespace

void KelViewerEvent::InitPickPathList() {
  if (KelPointingDevice* d = Pointing(_device)) d->InitPickPathList();
}

int KelViewerEvent::MoveToNextPickPath() {
  KelPointingDevice* d = Pointing(_device);
  return d ? d->MoveToNextPickPath() : 0;
}

#include <kel/viewers/KelKeyboardDevice.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelPressEvent.h>
#include <kel/viewers/KelViewerEvent.h>

KEL_IMPLEMENT_META(KelKeyboardDevice, KelDevice)

KelKeyboardDevice::~KelKeyboardDevice() = default;

KelKeyboardEvent* KelKeyboardDevice::GetKeyboardEvent() const {
  KelDeviceEvent* e = _currentEvent ? _currentEvent->GetDeviceEvent() : nullptr;
  return e && e->IsAKindOf("KelKeyboardEvent") ? static_cast<KelKeyboardEvent*>(e) : nullptr;
}

void KelKeyboardDevice::InterpretDeviceEvent(KelNotification* raw, void* viewer) {
  if (!_currentEvent || !raw) return;
  _currentEvent->SetViewer(static_cast<KelViewer*>(viewer));
  KelKeyboardEvent* keyboard = GetKeyboardEvent();
  if (!keyboard) return;
  if (raw->IsAKindOf("KelTimeStampedEvent"))
    keyboard->SetTimeStamp(static_cast<KelTimeStampedEvent*>(raw)->GetTimeStamp());
  if (raw->IsAKindOf("KelPressEvent"))
    keyboard->SetKey(static_cast<KelPressEvent*>(raw)->GetButton());
}

#include <kel/viewers/KelMotionEvent.h>
#include <kel/viewers/KelMouseDevice.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelPressEvent.h>
#include <kel/viewers/KelReleaseEvent.h>
#include <kel/viewers/KelViewerEvent.h>

KEL_IMPLEMENT_META(KelMouseDevice, KelPointingDevice)

KelMouseDevice::~KelMouseDevice() = default;

void KelMouseDevice::SetViewer(KelViewer* viewer) {
  KelDevice::SetViewer(viewer);
}

KelMouseEvent* KelMouseDevice::GetMouseEvent() const {
  KelDeviceEvent* e = _currentEvent ? _currentEvent->GetDeviceEvent() : nullptr;
  return e && e->IsAKindOf("KelMouseEvent") ? static_cast<KelMouseEvent*>(e) : nullptr;
}

void KelMouseDevice::SetCurrentEvent(KelViewerEvent* event) {
  KelDevice::SetCurrentEvent(event);
  if (!event) return;
  event->SetPickPath(&_currentPath);
  event->SetPickPathUnder(&_pathUnder);
  event->SetDevice(this);
  if (KelMouseEvent* mouse = GetMouseEvent()) mouse->SetButtons(0);
}

void KelMouseDevice::SetDebugModeOn() {
  _debugMode = 1;
}
void KelMouseDevice::SetDebugModeOff() {
  _debugMode = 0;
}

void KelMouseDevice::InterpretDeviceEvent(KelNotification* raw, void* viewer) {
  if (!_currentEvent || !raw) return;
  _currentEvent->SetViewer(static_cast<KelViewer*>(viewer));
  KelMouseEvent* mouse = GetMouseEvent();
  if (!mouse) return;
  if (raw->IsAKindOf("KelTimeStampedEvent"))
    mouse->SetTimeStamp(static_cast<KelTimeStampedEvent*>(raw)->GetTimeStamp());
  // Raw events wait while the contextual menu is up.
  if (_contextFlag) return;
  if (raw->IsAKindOf("KelPressEvent")) {
    if (!_pressedButton) _pressedButton = static_cast<KelPressEvent*>(raw)->GetButton();
  } else if (raw->IsAKindOf("KelMotionEvent")) {
    const auto* m = static_cast<KelMotionEvent*>(raw);
    mouse->SetPosition(m->GetX(), m->GetY());
  } else if (raw->IsAKindOf("KelReleaseEvent")) {
    if (static_cast<KelReleaseEvent*>(raw)->GetButton() == _pressedButton) _pressedButton = 0;
  }
}

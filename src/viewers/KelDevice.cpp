#include <kel/viewers/KelDevice.h>
#include <kel/viewers/KelDeviceEvent.h>
#include <kel/viewers/KelTimeStampedEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewers/KelViewerEvent.h>

KEL_IMPLEMENT_META(KelDevice, KelCallbackManager)

KelDevice::~KelDevice() = default;

void KelDevice::SetViewer(KelViewer* viewer) {
  if (_viewer || !viewer) return;
  _viewer = viewer;
  _modifiersCallback =
      AddCallback(viewer->GetCallbackManager(), KelViewer::GENERAL_MODIFIERS_MODIFIED(),
                  &KelDevice::GeneralModifiersModified, nullptr);
}

void KelDevice::InterpretDeviceEvent(KelNotification* raw, void* viewer) {
  if (!_currentEvent) return;
  _currentEvent->SetViewer(static_cast<KelViewer*>(viewer));
  if (raw && raw->IsAKindOf("KelTimeStampedEvent"))
    _currentEvent->SetTimeStamp(static_cast<KelTimeStampedEvent*>(raw)->GetTimeStamp());
}

void KelDevice::SetPlugedManip(KelManipulator* manipulator) {
  _plugedManip = manipulator;
}
KelManipulator* KelDevice::GetPlugedManip() const {
  return _plugedManip;
}
void KelDevice::SetPointedManip(KelManipulator* manipulator) {
  _pointedManip = manipulator;
}
KelManipulator* KelDevice::GetPointedManip() const {
  return _pointedManip;
}
void KelDevice::SetLockState(DeviceLockState state) {
  _lockState = state;
}
int KelDevice::IsLocked() const {
  return _lockState == DEVICE_LOCKED;
}
void KelDevice::SetUseState(DeviceUseState state) {
  _useState = state;
}
int KelDevice::IsUsed() const {
  return _useState == DEVICE_USED;
}
void KelDevice::SetCurrentEvent(KelViewerEvent* event) {
  _currentEvent = event;
}
KelViewerEvent* KelDevice::GetCurrentEvent() const {
  return _currentEvent;
}

void KelDevice::GeneralModifiersModified(const char*, KelCallbackManager*,
                                         KelNotification* notification, void*, long) {
  if (!notification || !notification->IsAKindOf("KelDeviceEvent") || !_currentEvent) return;
  if (KelDeviceEvent* mine = _currentEvent->GetDeviceEvent())
    mine->SetModifiers(static_cast<KelDeviceEvent*>(notification)->GetModifiers());
}

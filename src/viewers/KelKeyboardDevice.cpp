#include <kel/navigation/KelViewpointEditor.h>
#include <kel/viewers/KelKeyboardDevice.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelPressEvent.h>
#include <kel/viewers/KelReleaseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewers/KelViewerEvent.h>

KEL_IMPLEMENT_META(KelKeyboardDevice, KelDevice)

namespace {

// Key numbers of the graphic window's key table.
const int KeyPageUp = 5;
const int KeyPageDown = 6;
const int KeyShift = 12;
const int KeyControl = 13;
// Modifier bits.
const int ShiftBit = 1;
const int ControlBit = 4;

}  // namespace

KelKeyboardDevice::~KelKeyboardDevice() = default;

KelKeyboardEvent* KelKeyboardDevice::GetKeyboardEvent() const {
  KelDeviceEvent* e = _currentEvent ? _currentEvent->GetDeviceEvent() : nullptr;
  return e && e->IsAKindOf("KelKeyboardEvent") ? static_cast<KelKeyboardEvent*>(e) : nullptr;
}

void KelKeyboardDevice::InterpretDeviceEvent(KelNotification* raw, void* v) {
  if (!_currentEvent || !raw) return;
  auto* viewer = static_cast<KelViewer*>(v);
  _currentEvent->SetViewer(viewer);
  KelKeyboardEvent* keyboard = GetKeyboardEvent();
  if (!keyboard) return;
  if (raw->IsAKindOf("KelTimeStampedEvent")) {
    const unsigned long stamp = static_cast<KelTimeStampedEvent*>(raw)->GetTimeStamp();
    keyboard->SetTimeStamp(stamp);
    _currentEvent->SetTimeStamp(stamp);
  }
  if (raw->IsAKindOf("KelPressEvent"))
    keyboard->SetKey(static_cast<KelPressEvent*>(raw)->GetButton());
  if (!viewer) return;
  KelViewpointEditor* editor = viewer->GetViewpointEditor();
  if (raw->IsAKindOf("KelPressEvent")) {
    const int key = keyboard->GetKey();
    if (key >= 1 && key <= 4) {
      viewer->ReceiveKeyEvent(*keyboard);
    } else if (key == KeyPageUp || key == KeyPageDown) {
      if (editor) editor->Manipulate(keyboard);
    } else if (key == KeyShift) {
      viewer->SetGeneralModifiers(viewer->GetGeneralModifiers() | ShiftBit, _currentEvent);
    } else if (key == KeyControl) {
      viewer->SetGeneralModifiers(viewer->GetGeneralModifiers() | ControlBit, _currentEvent);
    } else if (_pointedManip) {
      viewer->Manipulate(_pointedManip, this);
    } else if (editor) {
      editor->Manipulate(keyboard);
    }
  } else if (raw->IsAKindOf("KelReleaseEvent")) {
    const int key = static_cast<KelReleaseEvent*>(raw)->GetButton();
    if (key == KeyShift)
      viewer->SetGeneralModifiers(viewer->GetGeneralModifiers() & ~ShiftBit, _currentEvent);
    else if (key == KeyControl)
      viewer->SetGeneralModifiers(viewer->GetGeneralModifiers() & ~ControlBit, _currentEvent);
  }
}

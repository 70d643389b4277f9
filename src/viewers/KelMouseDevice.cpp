#include <kel/framework/KelDlgConstants.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelVue.h>
#include <kel/navigation/KelViewpointEditor.h>
#include <kel/viewers/GetTimeInMilliseconds.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMotionEvent.h>
#include <kel/viewers/KelMouseDevice.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelPressEvent.h>
#include <kel/viewers/KelReleaseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewers/KelViewerEvent.h>

#include <cstdint>
#include <iostream>

KEL_IMPLEMENT_META(KelMouseDevice, KelPointingDevice)

namespace {

// Double clicks: the second press within this time and distance.
const std::uint32_t DoubleClickTime = 600;
// Squared pixels: motions this close to the last position, and second
// presses this close to the first, count as not having moved.
const float StillDistance2 = 16.0f;

float Distance2(float x0, float y0, float x1, float y1) {
  return (x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0);
}

}  // namespace

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

int KelMouseDevice::ExtraButtonBit(int held, int other) {
  // Rows: the button held; columns: the other button.
  static const int table[4][4] = {{0, 1, 2, 0}, {1, 0, 2, 0}, {1, 2, 0, 0}, {0, 0, 0, 0}};
  if (held < 1 || held > 4 || other < 1 || other > 4) return 0;
  return table[held - 1][other - 1];
}

// ---- Picking and election

void KelMouseDevice::DoPick(int step) {
  KelMouseEvent* mouse = GetMouseEvent();
  if (_viewer && mouse)
    _viewer->IncrementPick(mouse->GetPosition().x, mouse->GetPosition().y, _pickList, step);
  InitPickPathList();
  const list<KelPickPath*>& paths = _pickList.GetPickPathList();
  if (paths.Count() > 0 && paths[0])
    _pathUnder = *paths[0];
  else
    InvalidPick();
}

KelManipulator* KelMouseDevice::ElectionManipulator(int step) {
  KelMouseEvent* mouse = GetMouseEvent();
  KelManipulator* candidate = nullptr;
  if (_viewer && mouse) {
    _viewer->IncrementPick(mouse->GetPosition().x, mouse->GetPosition().y, _pickList, step);
    candidate = _viewer->ChooseManipulator(_pickList, _currentPath);
  }
  _pathUnder = _currentPath;
  KelManipulator* old = _pointedManip;
  // The new one is pointed before it hears of it, so that what it does then
  // (a query, an automatic activation) finds it in place.
  _pointedManip = candidate;
  if (_viewer) {
    if (old == candidate) {
      if (candidate) _viewer->Move(candidate, this);
    } else {
      if (old) _viewer->EndPreactivate(old, this);
      if (candidate && _pointedManip == candidate) _viewer->Preactivate(candidate, this);
    }
  }
  return _pointedManip;
}

// ---- Raw events

void KelMouseDevice::InterpretDeviceEvent(KelNotification* raw, void* viewer) {
  if (!_currentEvent || !raw) return;
  _currentEvent->SetViewer(static_cast<KelViewer*>(viewer));
  KelMouseEvent* mouse = GetMouseEvent();
  if (!mouse) return;
  if (raw->IsAKindOf("KelTimeStampedEvent")) {
    const unsigned long stamp = static_cast<KelTimeStampedEvent*>(raw)->GetTimeStamp();
    mouse->SetTimeStamp(stamp);
    _currentEvent->SetTimeStamp(stamp);
  }
  // Raw events wait while the contextual menu is up.
  if (_contextFlag) return;
  if (raw->IsAKindOf("KelPressEvent"))
    Press(*mouse, static_cast<KelPressEvent*>(raw)->GetButton());
  else if (raw->IsAKindOf("KelMotionEvent"))
    Motion(*mouse, static_cast<KelMotionEvent*>(raw)->GetX(),
           static_cast<KelMotionEvent*>(raw)->GetY());
  else if (raw->IsAKindOf("KelReleaseEvent"))
    Release(*mouse, static_cast<KelReleaseEvent*>(raw)->GetButton());
}

void KelMouseDevice::Press(KelMouseEvent& mouse, int button) {
  KelVue::SetInteractiveState(2);
  KelViewpointEditor* editor = _viewer ? _viewer->GetViewpointEditor() : nullptr;
  const int bit = ExtraButtonBit(_pressedButton, button);
  if (_pressedButton && bit) {
    mouse.SetButtons(mouse.GetButtons() | bit);
    if (_pressedButton == 1 && !_editFlag && _plugedManip && _viewer) {
      if (_preselectMode) DoPick(0);
      _viewer->Manipulate(_plugedManip, this);
    } else if (_pressedButton == 2 && editor) {
      editor->Manipulate(&mouse);
    }
    return;
  }
  _pressedButton = button;
  const float x = mouse.GetPosition().x, y = mouse.GetPosition().y;
  switch (button) {
    case 1: {
      // The stamps' own width: a stamp older than the last press is no
      // double click.
      const std::uint32_t elapsed = static_cast<std::uint32_t>(mouse.GetTimeStamp()) -
                                    static_cast<std::uint32_t>(_lastPressTime);
      if (elapsed < DoubleClickTime && Distance2(x, y, _lastPressX, _lastPressY) < StillDistance2) {
        _editFlag = 1;
        if (_plugedManip && _viewer) _viewer->Edit(_plugedManip, this);
        return;
      }
      if (!_preselectMode) ElectionManipulator(0);
      SetLastPress(mouse.GetTimeStamp(), x, y);
      DoPick(0);
      if (_viewer) _viewer->Activate(_pointedManip, this);
      _pointedManip = nullptr;
      if (_plugedManip && _viewer) {
        DoPick(0);
        _viewer->BeginManipulate(_plugedManip, this);
        _mouseMode = 1;
        InvalidPick();
      }
      _useState = DEVICE_USED;
      if (_viewer) _viewer->CheckAutomaticBehavior();
      break;
    }
    case 2:
      // Without an editor nothing drives the camera: the button stays idle.
      if (!editor) break;
      editor->BeginManipulate(&mouse);
      _mouseMode = 0;
      _useState = DEVICE_USED;
      break;
    case 4:
      if (!editor) break;
      editor->BeginManipulate(&mouse);
      mouse.SetButtons(mouse.GetButtons() | 1);
      editor->Manipulate(&mouse);
      _mouseMode = 0;
      _useState = DEVICE_USED;
      break;
    default:  // 3: the contextual menu's (InterpretContextEvent)
      break;
  }
}

void KelMouseDevice::Motion(KelMouseEvent& mouse, float x, float y) {
  // After an arrow key chose a candidate, the hand's tremor keeps it.
  if (KelVue::GetInteractiveState() == 1 &&
      Distance2(x, y, mouse.GetPosition().x, mouse.GetPosition().y) < StillDistance2)
    return;
  mouse.SetPosition(x, y);
  KelVue::SetInteractiveState(0);
  if (_pressedButton == 2 || _pressedButton == 4) {
    KelViewpointEditor* editor = _viewer ? _viewer->GetViewpointEditor() : nullptr;
    if (_useState == DEVICE_USED && editor) editor->Manipulate(&mouse);
  } else if (_pressedButton == 0) {
    if (_debugMode) PrintPick();
    if (_preselectMode) ElectionManipulator(0);
  } else if (_pressedButton == 1) {
    if (!_editFlag && _useState == DEVICE_USED && _plugedManip && _viewer) {
      if (_preselectMode) DoPick(0);
      _viewer->Manipulate(_plugedManip, this);
    }
  }
}

void KelMouseDevice::Release(KelMouseEvent& mouse, int button) {
  KelVue::SetInteractiveState(2);
  KelViewpointEditor* editor = _viewer ? _viewer->GetViewpointEditor() : nullptr;
  const int bit = ExtraButtonBit(_pressedButton, button);
  if (_pressedButton && bit) {
    mouse.SetButtons(mouse.GetButtons() & ~bit);
    if (_pressedButton == 1 && !_editFlag && _plugedManip && _viewer) {
      if (_preselectMode) DoPick(0);
      _viewer->Manipulate(_plugedManip, this);
    } else if (_pressedButton == 2 && editor) {
      editor->Manipulate(&mouse);
    }
    return;
  }
  if (button == 1) {
    if (_editFlag) {
      _editFlag = 0;
      _pressedButton = 0;
      return;
    }
    if (!_plugedManip || !_viewer) {
      _useState = DEVICE_NOT_USED;
      _pressedButton = 0;
      return;
    }
    DoPick(0);
    _viewer->EndManipulate(_plugedManip, this);
    _mouseMode = 2;
    if (!_pointedManip)
      ElectionManipulator(0);
    else
      _viewer->Preactivate(_pointedManip, this);
    _useState = DEVICE_NOT_USED;
    _pressedButton = 0;
  } else if (button == 2 || button == 4) {
    _useState = DEVICE_NOT_USED;
    if (editor) {
      if (mouse.GetButtons()) {
        mouse.SetButtons(0);
        editor->Manipulate(&mouse);
      }
      editor->EndManipulate(&mouse);
    }
    mouse.SetModifiers(0);
    _mouseMode = 2;
    ElectionManipulator(0);
    _pressedButton = 0;
  } else {
    _pressedButton = 0;
  }
}

void KelMouseDevice::PrintPick() {
  KelMouseEvent* mouse = GetMouseEvent();
  if (!_viewer || !mouse) return;
  KelPickPathList pick;
  const unsigned long start = GetTimeStampInMilliseconds();
  _viewer->Pick(mouse->GetPosition().x, mouse->GetPosition().y, pick);
  const float seconds = GetDurationInSeconds(start, GetTimeStampInMilliseconds());
  std::cout << "\n KelPickPathList : PickTime = " << seconds * 1000.0f
            << " ms, NbPickPath = " << pick.GetPathCount() << "\n";
  const list<KelPickPath*>& paths = pick.GetPickPathList();
  for (int i = 0; i < paths.Count(); ++i) std::cout << " " << *paths[i] << "\n";
  std::cout.flush();
  pick.Reset();
}

// ---- Keys, modifiers and the contextual menu

void KelMouseDevice::ReceiveKeyEvent(KelKeyboardEvent& event) {
  const int key = event.GetKey();
  const bool upOrDown = key == 3 || key == 4;
  if (_mouseMode == 0) {
    if (KelViewpointEditor* editor = _viewer ? _viewer->GetViewpointEditor() : nullptr)
      editor->Manipulate(&event);
  } else if (_mouseMode == 1) {
    if (_plugedManip && upOrDown && _viewer) {
      KelVue::SetInteractiveState(1);
      if (_preselectMode) DoPick(key == 3 ? 1 : -1);
      _viewer->Manipulate(_plugedManip, this);
    }
  } else if (_mouseMode == 2 && upOrDown) {
    KelVue::SetInteractiveState(1);
    if (_preselectMode) ElectionManipulator(key == 3 ? 1 : -1);
  }
}

void KelMouseDevice::InterpretContextEvent(KelCommand*, KelNotification* notification, void*) {
  auto* menu = dynamic_cast<KelDlgNotification*>(notification);
  KelMouseEvent* mouse = GetMouseEvent();
  if (!menu || !mouse || !_viewer) return;
  if (menu->GetVisibility() == KelDlgShown) {
    if (!_preselectMode) ElectionManipulator(0);
    DoPick(0);
    if (_pointedManip) {
      _viewer->Context(_pointedManip, this);
      _contextFlag = 1;
    }
  } else {
    if (_pointedManip) {
      int x = 0, y = 0;
      _viewer->GetMousePosition(&x, &y);
      mouse->SetPosition(static_cast<float>(x), static_cast<float>(y));
      _viewer->EndContext(_pointedManip, this);
      _pointedManip = nullptr;
    }
    // Cleared whatever happened to the manipulator meanwhile, so that a
    // manipulator destroyed during the menu does not leave the mouse deaf.
    _contextFlag = 0;
    if (_preselectMode) ElectionManipulator(0);
  }
  mouse->SetModifiers(0);
}

void KelMouseDevice::GeneralModifiersModified(const char*, KelCallbackManager*,
                                              KelNotification* notification, void*, long) {
  KelMouseEvent* mouse = GetMouseEvent();
  if (!notification || !notification->IsAKindOf("KelDeviceEvent") || !mouse) return;
  const auto* changed = static_cast<KelDeviceEvent*>(notification);
  if (changed->GetModifiers() & mouse->GetModifiers()) return;
  mouse->SetModifiers(changed->GetModifiers());
  mouse->SetTimeStamp(changed->GetTimeStamp());
  if (!_viewer) return;
  if (_pressedButton == 0) {
    if (_preselectMode && _pointedManip) _viewer->Move(_pointedManip, this);
  } else if (_pressedButton == 1) {
    if (_useState == DEVICE_USED && _plugedManip) {
      if (_preselectMode) DoPick(0);
      _viewer->Manipulate(_plugedManip, this);
    }
  } else if (_pressedButton == 2 || _pressedButton == 4) {
    KelViewpointEditor* editor = _viewer->GetViewpointEditor();
    if (_useState == DEVICE_USED && editor) editor->Manipulate(mouse);
  }
}

// The mouse of a graphic window. It keeps the state of the interaction it
// drives: the button held, the double-click and context-menu flags, the last
// button-1 press, and the mouse mode (2 pointing, 1 dragging a manipulator,
// 0 driving the viewpoint editor).
//
// Until the viewer drives it, InterpretDeviceEvent keeps the current mouse
// event up to date (time, position, button held) and nothing more: picking
// and the manipulator sequence are the viewer's to start.
#pragma once

#include <kel/viewers/KelPointingDevice.h>

class KelMouseEvent;

class KelMouseDevice : public KelPointingDevice {
 public:
  KelMouseDevice() = default;
  ~KelMouseDevice() override;

  KEL_DECLARE_META(KelMouseDevice);

  void SetViewer(KelViewer* viewer) override;
  void InterpretDeviceEvent(KelNotification* raw, void* viewer) override;
  // Also gives the event this device, the current path and the path under,
  // and clears its mouse event's buttons.
  void SetCurrentEvent(KelViewerEvent* event) override;
  void SetDebugModeOn() override;
  void SetDebugModeOff() override;

  // The mouse event of the current event; null without one.
  KelMouseEvent* GetMouseEvent() const;

  int GetPressedButton() const { return _pressedButton; }
  void SetPressedButton(int button) { _pressedButton = button; }
  int GetEditFlag() const { return _editFlag; }
  void SetEditFlag(int flag) { _editFlag = flag; }
  int IsDebugMode() const { return _debugMode; }
  unsigned long GetLastPressTime() const { return _lastPressTime; }
  void SetLastPress(unsigned long time, float x, float y) {
    _lastPressTime = time;
    _lastPressX = x;
    _lastPressY = y;
  }
  float GetLastPressX() const { return _lastPressX; }
  float GetLastPressY() const { return _lastPressY; }
  int GetContextFlag() const { return _contextFlag; }
  void SetContextFlag(int flag) { _contextFlag = flag; }
  int GetMouseMode() const { return _mouseMode; }
  void SetMouseMode(int mode) { _mouseMode = mode; }

 private:
  int _pressedButton = 0;
  int _editFlag = 0;
  int _debugMode = 0;
  unsigned long _lastPressTime = 0;
  float _lastPressX = 0.0f;
  float _lastPressY = 0.0f;
  int _contextFlag = 0;
  int _mouseMode = 2;
};

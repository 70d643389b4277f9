// The mouse of a graphic window. It turns presses, motions and releases into
// the interaction sequence of the manipulator under the cursor (preactivate,
// activate, begin manipulate, manipulate, end manipulate) through its viewer,
// recognises double clicks (a second button-1 press within 600 ms and 4
// pixels: Edit), drops small motions after an arrow key chose a candidate,
// and hands middle-button drags (button 2, or 4) to the viewer's viewpoint
// editor. Buttons pressed during a drag add bits to the mouse event's buttons
// (1 for buttons 1 or 2, 2 for button 3).
//
// It keeps the state of that interaction: the button held, the double-click
// and context-menu flags, the last button-1 press, and the mouse mode (2
// pointing, 1 dragging a manipulator, 0 driving the viewpoint editor).
#pragma once

#include <kel/viewers/KelPointingDevice.h>

class KelCommand;
class KelKeyboardEvent;
class KelManipulator;
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
  // Takes the new modifiers unless they share a bit with the mouse event's,
  // and lets the manipulator or editor in charge see the change at once.
  void GeneralModifiersModified(const char* name, KelCallbackManager* publisher,
                                KelNotification* notification, void* data, long id) override;

  // Picks at the mouse event's position (KelViewer::IncrementPick with
  // `step`); the first candidate becomes the path under.
  void DoPick(int step);
  // Picks, lets the viewer choose the manipulator under the cursor and makes
  // it the pointed one: the old one ends its preactivation, the new one
  // begins it (or moves, when it is the same). Answers it.
  KelManipulator* ElectionManipulator(int step);
  // Arrow keys from the viewer: Up and Down go through the candidates under
  // the cursor; while the editor drives, keys go to it.
  void ReceiveKeyEvent(KelKeyboardEvent& event);
  // Visibility of the viewer's contextual menu: Context and EndContext of the
  // pointed manipulator; raw events wait while the menu is up.
  void InterpretContextEvent(KelCommand* sender, KelNotification* notification, void* data);
  // The bit that button `other` adds to the buttons while `held` is pressed,
  // 0 when that press is a new press.
  static int ExtraButtonBit(int held, int other);

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
  void Press(KelMouseEvent& mouse, int button);
  void Motion(KelMouseEvent& mouse, float x, float y);
  void Release(KelMouseEvent& mouse, int button);
  void PrintPick();

  int _pressedButton = 0;
  int _editFlag = 0;
  int _debugMode = 0;
  unsigned long _lastPressTime = 0;
  float _lastPressX = 0.0f;
  float _lastPressY = 0.0f;
  int _contextFlag = 0;
  int _mouseMode = 2;
};

// An input device of a graphic window. It keeps the viewer event it hands to
// manipulators (its current event, not owned: the viewer makes and deletes it),
// the manipulator it drives (plugged) and the one under it (pointed), and
// whether it is in use or locked. The window creates its devices and deletes
// them with itself.
#pragma once

#include <kel/framework/KelCallbackManager.h>
#include <kel/viewers/DeviceLockState.h>
#include <kel/viewers/DeviceUseState.h>

class KelManipulator;
class KelViewer;
class KelViewerEvent;

class KelDevice : public KelCallbackManager {
 public:
  KelDevice() = default;
  KelDevice(const KelDevice&) = delete;
  KelDevice& operator=(const KelDevice&) = delete;
  ~KelDevice() override;

  KEL_DECLARE_META(KelDevice);

  // Only the first viewer is kept: a device serves the viewer of its window.
  virtual void SetViewer(KelViewer* viewer);
  // Reads one raw event of the window ("DEVICE_ACTION") for `viewer`.
  virtual void InterpretDeviceEvent(KelNotification* raw, void* viewer);
  virtual void SetPlugedManip(KelManipulator* manipulator);
  virtual KelManipulator* GetPlugedManip() const;
  virtual void SetPointedManip(KelManipulator* manipulator);
  virtual KelManipulator* GetPointedManip() const;
  virtual void SetLockState(DeviceLockState state);
  virtual int IsLocked() const;
  virtual void SetUseState(DeviceUseState state);
  virtual int IsUsed() const;
  virtual void SetCurrentEvent(KelViewerEvent* event);
  virtual KelViewerEvent* GetCurrentEvent() const;
  // "GENERAL_MODIFIERS_MODIFIED" of the viewer: the notification's modifiers
  // (it is a device event) go into the current event's device event.
  virtual void GeneralModifiersModified(const char* name, KelCallbackManager* publisher,
                                        KelNotification* notification, void* data, long id);

  KelViewer* GetViewer() const { return _viewer; }
  int IsControlPanelEditable() const { return _controlPanelEditable; }
  void SetControlPanelEditable(int editable) { _controlPanelEditable = editable; }
  long GetModifiersCallback() const { return _modifiersCallback; }
  void SetModifiersCallback(long callback) { _modifiersCallback = callback; }

 protected:
  int _controlPanelEditable = 0;
  KelManipulator* _plugedManip = nullptr;
  KelManipulator* _pointedManip = nullptr;
  DeviceUseState _useState = DEVICE_NOT_USED;
  KelViewerEvent* _currentEvent = nullptr;
  DeviceLockState _lockState = DEVICE_UNLOCKED;
  long _modifiersCallback = 0;
  KelViewer* _viewer = nullptr;
};

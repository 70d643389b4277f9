// The keyboard of a graphic window. Shift and Control keep the viewer's
// general modifiers; arrows go to the viewer (its mouse devices), Page Up and
// Page Down to the viewpoint editor, other keys to the manipulator the viewer
// activated last (its pointed manipulator here) or else to the editor.
#pragma once

#include <kel/viewers/KelDevice.h>

class KelKeyboardEvent;

class KelKeyboardDevice : public KelDevice {
 public:
  KelKeyboardDevice() = default;
  ~KelKeyboardDevice() override;

  KEL_DECLARE_META(KelKeyboardDevice);

  void InterpretDeviceEvent(KelNotification* raw, void* viewer) override;
  // The keyboard event of the current event; null without one.
  KelKeyboardEvent* GetKeyboardEvent() const;
};

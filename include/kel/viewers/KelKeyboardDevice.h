// The keyboard of a graphic window. Until the viewer drives it,
// InterpretDeviceEvent keeps the current keyboard event up to date (time and
// key) and nothing more: the general modifiers and the keys handed to the
// viewpoint editor are the viewer's to act on.
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

// An input event of a device: the modifier keys held when it happened
// (bit 1 Shift, bit 4 Control).
#pragma once

#include <kel/viewers/KelTimeStampedEvent.h>

class KelDeviceEvent : public KelTimeStampedEvent {
 public:
  KelDeviceEvent() = default;
  ~KelDeviceEvent() override;

  KEL_DECLARE_META(KelDeviceEvent);

  int GetModifiers() const { return _modifiers; }
  void SetModifiers(int modifiers) { _modifiers = modifiers; }

 private:
  int _modifiers = 0;
};

// A button or key went up: the device it came from and the X button number
// (or, from the keyboard device, the key number).
#pragma once

#include <kel/viewers/KelTimeStampedEvent.h>

class KelDevice;

class KelReleaseEvent : public KelTimeStampedEvent {
 public:
  KelReleaseEvent() = default;
  KelReleaseEvent(KelDevice* device, unsigned long timeStamp, int button)
      : KelTimeStampedEvent(timeStamp), _device(device), _button(button) {}
  ~KelReleaseEvent() override;

  KEL_DECLARE_META(KelReleaseEvent);

  KelDevice* GetDevice() const { return _device; }
  void SetDevice(KelDevice* device) { _device = device; }
  int GetButton() const { return _button; }
  void SetButton(int button) { _button = button; }

 private:
  KelDevice* _device = nullptr;
  int _button = 0;
};

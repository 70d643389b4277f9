// The pointer moved: the device and the new position in window pixels (y down).
#pragma once

#include <kel/viewers/KelTimeStampedEvent.h>

class KelDevice;

class KelMotionEvent : public KelTimeStampedEvent {
 public:
  KelMotionEvent() = default;
  KelMotionEvent(KelDevice* device, unsigned long timeStamp, float x, float y)
      : KelTimeStampedEvent(timeStamp), _device(device), _x(x), _y(y) {}
  ~KelMotionEvent() override;

  KEL_DECLARE_META(KelMotionEvent);

  KelDevice* GetDevice() const { return _device; }
  void SetDevice(KelDevice* device) { _device = device; }
  float GetX() const { return _x; }
  float GetY() const { return _y; }
  void SetPosition(float x, float y) {
    _x = x;
    _y = y;
  }

 private:
  KelDevice* _device = nullptr;
  float _x = 0.0f;
  float _y = 0.0f;
};

// The keyboard device's event: the key number of the graphic window's key
// table (1 Left, 2 Right, 3 Up, 4 Down, 5 Prior, 6 Next, 7 Insert, 8 Delete,
// 11 Escape, 12 Shift, 13 Control).
#pragma once

#include <kel/viewers/KelDeviceEvent.h>

class Kelvector3f;

class KelKeyboardEvent : public KelDeviceEvent {
 public:
  KelKeyboardEvent() = default;
  ~KelKeyboardEvent() override;

  KEL_DECLARE_META(KelKeyboardEvent);

  int GetKey() const { return _key; }
  void SetKey(int key) { _key = key; }
  // Keys 1 to 6 give the unit direction they move along (-x, +x, +y, -y, +z,
  // -z) and answer 1; any other key answers 0 and leaves `direction`.
  int IsArrow(Kelvector3f& direction) const;

 private:
  int _key = 0;
};

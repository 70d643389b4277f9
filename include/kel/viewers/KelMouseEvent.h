// The mouse device's event: the pointer position in window pixels (y down) and
// the bits of the extra buttons pressed while another one drags.
#pragma once

#include <kel/framework/Kelpoint2f.h>
#include <kel/viewers/KelDeviceEvent.h>

class KelMouseEvent : public KelDeviceEvent {
 public:
  KelMouseEvent() = default;
  ~KelMouseEvent() override;

  KEL_DECLARE_META(KelMouseEvent);

  const Kelpoint2f& GetPosition() const { return _position; }
  void SetPosition(const Kelpoint2f& position) { _position = position; }
  void SetPosition(float x, float y) { _position = Kelpoint2f(x, y); }
  int GetButtons() const { return _buttons; }
  void SetButtons(int buttons) { _buttons = buttons; }

 private:
  Kelpoint2f _position;
  int _buttons = 0;
};

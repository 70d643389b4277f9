#include <kel/framework/Kelvector3f.h>
#include <kel/viewers/KelKeyboardEvent.h>

KEL_IMPLEMENT_META(KelKeyboardEvent, KelDeviceEvent)

KelKeyboardEvent::~KelKeyboardEvent() = default;

int KelKeyboardEvent::IsArrow(Kelvector3f& direction) const {
  static const Kelvector3f kArrows[6] = {{-1, 0, 0}, {1, 0, 0}, {0, 1, 0},
                                         {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  if (_key < 1 || _key > 6) return 0;
  direction = kArrows[_key - 1];
  return 1;
}

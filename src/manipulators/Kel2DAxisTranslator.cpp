#include <kel/manipulators/Kel2DAxisTranslator.h>
#include <kel/viewers/KelMouseEvent.h>

#include "KelManipulatorEvents.h"

KEL_IMPLEMENT_META(Kel2DAxisTranslator, Kel2DManipulator)

Kel2DAxisTranslator::Kel2DAxisTranslator(KelCommand* father, Kel2DRep* rep)
    : Kel2DManipulator(father, rep) {}

Kel2DAxisTranslator::Kel2DAxisTranslator(KelCommand* father, Kel2DRep* rep,
                                         Keldirection2f& direction)
    : Kel2DManipulator(father, rep), _direction(direction), _constrained(1) {}

Kel2DAxisTranslator::Kel2DAxisTranslator(KelCommand* father, const KelString& name, Kel2DRep* rep)
    : Kel2DManipulator(father, name, rep) {}

Kel2DAxisTranslator::Kel2DAxisTranslator(KelCommand* father, const KelString& name, Kel2DRep* rep,
                                         Keldirection2f& direction)
    : Kel2DManipulator(father, name, rep), _direction(direction), _constrained(1) {}

Kel2DAxisTranslator::~Kel2DAxisTranslator() = default;

int Kel2DAxisTranslator::BeginManipulate(KelNotification* notification, KelManipulator* other) {
  // Only the mouse's events carry a position to start from.
  KelViewerEvent* event = kelmanip::MouseViewerEvent(notification);
  if (!event) return 1;
  if (_interactiveState != 2) return 0;
  _startPoint = _lastDevicePoint =
      static_cast<KelMouseEvent*>(event->GetDeviceEvent())->GetPosition();
  return KelManipulator::BeginManipulate(notification, other);
}

int Kel2DAxisTranslator::Manipulate(KelNotification* notification, KelManipulator*) {
  KelViewerEvent* event = kelmanip::MouseViewerEvent(notification);
  if (!event || _interactiveState != 3) return 0;
  const Kelpoint2f p = static_cast<KelMouseEvent*>(event->GetDeviceEvent())->GetPosition();
  Kelpoint2f current = p;
  if (_constrained) {
    const Kelvector2f d(_direction.x, _direction.y);
    current = _startPoint + d * ((p - _startPoint) * d);
  }
  const Kelvector2f delta = current - _lastDevicePoint;
  _lastDevicePoint = current;
  return Translate(delta, *event);
}

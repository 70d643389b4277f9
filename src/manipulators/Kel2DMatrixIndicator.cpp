#include <kel/manipulators/Kel2DMatrixIndicator.h>

#include <kel/viewers/KelDeviceEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/KelViewpoint.h>

KEL_IMPLEMENT_META(Kel2DMatrixIndicator, Kel2DIndicator)

namespace {
// The viewer event of `notification` when it carries a mouse position.
KelViewerEvent* MouseViewerEvent(KelNotification* notification) {
  if (!notification || !notification->IsAKindOf("KelViewerEvent")) return nullptr;
  auto* event = static_cast<KelViewerEvent*>(notification);
  KelDeviceEvent* device = event->GetDeviceEvent();
  return device && device->IsAKindOf("KelMouseEvent") && event->GetViewer() ? event : nullptr;
}
}  // namespace

Kel2DMatrixIndicator::Kel2DMatrixIndicator(KelCommand* father, Kel2DViewpoint& viewpoint)
    : Kel2DIndicator(father, viewpoint) {}

Kel2DMatrixIndicator::Kel2DMatrixIndicator(KelCommand* father, const KelString& name,
                                           Kel2DViewpoint& viewpoint)
    : Kel2DIndicator(father, name, viewpoint) {}

Kel2DMatrixIndicator::~Kel2DMatrixIndicator() = default;

int Kel2DMatrixIndicator::BeginManipulate(KelNotification* notification, KelManipulator* other) {
  KelViewerEvent* event = MouseViewerEvent(notification);
  if (!event) return 1;
  // A refused drag leaves the matrix where it was.
  if (_interactiveState != 2) return 0;
  Kelpoint3f P, Q;
  event->GetViewer()->ComputeModelFromDeviceEvent(P, Q, *_viewpoint, *event->GetDeviceEvent());
  _lastPoint = Kelpoint2f(Q.x, Q.y);
  _objectPosition.SetTranslation(_lastPoint.AsVector());
  _positionEvent.SetMatrix(_objectPosition);
  _positionEvent.SetBasicEvent(event);
  _positionEvent.SetTimeStamp(event->GetTimeStamp());
  return KelManipulator::BeginManipulate(&_positionEvent, other);
}

int Kel2DMatrixIndicator::Manipulate(KelNotification* notification, KelManipulator* other) {
  KelViewerEvent* event = MouseViewerEvent(notification);
  if (!event || _interactiveState != 3) return 0;
  Kelpoint3f P, Q;
  event->GetViewer()->ComputeModelFromDeviceEvent(P, Q, *_viewpoint, *event->GetDeviceEvent());
  const Kelpoint2f p(Q.x, Q.y);
  _objectPosition.SetTranslation(_objectPosition.GetTranslation() + (p - _lastPoint));
  _positionEvent.SetMatrix(_objectPosition);
  _positionEvent.SetBasicEvent(event);
  _positionEvent.SetTimeStamp(event->GetTimeStamp());
  _lastPoint = p;
  return KelManipulator::Manipulate(&_positionEvent, other);
}

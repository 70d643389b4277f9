#include <kel/manipulators/KelIndicator.h>

#include <kel/viewers/KelDeviceEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/KelViewpoint.h>

KEL_IMPLEMENT_META(KelIndicator, KelManipulator)

KelIndicator::KelIndicator(KelCommand* father, KelViewpoint* viewpoint)
    : KelManipulator(father, nullptr), _viewpoint(viewpoint) {}

KelIndicator::KelIndicator(KelCommand* father, const KelString& name, KelViewpoint* viewpoint)
    : KelManipulator(father, name, nullptr), _viewpoint(viewpoint) {}

KelIndicator::~KelIndicator() = default;

void* KelIndicator::SendCommandSpecificObject(const char*, KelNotification*) {
  return nullptr;
}

void KelIndicator::UpdateIndicateEvent(const KelViewerEvent& event) {
  // A key has no position: the points of the last mouse event stay.
  Kelpoint3f P = _indicateEvent.GetNearPoint(), Q = _indicateEvent.GetFarPoint();
  KelViewer* viewer = event.GetViewer();
  KelDeviceEvent* device = event.GetDeviceEvent();
  if (viewer && _viewpoint && device && device->IsAKindOf("KelMouseEvent"))
    viewer->ComputeModelFromDeviceEvent(P, Q, *_viewpoint, *device);
  KelIndicateEvent indicated(P, Q, _viewpoint, &event);
  indicated.SetPickPathUnder(event.GetPickPathUnder());
  indicated.SetDevice(event.GetDevice());
  indicated.SetTimeStamp(event.GetTimeStamp());
  _indicateEvent = indicated;
}

KelNotification* KelIndicator::Indicate(KelNotification* notification) {
  if (!notification || !notification->IsAKindOf("KelViewerEvent")) return notification;
  UpdateIndicateEvent(*static_cast<KelViewerEvent*>(notification));
  return &_indicateEvent;
}

int KelIndicator::Preactivate(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::Preactivate(Indicate(notification), other);
}
int KelIndicator::Move(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::Move(Indicate(notification), other);
}
int KelIndicator::EndPreactivate(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::EndPreactivate(Indicate(notification), other);
}
int KelIndicator::Activate(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::Activate(Indicate(notification), other);
}
int KelIndicator::EndActivate(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::EndActivate(Indicate(notification), other);
}
int KelIndicator::BeginManipulate(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::BeginManipulate(Indicate(notification), other);
}
int KelIndicator::Manipulate(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::Manipulate(Indicate(notification), other);
}
int KelIndicator::EndManipulate(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::EndManipulate(Indicate(notification), other);
}
int KelIndicator::Edit(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::Edit(Indicate(notification), other);
}
int KelIndicator::EndEdit(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::EndEdit(Indicate(notification), other);
}
int KelIndicator::Context(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::Context(Indicate(notification), other);
}
int KelIndicator::EndContext(KelNotification* notification, KelManipulator* other) {
  return KelManipulator::EndContext(Indicate(notification), other);
}

void KelIndicator::SetSpecificCursor() {
  SetDefaultCursor();
}

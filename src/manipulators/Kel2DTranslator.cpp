#include <kel/manipulators/Kel2DTranslator.h>
#include <kel/picking/KelPickPath.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/KelViewpoint.h>

#include "KelManipulatorEvents.h"

KEL_IMPLEMENT_META(Kel2DTranslator, Kel2DManipulator)

namespace {
// The model point under the mouse in the viewpoint of the event's pick path;
// 0 without one.
int ModelPoint(KelViewerEvent& event, Kelpoint2f& point) {
  KelPickPath* path = event.GetPickPath();
  KelViewpoint* viewpoint = path ? path->GetViewpoint() : nullptr;
  if (!event.GetViewer() || !viewpoint) return 0;
  Kelpoint3f P, Q;
  event.GetViewer()->ComputeModelFromDeviceEvent(P, Q, *viewpoint, *event.GetDeviceEvent());
  point = Kelpoint2f(Q.x, Q.y);
  return 1;
}
}  // namespace

Kel2DTranslator::Kel2DTranslator(KelCommand* father, Kel2DRep* rep)
    : Kel2DManipulator(father, rep) {}

Kel2DTranslator::Kel2DTranslator(KelCommand* father, const KelString& name, Kel2DRep* rep)
    : Kel2DManipulator(father, name, rep) {}

Kel2DTranslator::~Kel2DTranslator() = default;

int Kel2DTranslator::BeginManipulate(KelNotification* notification, KelManipulator* other) {
  KelViewerEvent* event = kelmanip::MouseViewerEvent(notification);
  if (!event) return 1;
  Kelpoint2f p;
  if (_interactiveState != 2 || !ModelPoint(*event, p)) return 0;
  _lastPoint = p;
  return KelManipulator::BeginManipulate(notification, other);
}

int Kel2DTranslator::Manipulate(KelNotification* notification, KelManipulator*) {
  KelViewerEvent* event = kelmanip::MouseViewerEvent(notification);
  Kelpoint2f p;
  if (!event || _interactiveState != 3 || !ModelPoint(*event, p)) return 0;
  const Kelvector2f delta = p - _lastPoint;
  _lastPoint = p;
  return Translate(delta, *event);
}

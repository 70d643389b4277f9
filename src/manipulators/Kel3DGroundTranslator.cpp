#include <kel/aids/KelGroundRep.h>
#include <kel/framework/KelMath.h>
#include <kel/framework/KelMathPoint.h>
#include <kel/manipulators/Kel3DGroundTranslator.h>
#include <kel/picking/KelPickPath.h>
#include <kel/reps/KelRepPath.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>

#include "KelManipulatorEvents.h"

KEL_IMPLEMENT_META(Kel3DGroundTranslator, KelManipulator)

namespace {
// Draws (or, drawn again, undraws) `rep` over the frame of `viewer`'s main 3D
// viewpoint.
void DrawFurtive(KelViewer& viewer, KelRep& rep) {
  KelRepPath path(viewer.GetMain3DViewpoint());
  path.AddRep(rep);
  path.SetFurtive(1);
  viewer.DrawElement(path);
}
}  // namespace

Kel3DGroundTranslator::Kel3DGroundTranslator(KelCommand* father, KelGroundRep* ground)
    : KelManipulator(father, ground), _ground(ground) {}

Kel3DGroundTranslator::Kel3DGroundTranslator(KelCommand* father, const KelString& name,
                                             KelGroundRep* ground)
    : KelManipulator(father, name, ground), _ground(ground) {}

Kel3DGroundTranslator::~Kel3DGroundTranslator() {
  if (_copyViewer) RemoveRepFurtive(*_copyViewer);
  DropCopy();
}

void Kel3DGroundTranslator::DropCopy() {
  if (_copy) _copy->Destroy();
  _copy = nullptr;
  _copyViewer = nullptr;
}

void Kel3DGroundTranslator::RemoveRepFurtive(KelViewer& viewer) {
  if (!_copy) return;
  if (Kel3DViewpoint* v = viewer.GetMain3DViewpoint()) v->RemoveFurtiveRep(_copy);
  if (_copyViewer && _copyViewer != &viewer) {
    if (Kel3DViewpoint* v = _copyViewer->GetMain3DViewpoint()) v->RemoveFurtiveRep(_copy);
  }
  DropCopy();
}

void Kel3DGroundTranslator::DereferenceRep(KelRep* rep) {
  if (rep && rep == _ground) _ground = nullptr;
  KelManipulator::DereferenceRep(rep);
}

void Kel3DGroundTranslator::DereferenceViewer(KelViewer* viewer) {
  // The copy lay in a viewpoint of the dying viewer.
  if (viewer && viewer == _copyViewer) DropCopy();
  KelManipulator::DereferenceViewer(viewer);
}

int Kel3DGroundTranslator::BeginManipulate(KelNotification* notification, KelManipulator* other) {
  KelViewerEvent* event = kelmanip::MouseViewerEvent(notification);
  if (!event) return KelManipulator::BeginManipulate(notification, other);
  KelPickPath* path = event->GetPickPath();
  KelViewer* viewer = event->GetViewer();
  if (!path || path->Size() == 0 || !_ground || !viewer || !viewer->GetMain3DViewpoint()) return 0;
  if (!KelManipulator::BeginManipulate(notification, other)) return 0;
  if (_copyViewer) RemoveRepFurtive(*_copyViewer);
  DropCopy();
  // The copy starts where the ground is seen; its offsets count from there.
  _copy = _ground->Copy();
  _copy->SetOrigin(_ground->GetNewOrigin());
  _copy->HighLightOn();
  _copyViewer = viewer;
  _pickedPoint = path->GetGlobalIntersection();
  viewer->GetMain3DViewpoint()->AddFurtiveRep(_copy);
  DrawFurtive(*viewer, *_copy);
  return 1;
}

int Kel3DGroundTranslator::Manipulate(KelNotification* notification, KelManipulator* other) {
  KelViewerEvent* event = kelmanip::MouseViewerEvent(notification);
  if (!event || _interactiveState != 3) return 0;
  KelPickPath* path = event->GetPickPath();
  KelViewpoint* viewpoint = path ? path->GetViewpoint() : nullptr;
  KelViewer* viewer = event->GetViewer();
  if (_copy && viewer && viewpoint && viewpoint->IsAKindOf("Kel3DViewpoint")) {
    Kelpoint3f a, b;
    viewer->ComputeModelFromDeviceEvent(a, b, *viewpoint, *event->GetDeviceEvent());
    const Keldirection3f ray(b - a);
    const Keldirection3f sight = static_cast<Kel3DViewpoint*>(viewpoint)->GetSightDirection();
    const KelMathVector d(ray.AsVector()), s(sight.AsVector());
    const KelMathPoint A(a), P(_pickedPoint);
    // The ray meets the plane through the picked point that faces the viewer
    // (never parallel to it but for a broken camera).
    const double ds = d * s;
    if (std::fabs(ds) > KelMath::ZERO_MACHINE) {
      const KelMathPoint X = A - d * ((s * (A - P)) / ds);
      DrawFurtive(*viewer, *_copy);
      _copy->Translate(
          static_cast<float>((X - P) * KelMathVector(_copy->GetVertical().AsVector())));
      DrawFurtive(*viewer, *_copy);
    }
  }
  return KelManipulator::Manipulate(notification, other);
}

int Kel3DGroundTranslator::ManipulateInLightMode(KelNotification* notification,
                                                 KelManipulator* other) {
  return Manipulate(notification, other);
}

int Kel3DGroundTranslator::EndManipulate(KelNotification* notification, KelManipulator* other) {
  if (_interactiveState != 3) return 0;
  if (_copy) {
    KelViewer* viewer = _copyViewer;
    if (_ground) _ground->SetOrigin(_copy->GetNewOrigin());
    if (viewer) RemoveRepFurtive(*viewer);
    DropCopy();
    if (viewer) viewer->Draw();
  }
  return KelManipulator::EndManipulate(notification, other);
}

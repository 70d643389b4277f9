#include <kel/manipulators/KelManipulator.h>

#include <kel/aids/KelPopup.h>
#include <kel/controller/KelVisuController.h>
#include <kel/controller/KelVueNotification.h>
#include <kel/framework/KelCleaner.h>
#include <kel/framework/KelDlgConstants.h>
#include <kel/manipulators/KelActivate.h>
#include <kel/manipulators/KelBeginManipulate.h>
#include <kel/manipulators/KelContext.h>
#include <kel/manipulators/KelEdit.h>
#include <kel/manipulators/KelEndActivate.h>
#include <kel/manipulators/KelEndContext.h>
#include <kel/manipulators/KelEndEdit.h>
#include <kel/manipulators/KelEndManipulate.h>
#include <kel/manipulators/KelEndPreactivate.h>
#include <kel/manipulators/KelManipulate.h>
#include <kel/manipulators/KelMove.h>
#include <kel/manipulators/KelPreactivate.h>
#include <kel/picking/KelPickPath.h>
#include <kel/reps/KelRep.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewers/KelViewerEvent.h>
#include <kel/viewpoints/KelViewpoint.h>

#include <cstdio>

KEL_IMPLEMENT_META(KelManipulator, KelCommand)

namespace {
KelViewerEvent* AsViewerEvent(KelNotification* n) {
  return n && n->IsAKindOf("KelViewerEvent") ? static_cast<KelViewerEvent*>(n) : nullptr;
}

// The viewer event a query is about: the data of an interaction notification.
KelViewerEvent* QueriedEvent(KelNotification* n) {
  if (!n || !n->IsAKindOf("KelVueNotification")) return nullptr;
  return AsViewerEvent(static_cast<KelVueNotification*>(n)->GetDataNotification());
}

int IsOn(KelPickPath& path, const KelRep* rep) {
  path.InitToLeafRep();
  while (KelRep* r = path.NextFatherRep())
    if (r == rep) return 1;
  return 0;
}

// The model points under the cursor of a mouse event in `viewpoint`; 0 when
// there is no position to convert.
int ModelPoints(KelViewer* viewer, KelViewpoint* viewpoint, KelViewerEvent& event, Kelpoint3f& P,
                Kelpoint3f& Q) {
  KelDeviceEvent* device = event.GetDeviceEvent();
  if (!viewer || !viewpoint || !device || !device->IsAKindOf("KelMouseEvent")) return 0;
  viewer->ComputeModelFromDeviceEvent(P, Q, *viewpoint, *device);
  return 1;
}

KelViewpoint* ViewpointOf(const KelPickPath* path, const char* kind) {
  KelViewpoint* v = path ? path->GetViewpoint() : nullptr;
  return v && v->IsAKindOf(kind) ? v : nullptr;
}

void PrintSegmentNotice() {
  static const char* const lines[] = {
      " ----------------------------------------------------",
      " - the Kelsegment notification will disappear -",
      " - please replace it now with KelIndicationSegment         -",
      " - before 1 december 1996        -"};
  for (const char* line : lines) {
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  }
}
}  // namespace

KelManipulator::KelManipulator(KelCommand* father, KelRep* rep) : KelManipulator(father, {}, rep) {}

KelManipulator::KelManipulator(KelCommand* father, const KelString& name, KelRep* rep)
    : KelCommand(father, name), _rep(rep) {
  if (!rep) return;
  TakeRep(*rep);
  CheckAutomaticImplementationOn(*rep);
}

KelManipulator::~KelManipulator() {
  InhibAutomaticActivation();
  KelVisuController::ForgetManipulator(this);
  ReleaseRep(_rep);
  if (_repsToManipulate) {
    for (int i = 0; i < _repsToManipulate->Count(); ++i) ReleaseRep((*_repsToManipulate)[i]);
    delete _repsToManipulate;
  }
  KelViewer::InitViewerClassList();
  while (KelViewer* viewer = KelViewer::GetNextClassElement()) viewer->UnreferenceManipulator(this);
}

// ---- Reps

void KelManipulator::TakeRep(KelRep& rep) {
  KelManipulator* previous = rep.GetManipulator();
  // The previous manipulator would otherwise clear the new association, or
  // write into the Rep after its death.
  if (previous && previous != this) previous->DereferenceRep(&rep);
  rep.SetManipulator(this);
}

void KelManipulator::ReleaseRep(KelRep* rep) {
  if (rep && rep->GetManipulator() == this) rep->SetManipulator(nullptr);
}

void KelManipulator::AssociateToRep(KelRep* rep) {
  if (_repsToManipulate) {
    for (int i = 0; i < _repsToManipulate->Count(); ++i) ReleaseRep((*_repsToManipulate)[i]);
    delete _repsToManipulate;
    _repsToManipulate = nullptr;
  }
  ReleaseRep(_rep);
  _rep = rep;
  if (!rep) return;
  TakeRep(*rep);
  CheckAutomaticImplementationOn(*rep);
}

void KelManipulator::AddRepToManipulate(KelRep* rep) {
  if (!rep) return;
  if (!_repsToManipulate) _repsToManipulate = new list<KelRep*>;
  _repsToManipulate->AppendUnique(rep);
  TakeRep(*rep);
  CheckAutomaticImplementationOn(*rep);
}

void KelManipulator::RemoveRepToManipulate(KelRep* rep) {
  if (!_repsToManipulate) return;
  // The associated Rep stays handled.
  if (_repsToManipulate->Remove(rep) && rep != _rep) ReleaseRep(rep);
}

void KelManipulator::DereferenceRep(KelRep* rep) {
  if (_rep == rep) _rep = nullptr;
  if (_repsToManipulate) _repsToManipulate->Remove(rep);
}

void KelManipulator::DereferenceManipulator(KelManipulator*) {}

void KelManipulator::DereferenceViewer(KelViewer* viewer) {
  if (_viewer == viewer) _viewer = nullptr;
}

// ---- Interaction handlers

void KelManipulator::TakeViewer(KelNotification* notification) {
  if (KelViewerEvent* event = AsViewerEvent(notification)) _viewer = event->GetViewer();
}

int KelManipulator::Preactivate(KelNotification* notification, KelManipulator*) {
  TakeViewer(notification);
  if (_interactiveState != 0) return 0;
  _interactiveState = 1;
  SetSpecificCursor();
  Send(new KelPreactivate(notification));
  return 1;
}

int KelManipulator::Move(KelNotification* notification, KelManipulator*) {
  if (_interactiveState != 1) return 0;
  Send(new KelMove(notification));
  return 1;
}

int KelManipulator::EndPreactivate(KelNotification* notification, KelManipulator*) {
  if (_interactiveState != 1) return 0;
  _interactiveState = 0;
  SetDefaultCursor();
  _viewer = nullptr;
  Send(new KelEndPreactivate(notification));
  return 1;
}

int KelManipulator::Activate(KelNotification* notification, KelManipulator*) {
  TakeViewer(notification);
  if (_interactiveState != 1) return 0;
  _interactiveState = 2;
  _deviceState = 1;
  Send(new KelActivate(notification));
  return 1;
}

int KelManipulator::EndActivate(KelNotification* notification, KelManipulator*) {
  if (_deviceState != 1) return 0;
  _deviceState = 0;
  _viewer = nullptr;
  Send(new KelEndActivate(notification));
  return 1;
}

int KelManipulator::BeginManipulate(KelNotification* notification, KelManipulator*) {
  if (_interactiveState != 2) return 0;
  _interactiveState = 3;
  Send(new KelBeginManipulate(notification));
  return 1;
}

int KelManipulator::Manipulate(KelNotification* notification, KelManipulator*) {
  if (_interactiveState != 3) return 0;
  Send(new KelManipulate(notification));
  return 1;
}

int KelManipulator::EndManipulate(KelNotification* notification, KelManipulator*) {
  if (_interactiveState != 3) return 0;
  _interactiveState = 0;
  SetDefaultCursor();
  Send(new KelEndManipulate(notification));
  return 1;
}

int KelManipulator::Edit(KelNotification* notification, KelManipulator*) {
  if (_deviceState != 1 || _editState == 1) return 0;
  Send(new KelEdit(notification, _viewer ? KelDialog::GetFatherWindow(_viewer) : nullptr));
  return 1;
}

int KelManipulator::EndEdit(KelNotification* notification, KelManipulator*) {
  if (_editState != 1) return 0;
  if (KelPopup* popup = _editPopup) {
    _editPopup = nullptr;
    RemoveCallback(popup->GetCallbackManager(), _editPopupCallback);
    _editPopupCallback = 0;
    popup->RequestDelayedDestruction();
  }
  _editState = 0;
  Send(new KelEndEdit(notification));
  return 1;
}

int KelManipulator::Context(KelNotification* notification, KelManipulator*) {
  if (_interactiveState != 1) return 0;
  _interactiveState = 4;
  Send(new KelContext(notification, _viewer ? _viewer->GetContextualMenu() : nullptr));
  return 1;
}

int KelManipulator::EndContext(KelNotification* notification, KelManipulator*) {
  if (_interactiveState != 4) return 0;
  _interactiveState = 0;
  SetDefaultCursor();
  _viewer = nullptr;
  Send(new KelEndContext(notification));
  return 1;
}

void KelManipulator::SetDefaultCursor() {
  if (_viewer) _viewer->SetDefaultCursor();
}

void KelManipulator::SetSpecificCursor() {
  if (_viewer) _viewer->SetManipulatingCursor(1);
}

void KelManipulator::Send(KelNotification* notification) {
  if (!notification) return;
  KelCommand* father = GetFather();
  if (!father) {
    delete notification;
    return;
  }
  KelCleaner::DeleteOnTransactionEnd(notification);
  SendNotification(father, notification);
}

// ---- Edit popup

void KelManipulator::SetEditPopup(KelPopup& popup) {
  if (_deviceState != 1) return;
  _editState = 1;
  if (_editPopup != &popup) {
    // A popup replaced by another one would end the new edit when it dies.
    if (KelPopup* previous = _editPopup) {
      RemoveCallback(previous->GetCallbackManager(), _editPopupCallback);
      previous->RequestDelayedDestruction();
    }
    _editPopup = &popup;
    _editPopupCallback =
        AddCallback(popup.GetCallbackManager(), KelPopup::EDIT_PANEL_POPUP_DESTROYED(),
                    &KelManipulator::EditPopupDestroyed, nullptr);
  }
  popup.SetVisibility(KelDlgShown);
}

void KelManipulator::EditPopupDestroyed(const char*, KelCallbackManager* publisher,
                                        KelNotification*, void*, long) {
  // The popup is being destroyed: EndEdit must not ask for its destruction again.
  if (_editPopup && publisher == _editPopup->GetCallbackManager()) {
    _editPopup = nullptr;
    _editPopupCallback = 0;
  }
  EndEdit(nullptr, nullptr);
}

// ---- Queries

void* KelManipulator::SendCommandSpecificObject(const char* className,
                                                KelNotification* notification) {
  KelViewerEvent* event = QueriedEvent(notification);
  if (!event || !className) return DefaultDecoding(className, notification);

  if (className == KelViewer::ClassName()) return event->GetViewer();
  if (className == KelMouseEvent::ClassName()) {
    KelDeviceEvent* device = event->GetDeviceEvent();
    return device && device->IsAKindOf("KelMouseEvent") ? static_cast<KelMouseEvent*>(device)
                                                        : nullptr;
  }
  Kelpoint3f P, Q;
  if (className == Kel2DIndication::ClassName()) {
    KelViewpoint* v = ViewpointOf(event->GetPickPath(), "Kel2DViewpoint");
    if (!ModelPoints(_viewer, v, *event, P, Q)) return nullptr;
    _2DIndication = Kel2DIndication(Kelpoint2d(P.x, P.y));
    return &_2DIndication;
  }
  if (className == Kelsegment::ClassName()) {
    PrintSegmentNotice();
    KelViewpoint* v = ViewpointOf(event->GetPickPath(), "Kel3DViewpoint");
    if (!ModelPoints(_viewer, v, *event, P, Q)) return nullptr;
    _segment = Kelsegment(P, Q);
    return &_segment;
  }
  if (className == fct_MetaObjectToFind("KelIndicationSegment")->GetClassName()) {
    KelViewpoint* v = ViewpointOf(event->GetPickPath(), "Kel3DViewpoint");
    if (!ModelPoints(_viewer, v, *event, P, Q)) return nullptr;
    _indicationSegment = KelIndicationSegment(P, Q);
    return &_indicationSegment;
  }
  if (className == KelGraphicElementIntersection::ClassName()) {
    KelPickPath* under = event->GetPickPathUnder();
    if (!ViewpointOf(under, "Kel3DViewpoint")) return nullptr;
    _intersection = KelGraphicElementIntersection(under->GetGlobalIntersection());
    return &_intersection;
  }
  if (className == KelGraphicElementNormale::ClassName()) {
    KelPickPath* under = event->GetPickPathUnder();
    if (!ViewpointOf(under, "Kel3DViewpoint")) return nullptr;
    _normal = KelGraphicElementNormale(under->GetGlobalNormal());
    return &_normal;
  }
  return DefaultDecoding(className, notification);
}

void* KelManipulator::DefaultDecoding(const char* className, KelNotification* notification) {
  KelViewerEvent* event = QueriedEvent(notification);
  KelPickPath* path = event ? event->GetPickPathUnder() : nullptr;
  if (!path) return nullptr;
  KelManipulator* lowest = nullptr;
  KelManipulator* target = nullptr;
  int found = 0;
  path->InitToLeafRep();
  while (KelRep* rep = path->NextFatherRep()) {
    KelManipulator* m = rep->GetManipulator();
    if (!m) continue;
    if (!lowest) lowest = m;
    if (m == this) {
      found = 1;
    } else if (found) {
      target = m;
      break;
    }
  }
  if (target) return target->SendCommandSpecificObject(className, notification);
  if (found || !lowest) return nullptr;
  return lowest->SendCommandSpecificObject(className, notification);
}

// ---- Automatic activation, reset, destruction

void KelManipulator::CheckAutomaticImplementationOn(KelRep& rep) {
  KelViewer* viewer = KelViewer::GetCurrentViewer();
  if (!viewer || viewer->GetInteractiveState() != 2) return;
  if (IsOn(viewer->GetCurrentPath(), &rep)) viewer->SetManipulatorToActive(this);
}

void KelManipulator::InhibAutomaticActivation() {
  KelViewer* viewer = KelViewer::GetCurrentViewer();
  if (viewer && viewer->GetManipulatorToActive() == this) viewer->RemoveManipulatorToActive();
}

void KelManipulator::ResetState() {
  if (_interactiveState == 3)
    EndManipulate(nullptr, nullptr);
  else if (_interactiveState == 1)
    EndPreactivate(nullptr, nullptr);
  else if (_interactiveState == 4)
    EndContext(nullptr, nullptr);
  if (_deviceState == 1) EndActivate(nullptr, nullptr);
  if (_editState == 1) EndEdit(nullptr, nullptr);
}

void KelManipulator::Destroy() {
  ResetState();
  RequestDelayedDestruction();
}

// ---- Notification class names

const char* KelManipulator::GetKelPreactivate() {
  return KelPreactivate::ClassName();
}
const char* KelManipulator::GetKelMove() {
  return KelMove::ClassName();
}
const char* KelManipulator::GetKelEndPreactivate() {
  return KelEndPreactivate::ClassName();
}
const char* KelManipulator::GetKelActivate() {
  return KelActivate::ClassName();
}
const char* KelManipulator::GetKelEndActivate() {
  return KelEndActivate::ClassName();
}
const char* KelManipulator::GetKelBeginManipulate() {
  return KelBeginManipulate::ClassName();
}
const char* KelManipulator::GetKelManipulate() {
  return KelManipulate::ClassName();
}
const char* KelManipulator::GetKelEndManipulate() {
  return KelEndManipulate::ClassName();
}
const char* KelManipulator::GetKelEdit() {
  return KelEdit::ClassName();
}
const char* KelManipulator::GetKelEndEdit() {
  return KelEndEdit::ClassName();
}
const char* KelManipulator::GetKelContext() {
  return KelContext::ClassName();
}
const char* KelManipulator::GetKelEndContext() {
  return KelEndContext::ClassName();
}

#include <kel/manipulators/KelSelector.h>

#include <kel/controller/KelVisuController.h>
#include <kel/controller/KelVueNotification.h>
#include <kel/manipulators/Kel2DIndication.h>
#include <kel/picking/KelGraphicElementIntersection.h>
#include <kel/picking/KelGraphicElementNormale.h>
#include <kel/picking/KelPickPath.h>
#include <kel/viewers/KelIndicationSegment.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewers/KelViewerEvent.h>

const char* const KelAcceptDecode = "KelAcceptDecode";
const char* const KelRefuseDecode = "KelRefuseDecode";

KEL_IMPLEMENT_META(KelSelector, KelManipulator)

KelSelector::KelSelector(KelCommand* father, KelRep* rep) : KelManipulator(father, rep) {}
KelSelector::KelSelector(KelCommand* father, const KelString& name, KelRep* rep)
    : KelManipulator(father, name, rep) {}
KelSelector::~KelSelector() = default;

void KelSelector::SetSpecificCursor() {}

void* KelSelector::SendCommandSpecificObject(const char* className, KelNotification* notification) {
  if (className == KelViewer::ClassName() || className == KelMouseEvent::ClassName() ||
      className == Kel2DIndication::ClassName() ||
      className == fct_MetaObjectToFind("KelIndicationSegment")->GetClassName() ||
      className == KelGraphicElementIntersection::ClassName() ||
      className == KelGraphicElementNormale::ClassName())
    return KelManipulator::SendCommandSpecificObject(className, notification);
  if (className == KelAcceptDecode || className == KelRefuseDecode) {
    if (_viewer) _viewer->SetManipulatingCursor(className == KelAcceptDecode ? 1 : 2);
    return nullptr;
  }
  if (!className || !notification || !notification->IsAKindOf(KelVueNotification::ClassName()))
    return nullptr;
  auto* vue = static_cast<KelVueNotification*>(notification);
  vue->InitElementList();
  if (!vue->MoveToNextElement()) return nullptr;
  KelNotification* data = vue->GetDataNotification();
  if (!data || !data->IsAKindOf(KelViewerEvent::ClassName())) return nullptr;
  KelPickPath* path = static_cast<KelViewerEvent*>(data)->GetPickPath();
  if (!path) return nullptr;
  path->InitToTopRep();
  return KelVisuController::DecodeNextGraphicElement(className, path);
}

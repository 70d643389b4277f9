#include <kel/controller/KelVueNotification.h>
#include <kel/viewers/KelViewerEvent.h>

KEL_IMPLEMENT_META(KelVueNotification, KelNotification)

KelVueNotification::~KelVueNotification() = default;

namespace {
KelViewerEvent* AsViewerEvent(KelNotification* n) {
  return n && n->IsAKindOf("KelViewerEvent") ? static_cast<KelViewerEvent*>(n) : nullptr;
}
}  // namespace

KelPickPath* KelVueNotification::GetPickPath() const {
  KelViewerEvent* e = AsViewerEvent(_data);
  return e ? e->GetPickPath() : nullptr;
}

void KelVueNotification::InitElementList() {
  if (KelViewerEvent* e = AsViewerEvent(_data)) e->InitPickPathList();
}

int KelVueNotification::MoveToNextElement() {
  KelViewerEvent* e = AsViewerEvent(_data);
  return e ? e->MoveToNextPickPath() : 0;
}

#include <kel/controller/KelVisuController.h>

#include <kel/reps/KelRepTable.h>

KelVisuController::~KelVisuController() = default;

void KelVisuController::SetRepInGraphicTable(KelRep* rep, KelModelIdentificator& id) {
  if (_graphicTable) _graphicTable->SetAssociatedRep(rep, id);
}

KelRep* KelVisuController::GetRep(const KelModelIdentificator& id) {
  return _graphicTable ? _graphicTable->GetAssociatedRep(id) : nullptr;
}

void KelVisuController::UnreferenceRep(const KelModelIdentificator& id) {
  if (_graphicTable) _graphicTable->UnreferenceRep(id);
}

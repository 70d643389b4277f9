#include <kel/controller/KelModelIdentificator.h>
#include <kel/controller/KelVisuController.h>
#include <kel/reps/KelRep.h>

void KelModelIdentificator::RecordRep(KelRep* rep) {
  if (!rep) return;
  if (KelVisuController* controller = rep->GetControllerId())
    controller->SetRepInGraphicTable(rep, *this);
}

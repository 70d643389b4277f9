#include <kel/reps/KelRepTable.h>

KelRepTable::~KelRepTable() = default;
KelRep* KelRepTable::GetAssociatedRep(const KelModelIdentificator&) const {
  return nullptr;
}
void KelRepTable::SetAssociatedRep(KelRep*, KelModelIdentificator&) {}
void KelRepTable::UnreferenceRep(const KelModelIdentificator&) {}
int KelRepTable::GetAllId(KelModelIdentificator*** ids) {
  if (ids) *ids = nullptr;
  return 0;
}

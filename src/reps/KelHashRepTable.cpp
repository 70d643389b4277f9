#include <kel/reps/KelHashRepTable.h>

#include <kel/reps/KelHashTabKelRep.h>
#include <kel/reps/KelRep.h>

KelHashRepTable::KelHashRepTable()
    : _owner(new KelHashTabKelRep(
          new KelHashTable(&KelHashRepTable::GetKey, &KelHashRepTable::Compare, 300))) {}

KelHashRepTable::~KelHashRepTable() {
  _owner->GetTable()->RemoveAll();
  delete _owner;
}

KelHashRepTable& KelHashRepTable::operator=(const KelHashRepTable& other) {
  if (this != &other) *_owner = *other._owner;
  return *this;
}

std::intptr_t KelHashRepTable::GetKey(KelRep* rep) {
  return rep->GetIdentificator().GetIntId();
}

int KelHashRepTable::Compare(KelRep* a, KelRep* b) {
  return a->GetIdentificator().GetIntId() == b->GetIdentificator().GetIntId() ? 0 : 1;
}

int KelHashRepTable::GetSize() {
  return _owner->GetTable()->Size();
}

KelRep* KelHashRepTable::GetAssociatedRep(const KelModelIdentificator& id) const {
  return static_cast<KelRep*>(_owner->GetTable()->KeyLocate(id.GetIntId()));
}

void KelHashRepTable::SetAssociatedRep(KelRep* rep, KelModelIdentificator&) {
  if (rep) _owner->GetTable()->Insert(rep);
}

void KelHashRepTable::UnreferenceRep(const KelModelIdentificator& id) {
  if (void* rep = _owner->GetTable()->KeyLocate(id.GetIntId())) _owner->GetTable()->Remove(rep);
}

int KelHashRepTable::GetAllId(KelModelIdentificator*** ids) {
  const int n = GetSize();
  if (!ids) return n;
  *ids = n > 0 ? new KelModelIdentificator*[n] : nullptr;
  int start = 1, position = 0, i = 0;
  while (i < n) {
    auto* rep = static_cast<KelRep*>(_owner->GetTable()->Next(start, position));
    if (!rep) break;
    (*ids)[i++] = &rep->GetIdentificator();
  }
  return i;
}

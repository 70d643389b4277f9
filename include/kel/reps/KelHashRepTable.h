// A graphic table on the framework hash table: a Rep's key is the integer id
// of its own identificator (pointer-sized, compared at full width).
#pragma once

#include <kel/reps/KelRepTable.h>

#include <cstdint>

class KelHashTabKelRep;

class KelHashRepTable : public KelRepTable {
 public:
  KelHashRepTable();
  ~KelHashRepTable() override;
  KelHashRepTable(const KelHashRepTable&) = delete;
  KelHashRepTable& operator=(const KelHashRepTable& other);

  int GetSize() override;
  KelRep* GetAssociatedRep(const KelModelIdentificator& id) const override;
  // The key is taken from the Rep's own identificator, not from `id`.
  void SetAssociatedRep(KelRep* rep, KelModelIdentificator& id) override;
  void UnreferenceRep(const KelModelIdentificator& id) override;
  int GetAllId(KelModelIdentificator*** ids) override;

  static std::intptr_t GetKey(KelRep* rep);
  static int Compare(KelRep* a, KelRep* b);

 private:
  KelHashTabKelRep* _owner;
};

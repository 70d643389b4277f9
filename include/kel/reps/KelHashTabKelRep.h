// Owns the hash table behind a KelHashRepTable.
#pragma once

#include <kel/framework/KelHashTable.h>

class KelHashTabKelRep {
 public:
  explicit KelHashTabKelRep(KelHashTable* table) : _table(table) {}
  ~KelHashTabKelRep() { delete _table; }
  KelHashTabKelRep(const KelHashTabKelRep&) = delete;
  KelHashTabKelRep& operator=(const KelHashTabKelRep& other) {
    if (this != &other) *_table = *other._table;
    return *this;
  }
  KelHashTable* GetTable() const { return _table; }

 private:
  KelHashTable* _table;
};

// Maps a model object's identificator to the Rep that shows it: the
// interface a visualization controller uses for its graphic table.
#pragma once

class KelRep;
class KelModelIdentificator;

class KelRepTable {
 public:
  KelRepTable() = default;
  virtual ~KelRepTable();
  KelRepTable(const KelRepTable&) = delete;
  KelRepTable& operator=(const KelRepTable&) = default;

  virtual int GetSize() = 0;
  virtual KelRep* GetAssociatedRep(const KelModelIdentificator& id) const;
  virtual void SetAssociatedRep(KelRep* rep, KelModelIdentificator& id);
  virtual void UnreferenceRep(const KelModelIdentificator& id);
  // Hands out an array of the identificators' addresses (the caller deletes
  // the array with delete[]); answers its length.
  virtual int GetAllId(KelModelIdentificator*** ids);
};

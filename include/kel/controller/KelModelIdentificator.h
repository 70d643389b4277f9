// Names a model object: one pointer-sized word holding an integer id or the
// object's address. It is the key of a controller's graphic table; 0 means no
// object. Keys are compared on the full width of the word.
#pragma once

#include <cstdint>

class KelRep;

class KelModelIdentificator {
 public:
  KelModelIdentificator() = default;
  KelModelIdentificator(int id) : _id(id) {}  // NOLINT: ids convert implicitly
  KelModelIdentificator(void* object) : _id(reinterpret_cast<std::intptr_t>(object)) {}  // NOLINT
  KelModelIdentificator(const KelModelIdentificator&) = default;
  KelModelIdentificator& operator=(const KelModelIdentificator&) = default;

  void SetModelId(int id) { _id = id; }
  void SetModelId(void* object) { _id = reinterpret_cast<std::intptr_t>(object); }
  // The integer view of the word, at full width.
  std::intptr_t GetIntId() const { return _id; }
  void* GetVoidId() const { return reinterpret_cast<void*>(_id); }

  // Enters `rep` in its controller's graphic table under this identificator.
  void RecordRep(KelRep* rep);

  bool operator==(const KelModelIdentificator& o) const { return _id == o._id; }
  bool operator!=(const KelModelIdentificator& o) const { return _id != o._id; }

 private:
  std::intptr_t _id = 0;
};

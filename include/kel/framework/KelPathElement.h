// A path of model objects from a root object down to a leaf, walked with a
// cursor: what the selection service hands to the Reps to find the Reps that
// show a model path.
#pragma once

#include <vector>

class KelPathElement {
 public:
  KelPathElement() = default;
  KelPathElement(void* const* objects, int count)
      : _objects(objects, objects + (count > 0 ? count : 0)) {}

  void AddChildObject(void* object) { _objects.push_back(object); }
  int GetSize() const { return static_cast<int>(_objects.size()); }
  void* GetObject(int i) const { return (i >= 0 && i < GetSize()) ? _objects[i] : nullptr; }
  // Moves the cursor one object down and answers that object, or null past the leaf.
  void* GetNextChildObject() const {
    if (_cursor >= GetSize()) return nullptr;
    return _objects[_cursor++];
  }
  void InitToTopObject() const { _cursor = 0; }

  // Same objects in the same order; the cursors do not count.
  bool operator==(const KelPathElement& o) const { return _objects == o._objects; }
  bool operator!=(const KelPathElement& o) const { return !(*this == o); }

 private:
  std::vector<void*> _objects;
  mutable int _cursor = 0;
};

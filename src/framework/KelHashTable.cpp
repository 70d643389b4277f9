#include <kel/framework/KelHashTable.h>

#include <cstdio>

intptr_t KelHashTable::CallPlainKey(void (*f)(), void* e) {
  return reinterpret_cast<KeyFunction>(f)(e);
}
int KelHashTable::CallPlainCompare(void (*f)(), void* a, void* b) {
  return reinterpret_cast<CompareFunction>(f)(a, b);
}

KelHashTable::KelHashTable(KeyFunction key, CompareFunction compare, int initialSize)
    : KelHashTable(
          Functions{reinterpret_cast<void (*)()>(key), reinterpret_cast<void (*)()>(compare),
                    &CallPlainKey, &CallPlainCompare},
          initialSize) {}

KelHashTable::KelHashTable(const Functions& functions, int initialSize) : _functions(functions) {
  if (!_functions.key || !_functions.compare)
    std::fprintf(stderr, "KelHashTable::KelHashTable: Invalid function parameters.\n");
  if (initialSize > 0) {
    _elements.reserve(static_cast<std::size_t>(initialSize));
    _index.reserve(static_cast<std::size_t>(initialSize));
  }
}

KelHashTable::~KelHashTable() = default;

std::size_t KelHashTable::Hash::operator()(intptr_t key) const {
  // A 64-bit finaliser: every bit of the key reaches the low bits that pick
  // the bucket, so keys differing only in their upper half spread too.
  uint64_t x = static_cast<uint64_t>(key);
  x ^= x >> 30;
  x *= 0xbf58476d1ce4e5b9ULL;
  x ^= x >> 27;
  x *= 0x94d049bb133111ebULL;
  x ^= x >> 31;
  return static_cast<std::size_t>(x);
}

long KelHashTable::Find(intptr_t key, void* element) const {
  auto range = _index.equal_range(key);
  for (auto it = range.first; it != range.second; ++it) {
    void* held = _elements[it->second].element;
    if (_functions.callCompare(_functions.compare, held, element) == 0)
      return static_cast<long>(it->second);
  }
  return -1;
}

void* KelHashTable::Insert(void* element) {
  if (!element || !_functions.key || !_functions.compare) return nullptr;
  const intptr_t key = _functions.callKey(_functions.key, element);
  const long found = Find(key, element);
  if (found >= 0) return _elements[static_cast<std::size_t>(found)].element;
  _index.emplace(key, _elements.size());
  _elements.push_back({key, element});
  return element;
}

void KelHashTable::EraseAt(std::size_t index) {
  auto unindex = [this](intptr_t key, std::size_t at) {
    auto range = _index.equal_range(key);
    for (auto it = range.first; it != range.second; ++it)
      if (it->second == at) return it;
    return _index.end();
  };
  _index.erase(unindex(_elements[index].key, index));
  const std::size_t last = _elements.size() - 1;
  if (index != last) {
    // The last element fills the hole, so positions stay dense.
    unindex(_elements[last].key, last)->second = index;
    _elements[index] = _elements[last];
  }
  _elements.pop_back();
}

void* KelHashTable::Remove(void* element) {
  if (!element || !_functions.key || !_functions.compare) return nullptr;
  const long found = Find(_functions.callKey(_functions.key, element), element);
  if (found < 0) return nullptr;
  void* held = _elements[static_cast<std::size_t>(found)].element;
  EraseAt(static_cast<std::size_t>(found));
  return held;
}

void* KelHashTable::KeyLocate(intptr_t key) const {
  void* best = nullptr;
  std::size_t at = 0;
  auto range = _index.equal_range(key);
  for (auto it = range.first; it != range.second; ++it)
    if (!best || it->second < at) best = _elements[at = it->second].element;
  return best;
}

void* KelHashTable::Locate(void* element) const {
  if (!element || !_functions.key || !_functions.compare) return nullptr;
  const long found = Find(_functions.callKey(_functions.key, element), element);
  return found < 0 ? nullptr : _elements[static_cast<std::size_t>(found)].element;
}

void KelHashTable::RemoveAll() {
  _elements.clear();
  _index.clear();
}

void* KelHashTable::Next(int& start, int& position) const {
  // The walk goes from the last position down: a removal moves the last
  // element, already visited, into the hole.
  const int size = Size();
  if (start) {
    start = 0;
    position = size;
  }
  if (position > size) position = size;
  if (position <= 0) {
    position = 0;
    return nullptr;
  }
  return _elements[static_cast<std::size_t>(--position)].element;
}

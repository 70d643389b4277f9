// The library's growable list of pointers (or other small values): count,
// capacity, owned array, iteration cursor. Appending to a full list makes the
// capacity 5 when it was 0 and doubles it otherwise. Removal shifts the later
// elements down and moves the cursor back when the removed index lies before
// it, so a walk survives the removal of an element already visited.
#pragma once

#include <cstdlib>
#include <cstring>
#include <type_traits>

template <class T>
class list {
  static_assert(std::is_trivially_copyable<T>::value, "list holds plain values");

 public:
  list() = default;
  list(const list& other) { CopyFrom(other); }
  list& operator=(const list& other) {
    if (this != &other) {
      std::free(_elements);
      _elements = nullptr;
      CopyFrom(other);
    }
    return *this;
  }
  ~list() { std::free(_elements); }

  int Count() const { return _count; }
  int Capacity() const { return _capacity; }
  int Cursor() const { return _cursor; }
  T* Elements() const { return _elements; }
  T& operator[](int i) const { return _elements[i]; }

  // Index of the first element equal to `e`, or -1.
  int Find(const T& e) const {
    for (int i = 0; i < _count; ++i)
      if (_elements[i] == e) return i;
    return -1;
  }
  int Contains(const T& e) const { return Find(e) >= 0; }

  void Append(const T& e) {
    if (_count == _capacity) Grow();
    _elements[_count++] = e;
  }
  // Appends only when absent; answers 1 when appended.
  int AppendUnique(const T& e) {
    if (Find(e) >= 0) return 0;
    Append(e);
    return 1;
  }

  // Removes the first occurrence of `e`; an absent element changes nothing.
  int Remove(const T& e) {
    const int i = Find(e);
    if (i < 0) return 0;
    RemoveAt(i);
    return 1;
  }
  void RemoveAt(int i) {
    if (i < 0 || i >= _count) return;
    if (i + 1 < _count) std::memmove(_elements + i, _elements + i + 1, sizeof(T) * (_count - i - 1));
    --_count;
    if (i < _cursor) --_cursor;
  }
  void Swap(int i, int j) {
    T t = _elements[i];
    _elements[i] = _elements[j];
    _elements[j] = t;
  }

  // Drops the elements and keeps the storage.
  void Clear() { _count = _cursor = 0; }
  // Drops the elements and frees the storage.
  void Free() {
    std::free(_elements);
    _elements = nullptr;
    _count = _capacity = _cursor = 0;
  }

  // Iteration: InitIteration(), then Next(e) until it answers 0.
  void InitIteration() const { _cursor = 0; }
  int Next(T& e) const {
    if (_cursor >= _count) return 0;
    e = _elements[_cursor++];
    return 1;
  }

  const T* begin() const { return _elements; }
  const T* end() const { return _elements + _count; }

 private:
  void Grow() {
    const int capacity = _capacity == 0 ? 5 : 2 * _capacity;
    T* bigger = static_cast<T*>(std::malloc(sizeof(T) * capacity));
    if (!bigger) std::abort();
    if (_count) std::memcpy(bigger, _elements, sizeof(T) * _count);
    std::free(_elements);
    _elements = bigger;
    _capacity = capacity;
  }
  void CopyFrom(const list& other) {
    _count = other._count;
    _capacity = other._capacity;
    _cursor = other._cursor;
    if (_capacity) {
      _elements = static_cast<T*>(std::malloc(sizeof(T) * _capacity));
      if (!_elements) std::abort();
      if (_count) std::memcpy(_elements, other._elements, sizeof(T) * _count);
    }
  }

  int _count = 0;
  int _capacity = 0;
  T* _elements = nullptr;
  mutable int _cursor = 0;
};

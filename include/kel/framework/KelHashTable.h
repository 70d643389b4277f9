// A hash table of object pointers found by an integer key that a key function
// computes from each element; keys are pointer-sized and hashed on their full
// width. Two elements are equal when their keys are and the compare function
// answers 0. The table grows by rehashing; it never owns its elements.
#pragma once

#include <cstdint>
#include <type_traits>
#include <unordered_map>
#include <vector>

class KelHashTable {
 public:
  typedef intptr_t (*KeyFunction)(void* element);
  // 0 when the two elements are equal.
  typedef int (*CompareFunction)(void* a, void* b);

  // `initialSize` is the number of elements the table takes before it first
  // grows. A null function makes every operation fail safely.
  KelHashTable(KeyFunction key, CompareFunction compare, int initialSize);
  // The same with functions typed on the element class, such as
  // `intptr_t GetKey(KelRep*)` and `int Compare(KelRep*, KelRep*)`.
  template <class T, class K>
  KelHashTable(K (*key)(T*), int (*compare)(T*, T*), int initialSize)
      : KelHashTable(
            Functions{reinterpret_cast<void (*)()>(key), reinterpret_cast<void (*)()>(compare),
                      &CallKey<T, K>, &CallCompare<T>},
            initialSize) {
    static_assert(std::is_integral<K>::value, "a key is an integer");
  }
  KelHashTable(const KelHashTable&) = default;
  // Takes the other table's functions and elements.
  KelHashTable& operator=(const KelHashTable&) = default;
  ~KelHashTable();

  // Adds `element` unless an equal one is there. Answers the element now held
  // for it: `element` itself, or the equal one already present (table
  // unchanged); null for a null element.
  void* Insert(void* element);
  // Removes the element equal to `element`; answers it, or null.
  void* Remove(void* element);
  // An element whose key is `key`, or null.
  void* KeyLocate(intptr_t key) const;
  void* Locate(void* element) const;
  void RemoveAll();
  int Size() const { return static_cast<int>(_elements.size()); }

  // Iteration: set `start` to 1 (and `position` to anything) for the first
  // call; each call answers the next element, null after the last. Removing
  // the element just answered, or any element already answered, does not
  // disturb the walk; an element added during it is not visited.
  void* Next(int& start, int& position) const;

 private:
  struct Functions {
    void (*key)();
    void (*compare)();
    intptr_t (*callKey)(void (*)(), void*);
    int (*callCompare)(void (*)(), void*, void*);
  };
  template <class T, class K>
  static intptr_t CallKey(void (*f)(), void* e) {
    return static_cast<intptr_t>(reinterpret_cast<K (*)(T*)>(f)(static_cast<T*>(e)));
  }
  template <class T>
  static int CallCompare(void (*f)(), void* a, void* b) {
    return reinterpret_cast<int (*)(T*, T*)>(f)(static_cast<T*>(a), static_cast<T*>(b));
  }
  static intptr_t CallPlainKey(void (*f)(), void* e);
  static int CallPlainCompare(void (*f)(), void* a, void* b);

  KelHashTable(const Functions& functions, int initialSize);
  // Index in _elements of the element equal to `element` (key `key`), or -1.
  long Find(intptr_t key, void* element) const;
  void EraseAt(std::size_t index);

  struct Hash {
    std::size_t operator()(intptr_t key) const;
  };
  struct Element {
    intptr_t key;
    void* element;
  };

  Functions _functions;
  // Elements in a dense array; the index maps each key to their positions.
  std::vector<Element> _elements;
  std::unordered_multimap<intptr_t, std::size_t, Hash> _index;
};

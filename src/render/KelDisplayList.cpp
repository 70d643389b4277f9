#include <kel/render/KelDisplayList.h>

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/viewpoints/KelViewpoint.h>
#include <kel/viewpoints/KelViewport.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// The lists a type owns, and those an entry "to all lists" goes to.
constexpr int kLists3D[] = {0, 1, 2, 3, 4, 5};
constexpr int kAllLists3D[] = {1, 2, 3, 4, 5};
constexpr int kLists2D[] = {6};

// Old address -> new address of objects copied one for one, for the deep copy.
class AddressMap {
 public:
  void Add(const void* from, const void* to, std::size_t bytes) {
    _ranges.push_back(
        {reinterpret_cast<std::uintptr_t>(from), bytes, reinterpret_cast<std::uintptr_t>(to)});
  }
  void Sort() {
    std::sort(_ranges.begin(), _ranges.end(),
              [](const Range& a, const Range& b) { return a.from < b.from; });
  }
  // The value moved into the copy, or the value itself when it is not one of
  // the copied objects (a pointer the list never owned).
  std::intptr_t Map(std::intptr_t value) const {
    const auto v = static_cast<std::uintptr_t>(value);
    auto it = std::upper_bound(_ranges.begin(), _ranges.end(), v,
                               [](std::uintptr_t x, const Range& r) { return x < r.from; });
    if (it == _ranges.begin()) return value;
    --it;
    if (v - it->from >= it->bytes) return value;
    return static_cast<std::intptr_t>(it->to + (v - it->from));
  }

 private:
  struct Range {
    std::uintptr_t from;
    std::size_t bytes;
    std::uintptr_t to;
  };
  std::vector<Range> _ranges;
};

template <class M>
M* PoolSlot(std::vector<std::unique_ptr<M[]>>& blocks, int& used, int blockSize) {
  const std::size_t block = static_cast<std::size_t>(used / blockSize);
  if (block == blocks.size()) blocks.emplace_back(new M[blockSize]);
  M* slot = &blocks[block][used % blockSize];
  ++used;
  return slot;
}

template <class M>
void CopyPool(const std::vector<std::unique_ptr<M[]>>& from, int used,
              std::vector<std::unique_ptr<M[]>>& to, int blockSize, AddressMap& map) {
  for (std::size_t b = 0; b * blockSize < static_cast<std::size_t>(used); ++b) {
    to.emplace_back(new M[blockSize]);
    const int n = std::min(blockSize, used - static_cast<int>(b) * blockSize);
    for (int i = 0; i < n; ++i) to[b][i] = from[b][i];
    map.Add(from[b].get(), to[b].get(), sizeof(M) * blockSize);
  }
}

}  // namespace

KelDisplayList::KelDisplayList() : KelDisplayList(DISPLAY_LIST_3D) {}

KelDisplayList::KelDisplayList(DisplayListType type) : _type(type) {
  Allocate();
}

void KelDisplayList::Allocate() {
  auto allocate = [this](int l) {
    _lists[l].capacity = INITIAL_CAPACITY;
    _lists[l].values.reset(new std::intptr_t[INITIAL_CAPACITY]);
    _lists[l].opcodes.reset(new int[INITIAL_CAPACITY]);
  };
  if (_type == DISPLAY_LIST_2D)
    for (int l : kLists2D) allocate(l);
  else
    for (int l : kLists3D) allocate(l);
}

KelDisplayList::KelDisplayList(const KelDisplayList& other)
    : _type(other._type), _viewpoint(other._viewpoint), _duplicateSizes(other._duplicateSizes) {
  AddressMap map;
  CopyPool(other._matrices4, other._nbMatrices4, _matrices4, kMatrixBlock, map);
  CopyPool(other._matrices3, other._nbMatrices3, _matrices3, kMatrixBlock, map);
  _nbMatrices4 = other._nbMatrices4;
  _nbMatrices3 = other._nbMatrices3;
  _duplicates.reserve(other._duplicates.capacity());
  for (std::size_t i = 0; i < other._duplicates.size(); ++i) {
    const int size = other._duplicateSizes[i];
    _duplicates.emplace_back(new unsigned char[size]);
    std::memcpy(_duplicates[i].get(), other._duplicates[i].get(), size);
    map.Add(other._duplicates[i].get(), _duplicates[i].get(), size);
  }
  // Camera copies are cloned, never byte-copied: they own members of their own.
  _viewpointCopies.reserve(other._viewpointCopies.capacity());
  for (const auto& v : other._viewpointCopies) {
    _viewpointCopies.emplace_back(v->Clone());
    map.Add(v.get(), _viewpointCopies.back().get(), 1);
  }
  _viewportCopies.reserve(other._viewportCopies.capacity());
  for (const auto& v : other._viewportCopies) {
    _viewportCopies.emplace_back(v->Clone());
    map.Add(v.get(), _viewportCopies.back().get(), 1);
  }
  map.Sort();

  for (int l = 0; l < NB_LISTS; ++l) {
    const ElementList& from = other._lists[l];
    if (!from.values) continue;
    ElementList& to = _lists[l];
    to.capacity = from.capacity;
    to.count = from.count;
    to.values.reset(new std::intptr_t[to.capacity]);
    to.opcodes.reset(new int[to.capacity]);
    std::copy(from.opcodes.get(), from.opcodes.get() + from.count, to.opcodes.get());
    for (int i = 0; i < from.count; ++i) {
      const int op = from.opcodes[i];
      const bool owned = op == OP_PUSH_MATRIX_4X4 || op == OP_PUSH_MATRIX_3X3 ||
                         op == OP_DYNAMIC_VIEWPOINT || op == OP_DYNAMIC_VIEWPORT;
      to.values[i] = owned ? map.Map(from.values[i]) : from.values[i];
    }
  }
}

KelDisplayList::~KelDisplayList() = default;

void KelDisplayList::Reset() {
  for (ElementList& l : _lists) l.count = 0;
  _duplicates.clear();
  _duplicateSizes.clear();
  _viewpointCopies.clear();
  _viewportCopies.clear();
  _nbMatrices4 = 0;
  _nbMatrices3 = 0;
}

void KelDisplayList::IncreaseSize(const int list) {
  if (!HasList(list)) return;
  ElementList& l = _lists[list];
  if (l.capacity > INT_MAX / 2) {
    std::fprintf(stderr, "KelDisplayList::IncreaseSize: element list %d is full.\n", list);
    return;
  }
  const int capacity = l.capacity * 2;
  std::unique_ptr<std::intptr_t[]> values(new std::intptr_t[capacity]);
  std::unique_ptr<int[]> opcodes(new int[capacity]);
  std::copy(l.values.get(), l.values.get() + l.count, values.get());
  std::copy(l.opcodes.get(), l.opcodes.get() + l.count, opcodes.get());
  l.values = std::move(values);
  l.opcodes = std::move(opcodes);
  l.capacity = capacity;
}

void KelDisplayList::AddElem(const int list, const std::intptr_t value, const int opcode) {
  if (!HasList(list)) return;
  ElementList& l = _lists[list];
  if (l.count == l.capacity) {
    IncreaseSize(list);
    if (l.count == l.capacity) return;
  }
  if (l.count > 0) {
    const int last = l.opcodes[l.count - 1];
    if ((opcode == OP_FURTIVE_OFF && last == OP_FURTIVE_ON) ||
        (opcode == OP_POP_MATRIX && last == OP_PUSH_MATRIX_4X4)) {
      --l.count;
      return;
    }
    if (opcode == OP_ATTRIBUTE && last == OP_ATTRIBUTE) --l.count;
  }
  l.values[l.count] = value;
  l.opcodes[l.count] = opcode;
  ++l.count;
}

void KelDisplayList::AddElem(const std::intptr_t value, const int opcode) {
  if (_type == DISPLAY_LIST_2D) {
    for (int l : kLists2D) AddElem(l, value, opcode);
    return;
  }
  // A pop that cancels the last pooled matrix's push in every list gives the
  // copy back, so that bags whose children are all culled cost no pool slot.
  std::intptr_t lastCopy = 0;
  if (opcode == OP_POP_MATRIX && _nbMatrices4 > 0) {
    const int n = _nbMatrices4 - 1;
    lastCopy = reinterpret_cast<std::intptr_t>(&_matrices4[n / kMatrixBlock][n % kMatrixBlock]);
  }
  bool allCancelled = lastCopy != 0;
  for (int l : kAllLists3D) {
    const ElementList& e = _lists[l];
    if (allCancelled && !(e.count > 0 && e.opcodes[e.count - 1] == OP_PUSH_MATRIX_4X4 &&
                          e.values[e.count - 1] == lastCopy))
      allCancelled = false;
    AddElem(l, value, opcode);
  }
  if (allCancelled) --_nbMatrices4;
}

void KelDisplayList::AddMatrix(const Kel4x4Matrix& m) {
  AddElem(CopyMatrix(m), OP_PUSH_MATRIX_4X4);
}

std::intptr_t KelDisplayList::CopyMatrix(const Kel4x4Matrix& m) {
  Kel4x4Matrix* copy = PoolSlot(_matrices4, _nbMatrices4, kMatrixBlock);
  *copy = m;
  return reinterpret_cast<std::intptr_t>(copy);
}

void KelDisplayList::AddMatrix(const Kel3x3Matrix& m) {
  Kel3x3Matrix* copy = PoolSlot(_matrices3, _nbMatrices3, kMatrixBlock);
  *copy = m;
  AddElem(reinterpret_cast<std::intptr_t>(copy), OP_PUSH_MATRIX_3X3);
}

void* KelDisplayList::DuplicateElem(const void* data, const int size) {
  if (!data || size <= 0) return nullptr;
  if (_duplicates.size() == _duplicates.capacity()) {
    _duplicates.reserve(_duplicates.size() + 2048);
    _duplicateSizes.reserve(_duplicates.size() + 2048);
  }
  _duplicates.emplace_back(new unsigned char[size]);
  _duplicateSizes.push_back(size);
  std::memcpy(_duplicates.back().get(), data, size);
  return _duplicates.back().get();
}

KelViewpoint* KelDisplayList::DuplicateViewpoint(const KelViewpoint& viewpoint) {
  _viewpointCopies.emplace_back(viewpoint.Clone());
  return _viewpointCopies.back().get();
}

KelViewport* KelDisplayList::DuplicateViewport(const KelViewport& viewport) {
  _viewportCopies.emplace_back(viewport.Clone());
  return _viewportCopies.back().get();
}

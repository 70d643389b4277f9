#include <kel/picking/KelPickTree.h>

#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kGrid = 65535;  // KelPickTree::GRID
constexpr int kMortonBits = 10;

// The 10 low bits of v spread to every third bit.
std::uint32_t Spread(std::uint32_t v) {
  v &= 0x3FF;
  v = (v | (v << 16)) & 0x030000FF;
  v = (v | (v << 8)) & 0x0300F00F;
  v = (v | (v << 4)) & 0x030C30C3;
  v = (v | (v << 2)) & 0x09249249;
  return v;
}

const std::uint32_t* SpreadTable() {
  static const auto table = [] {
    std::vector<std::uint32_t> t(1 << kMortonBits);
    for (std::uint32_t v = 0; v < t.size(); ++v) t[v] = Spread(v);
    return t;
  }();
  return table.data();
}

// A part in the making of a tree: its Morton code, its reference and its box
// on the grid.
struct Record {
  std::uint32_t code;
  std::uint32_t part;
  std::uint16_t lo[3];
  std::uint16_t hi[3];
};

// Sorts the records by their codes in place on their top 10 bits, then each
// run of equal top bits on the others through a buffer the size of the run:
// no second copy of them all.
void SortByCode(Record* records, std::size_t n) {
  constexpr int kDigit = 10;
  constexpr std::uint32_t kMask = (1u << kDigit) - 1;
  std::vector<std::size_t> next(std::size_t(1) << kDigit), end(std::size_t(1) << kDigit);
  for (std::size_t i = 0; i < n; ++i) ++end[records[i].code >> 2 * kDigit];
  std::size_t sum = 0;
  for (std::size_t d = 0; d <= kMask; ++d) {
    next[d] = sum;
    sum += end[d];
    end[d] = sum;
  }
  for (std::size_t d = 0; d <= kMask; ++d) {
    while (next[d] < end[d]) {
      Record r = records[next[d]];
      std::size_t to = r.code >> 2 * kDigit;
      while (to != d) {
        std::swap(r, records[next[to]++]);
        to = r.code >> 2 * kDigit;
      }
      records[next[d]++] = r;
    }
  }
  std::vector<Record> buffer;
  for (std::size_t d = 0, from = 0; d <= kMask; from = end[d++]) {
    const std::size_t count = end[d] - from;
    if (count < 2) continue;
    buffer.resize(count);
    // Low bits from the run into the buffer, middle ones back.
    Record* run = records + from;
    for (int shift = 0; shift < 2 * kDigit; shift += kDigit) {
      const Record* in = shift ? buffer.data() : run;
      Record* out = shift ? run : buffer.data();
      std::uint32_t starts[1u << kDigit] = {};
      for (std::size_t i = 0; i < count; ++i) ++starts[(in[i].code >> shift) & kMask];
      std::uint32_t total = 0;
      for (std::uint32_t& c : starts) {
        const std::uint32_t k = c;
        c = total;
        total += k;
      }
      for (std::size_t i = 0; i < count; ++i) out[starts[(in[i].code >> shift) & kMask]++] = in[i];
    }
  }
}

// Whether every index starts a vertex: a multiple of 3 times the inverse of 3
// modulo 2^32 is at most a third of 2^32.
bool Aligned(const int* indices, std::size_t n) {
  std::uint32_t off = 0;
  for (std::size_t i = 0; i < n; ++i)
    off |= static_cast<std::uint32_t>(static_cast<std::uint32_t>(indices[i]) * 0xAAAAAAABu >
                                      0x55555555u);
  return off == 0;
}

// The box of points (count of them, three floats each).
void BoundsOf(const float* points, std::size_t count, float* lo, float* hi) {
  const float big = std::numeric_limits<float>::max();
  for (int k = 0; k < 3; ++k) lo[k] = big, hi[k] = -big;
  for (std::size_t i = 0; i < count; ++i)
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], points[3 * i + k]);
      hi[k] = std::max(hi[k], points[3 * i + k]);
    }
}

}  // namespace

const void* KelPickTree::Owner() {
  static const char owner = 0;
  return &owner;
}

KelPickTree::KelPickTree() : KelPrimitiveCache(Owner()) {}

std::size_t KelPickTree::GetBytes() const {
  return sizeof(*this) + _nodes.capacity() * sizeof(Node) +
         (_parts.capacity() + _fanStarts.capacity() + _stripStarts.capacity()) *
             sizeof(std::uint32_t);
}

void KelPickTree::SetGrid(const float* low, const float* high) {
  // The box of every part, with room for a padding of a millionth of the
  // coordinates' size on each side.
  double size = 0.0;
  for (int k = 0; k < 3; ++k)
    size = std::max(
        {size, double(high[k]) - low[k], std::fabs(double(low[k])), std::fabs(double(high[k]))});
  _pad = size > 0.0 ? size * (1.0 / (1 << 20)) : 1e-30;
  for (int k = 0; k < 3; ++k) {
    _base[k] = double(low[k]) - 2.0 * _pad;
    _step[k] = (double(high[k]) - low[k] + 4.0 * _pad) / kGrid;
    _inverse[k] = 1.0 / _step[k];
  }
}

template <class BoxOf>
void KelPickTree::Build(BoxOf boxOf) {
  const std::size_t n = _parts.size();
  // Each part's box on the grid, and its Morton code from the box's centre.
  const std::uint32_t* spread = SpreadTable();
  std::unique_ptr<Record[]> records(new Record[n]);
  for (std::size_t i = 0; i < n; ++i) {
    Record& r = records[i];
    r.part = _parts[i];
    boxOf(r.part, r.lo, r.hi);
    r.code = spread[(std::uint32_t(r.lo[0]) + r.hi[0]) >> 7] << 2 |
             spread[(std::uint32_t(r.lo[1]) + r.hi[1]) >> 7] << 1 |
             spread[(std::uint32_t(r.lo[2]) + r.hi[2]) >> 7];
  }
  SortByCode(records.get(), n);
  for (std::size_t i = 0; i < n; ++i) _parts[i] = records[i].part;

  // Nodes in depth-first order, the left child right after its parent. Leaves
  // hold 8 parts (the last one fewer): every split falls on a multiple of 8.
  const std::uint32_t leaves = static_cast<std::uint32_t>((n + LEAF_SIZE - 1) / LEAF_SIZE);
  _nodes.reserve(2 * leaves - 1);
  struct Range {
    std::uint32_t lo, hi;  // in leaves
    std::uint32_t parent;  // whose right child this is; ~0 for the root and left children
  };
  std::vector<Range> todo{{0, leaves, ~0u}};
  while (!todo.empty()) {
    const Range r = todo.back();
    todo.pop_back();
    const std::uint32_t index = static_cast<std::uint32_t>(_nodes.size());
    if (r.parent != ~0u) _nodes[r.parent].link = index;
    _nodes.push_back(Node{{0, 0, 0}, {0, 0, 0}, 0});
    if (r.hi - r.lo == 1) {
      _nodes[index].link = LEAF | r.lo;
      continue;
    }
    // Split where the highest bit that differs in the range's codes turns on,
    // unless that leaves less than a quarter on one side.
    const std::size_t first = std::size_t(r.lo) * LEAF_SIZE;
    const std::size_t last = std::min(n, std::size_t(r.hi) * LEAF_SIZE) - 1;
    std::uint32_t split = r.lo + (r.hi - r.lo) / 2;
    const std::uint32_t differ = records[first].code ^ records[last].code;
    if (differ) {
      const std::uint32_t bit = 1u << (31 - __builtin_clz(differ));
      const auto at = std::partition_point(records.get() + first, records.get() + last + 1,
                                           [&](const Record& c) { return !(c.code & bit); });
      const std::uint32_t leaf =
          static_cast<std::uint32_t>(((at - records.get()) + LEAF_SIZE / 2) / LEAF_SIZE);
      const std::uint32_t quarter = (r.hi - r.lo + 3) / 4;
      if (leaf >= r.lo + quarter && leaf + quarter <= r.hi) split = leaf;
    }
    todo.push_back({split, r.hi, index});
    todo.push_back({r.lo, split, ~0u});
  }

  // Boxes from the leaves up: children come after their parent.
  for (std::size_t i = _nodes.size(); i-- > 0;) {
    Node& node = _nodes[i];
    std::uint16_t lo[3] = {kGrid, kGrid, kGrid}, hi[3] = {0, 0, 0};
    auto grow = [&](const std::uint16_t* clo, const std::uint16_t* chi) {
      for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], clo[k]), hi[k] = std::max(hi[k], chi[k]);
    };
    if (node.link & LEAF) {
      const std::size_t from = std::size_t(node.link & ~LEAF) * LEAF_SIZE;
      for (std::size_t p = from; p < std::min(n, from + LEAF_SIZE); ++p)
        grow(records[p].lo, records[p].hi);
    } else {
      grow(_nodes[i + 1].lo, _nodes[i + 1].hi);
      grow(_nodes[node.link].lo, _nodes[node.link].hi);
    }
    std::copy(lo, lo + 3, node.lo);
    std::copy(hi, hi + 3, node.hi);
  }
}

std::unique_ptr<KelPickTree> KelPickTree::ForFace(const Kel3DFaceGP& face) {
  const float* v = face.GetVertexArray();
  const int nv = face.GetNbVertexCoords();
  if (!v || nv < 3) return nullptr;
  const int* t = face.GetTriangles();
  const int* fan = face.GetFans();
  const int* fanLengths = face.GetFanLengths();
  const int* strip = face.GetStrips();
  const int* stripLengths = face.GetStripLengths();
  const long long nt = t ? std::max(face.GetNbTriangles(), 0) : 0;
  const int nf = fan && fanLengths ? std::max(face.GetNbFans(), 0) : 0;
  const int ns = strip && stripLengths ? std::max(face.GetNbStrips(), 0) : 0;
  const long long fanIndices = nf ? face.GetNbFanIndices() : 0;
  const long long stripIndices = ns ? face.GetNbStripIndices() : 0;
  if (3 * nt > POSITION || fanIndices > POSITION || stripIndices > POSITION) return nullptr;
  if (nt + fanIndices + stripIndices < MIN_PARTS) return nullptr;

  std::unique_ptr<KelPickTree> tree(new KelPickTree);
  const int last = nv - 3;
  auto ok = [last](int i) { return i >= 0 && i <= last; };
  std::vector<std::uint32_t>& parts = tree->_parts;
  parts.resize(std::size_t(nt + fanIndices + stripIndices));
  std::size_t count = 0;
  for (long long i = 0; i < nt; ++i)
    if (ok(t[3 * i]) && ok(t[3 * i + 1]) && ok(t[3 * i + 2]))
      parts[count++] = TRIANGLE | static_cast<std::uint32_t>(3 * i);
  // The positions of each fan's and strip's first index, for finding them again.
  std::uint32_t at = 0;
  for (int f = 0; f < nf; ++f) {
    const int length = std::max(fanLengths[f], 0);
    tree->_fanStarts.push_back(at);
    for (int k = 2; k < length; ++k)
      if (ok(fan[at]) && ok(fan[at + k - 1]) && ok(fan[at + k])) parts[count++] = FAN | (at + k);
    at += static_cast<std::uint32_t>(length);
  }
  at = 0;
  for (int s = 0; s < ns; ++s) {
    const int length = std::max(stripLengths[s], 0);
    tree->_stripStarts.push_back(at);
    for (int k = 2; k < length; ++k)
      if (ok(strip[at + k - 2]) && ok(strip[at + k - 1]) && ok(strip[at + k]))
        parts[count++] = STRIP | (at + k);
    at += static_cast<std::uint32_t>(length);
  }
  parts.resize(count);
  if (parts.size() < std::size_t(MIN_PARTS)) return nullptr;
  if (parts.capacity() > parts.size() + parts.size() / 16) parts.shrink_to_fit();
  const KelPickTree& self = *tree;
  float low[3], high[3];
  BoundsOf(v, std::size_t(nv / 3), low, high);
  // An index need not start a vertex (x, y, z): one that does not makes any
  // coordinate a candidate for any axis.
  const bool aligned = Aligned(t, std::size_t(3 * nt)) && Aligned(fan, std::size_t(fanIndices)) &&
                       Aligned(strip, std::size_t(stripIndices));
  if (!aligned) {
    const auto range = std::minmax_element(v, v + nv);
    for (int k = 0; k < 3; ++k) low[k] = *range.first, high[k] = *range.second;
  }
  tree->SetGrid(low, high);
  auto corners = [&](std::uint32_t part, int* a, int* b, int* c) {
    if ((part & ~POSITION) == TRIANGLE) {
      const int* i = t + part;
      *a = i[0], *b = i[1], *c = i[2];
    } else {
      self.GetTriangle(face, part, a, b, c);
    }
  };
  if (aligned) {
    // Whole vertices: each is put on the grid once, its low and high corners
    // side by side, for all the triangles it belongs to.
    std::unique_ptr<std::uint16_t[]> grid(new std::uint16_t[2 * std::size_t(nv)]);
    for (int i = 0; i + 3 <= nv; i += 3)
      self.Quantize(v + i, v + i, &grid[2 * i], &grid[2 * i + 3]);
    tree->Build([&](std::uint32_t part, std::uint16_t* qlo, std::uint16_t* qhi) {
      int a, b, c;
      corners(part, &a, &b, &c);
      const std::uint16_t *p = &grid[2 * a], *q = &grid[2 * b], *r = &grid[2 * c];
      for (int k = 0; k < 3; ++k) {
        qlo[k] = std::min(std::min(p[k], q[k]), r[k]);
        qhi[k] = std::max(std::max(p[k + 3], q[k + 3]), r[k + 3]);
      }
    });
  } else {
    tree->Build([&](std::uint32_t part, std::uint16_t* qlo, std::uint16_t* qhi) {
      int a, b, c;
      corners(part, &a, &b, &c);
      float lo[3], hi[3];
      for (int k = 0; k < 3; ++k) {
        lo[k] = std::min(std::min(v[a + k], v[b + k]), v[c + k]);
        hi[k] = std::max(std::max(v[a + k], v[b + k]), v[c + k]);
      }
      self.Quantize(lo, hi, qlo, qhi);
    });
  }
  return tree;
}

void KelPickTree::GetTriangle(const Kel3DFaceGP& face, std::uint32_t part, int* a, int* b,
                              int* c) const {
  const std::uint32_t p = part & POSITION;
  if ((part & ~POSITION) == TRIANGLE) {
    const int* t = face.GetTriangles() + p;
    *a = t[0], *b = t[1], *c = t[2];
  } else if ((part & ~POSITION) == FAN) {
    const int* fan = face.GetFans();
    const std::uint32_t start = *(std::upper_bound(_fanStarts.begin(), _fanStarts.end(), p) - 1);
    *a = fan[start], *b = fan[p - 1], *c = fan[p];
  } else {
    const int* strip = face.GetStrips();
    const std::uint32_t start =
        *(std::upper_bound(_stripStarts.begin(), _stripStarts.end(), p) - 1);
    // Every other triangle of a strip is taken in the other order.
    const bool odd = ((p - start) & 1) != 0;
    *a = odd ? strip[p - 1] : strip[p - 2];
    *b = odd ? strip[p - 2] : strip[p - 1];
    *c = strip[p];
  }
}

std::unique_ptr<KelPickTree> KelPickTree::ForSegments(const float* points, int count, int step) {
  if (!points || step < 1 || count < 2 || (count - 2) / step + 1 < MIN_PARTS) return nullptr;
  std::unique_ptr<KelPickTree> tree(new KelPickTree);
  for (int i = 1; i < count; i += step) tree->_parts.push_back(static_cast<std::uint32_t>(i));
  float low[3], high[3];
  BoundsOf(points, std::size_t(count), low, high);
  tree->SetGrid(low, high);
  const KelPickTree& self = *tree;
  tree->Build([points, &self](std::uint32_t i, std::uint16_t* qlo, std::uint16_t* qhi) {
    const float* a = points + 3 * (i - 1);
    const float* b = points + 3 * i;
    float lo[3], hi[3];
    for (int k = 0; k < 3; ++k) lo[k] = std::min(a[k], b[k]), hi[k] = std::max(a[k], b[k]);
    self.Quantize(lo, hi, qlo, qhi);
  });
  return tree;
}

std::unique_ptr<KelPickTree> KelPickTree::ForIndexedSegments(const float* vertices,
                                                             const std::uint16_t* indices,
                                                             int count) {
  if (!vertices || !indices || count - 1 < MIN_PARTS) return nullptr;
  std::unique_ptr<KelPickTree> tree(new KelPickTree);
  float low[3], high[3];
  for (int k = 0; k < 3; ++k) low[k] = high[k] = vertices[indices[0] + k];
  for (int i = 1; i < count; ++i) {
    tree->_parts.push_back(static_cast<std::uint32_t>(i));
    for (int k = 0; k < 3; ++k) {
      low[k] = std::min(low[k], vertices[indices[i] + k]);
      high[k] = std::max(high[k], vertices[indices[i] + k]);
    }
  }
  tree->SetGrid(low, high);
  const KelPickTree& self = *tree;
  tree->Build([vertices, indices, &self](std::uint32_t i, std::uint16_t* qlo, std::uint16_t* qhi) {
    const float* a = vertices + indices[i - 1];
    const float* b = vertices + indices[i];
    float lo[3], hi[3];
    for (int k = 0; k < 3; ++k) lo[k] = std::min(a[k], b[k]), hi[k] = std::max(a[k], b[k]);
    self.Quantize(lo, hi, qlo, qhi);
  });
  return tree;
}

std::unique_ptr<KelPickTree> KelPickTree::ForPoints(const float* points, int count) {
  if (!points || count < MIN_PARTS) return nullptr;
  std::unique_ptr<KelPickTree> tree(new KelPickTree);
  for (int i = 0; i < count; ++i) tree->_parts.push_back(static_cast<std::uint32_t>(i));
  float low[3], high[3];
  BoundsOf(points, std::size_t(count), low, high);
  tree->SetGrid(low, high);
  const KelPickTree& self = *tree;
  tree->Build([points, &self](std::uint32_t i, std::uint16_t* qlo, std::uint16_t* qhi) {
    self.Quantize(points + 3 * i, points + 3 * i, qlo, qhi);
  });
  return tree;
}

void KelPickTree::AppendLeaf(std::uint32_t leaf, std::vector<std::uint32_t>& parts) const {
  const std::size_t from = std::size_t(leaf) * LEAF_SIZE;
  const std::size_t to = std::min(_parts.size(), from + LEAF_SIZE);
  parts.insert(parts.end(), _parts.begin() + static_cast<std::ptrdiff_t>(from),
               _parts.begin() + static_cast<std::ptrdiff_t>(to));
}

void KelPickTree::CollectOnRay(const double* o, const double* d,
                               std::vector<std::uint32_t>& parts) const {
  const std::size_t before = parts.size();
  double inverse[3];
  for (int k = 0; k < 3; ++k) inverse[k] = d[k] != 0.0 ? 1.0 / d[k] : 0.0;
  // Splits keep a quarter of a range on each side: the depth stays far below this.
  std::uint32_t stack[128];
  int top = 0;
  std::uint32_t i = 0;
  for (;;) {
    const Node& node = _nodes[i];
    double enter = 0.0, leave = 1.0;
    bool meets = true;
    for (int k = 0; k < 3 && meets; ++k) {
      const double lo = Low(node, k), hi = High(node, k);
      if (d[k] == 0.0) {
        meets = o[k] >= lo && o[k] <= hi;
        continue;
      }
      double t0 = (lo - o[k]) * inverse[k], t1 = (hi - o[k]) * inverse[k];
      if (t0 > t1) std::swap(t0, t1);
      enter = std::max(enter, t0);
      leave = std::min(leave, t1);
      meets = enter <= leave;
    }
    if (meets) {
      if (node.link & LEAF) {
        AppendLeaf(node.link & ~LEAF, parts);
      } else {
        stack[top++] = node.link;
        ++i;
        continue;
      }
    }
    if (top == 0) break;
    i = stack[--top];
  }
  std::sort(parts.begin() + static_cast<std::ptrdiff_t>(before), parts.end());
}

void KelPickTree::CollectInRegion(const Kel3DViewport& region,
                                  std::vector<std::uint32_t>& parts) const {
  const std::size_t before = parts.size();
  const float *pa, *pb, *pc, *pd;
  region.GetPlanes(&pa, &pb, &pc, &pd);
  const int planes = region.GetNbPlanes();
  std::uint32_t stack[128];
  int top = 0;
  std::uint32_t i = 0;
  for (;;) {
    const Node& node = _nodes[i];
    bool outside = false;
    for (int p = 0; p < planes && !outside; ++p) {
      const double n[3] = {pa[p], pb[p], pc[p]};
      double value = pd[p], size = std::fabs(double(pd[p]));
      for (int k = 0; k < 3; ++k) {
        const double lo = Low(node, k), hi = High(node, k);
        value += n[k] * (n[k] > 0.0 ? lo : hi);
        size += std::fabs(n[k]) * std::max(std::fabs(lo), std::fabs(hi));
      }
      // Outside by far more than the single-precision tests can be wrong.
      outside = value > size * (1.0 / (1 << 16));
    }
    if (!outside) {
      if (node.link & LEAF) {
        AppendLeaf(node.link & ~LEAF, parts);
      } else {
        stack[top++] = node.link;
        ++i;
        continue;
      }
    }
    if (top == 0) break;
    i = stack[--top];
  }
  std::sort(parts.begin() + static_cast<std::ptrdiff_t>(before), parts.end());
}

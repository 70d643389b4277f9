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

// The parts in the making of a tree: a Morton code in the high half, the
// part in the low one.
using Key = std::uint64_t;
constexpr int kDigit = 10;
constexpr std::uint32_t kDigits = 1u << kDigit;
constexpr int kTop = 32 + 2 * kDigit;  // shift of the code's top digit in a key

// Sorts the parts by their codes into `out`, as keys: by the top 10 bits
// (counted in `count` beforehand), then each run of equal top bits by the
// other 20 in two passes through a buffer the size of the run, which stays in
// the cache.
void SortByCode(const std::uint32_t* codes, const std::uint32_t* parts, Key* out, std::size_t n,
                std::uint32_t* count) {
  std::uint32_t sum = 0;
  for (std::uint32_t d = 0; d < kDigits; ++d) {
    const std::uint32_t c = count[d];
    count[d] = sum;
    sum += c;
  }
  for (std::size_t i = 0; i < n; ++i)
    out[count[codes[i] >> 2 * kDigit]++] = Key(codes[i]) << 32 | parts[i];
  std::vector<Key> buffer;
  std::uint32_t starts[kDigits];
  for (std::uint32_t d = 0, from = 0; d < kDigits; from = count[d++]) {
    const std::uint32_t size = count[d] - from;
    Key* run = out + from;
    if (size < 2) continue;
    if (size <= 32) {
      std::sort(run, run + size);
      continue;
    }
    if (buffer.size() < size) buffer.resize(size);
    for (int shift = 32; shift < kTop; shift += kDigit) {
      const Key* src = shift == 32 ? run : buffer.data();
      Key* dst = shift == 32 ? buffer.data() : run;
      std::fill(starts, starts + kDigits, 0u);
      for (std::uint32_t i = 0; i < size; ++i) ++starts[(src[i] >> shift) & (kDigits - 1)];
      std::uint32_t total = 0;
      for (std::uint32_t& c : starts) {
        const std::uint32_t k = c;
        c = total;
        total += k;
      }
      for (std::uint32_t i = 0; i < size; ++i)
        dst[starts[(src[i] >> shift) & (kDigits - 1)]++] = src[i];
    }
  }
}

// Whether every index starts a vertex: a multiple of 3 times the inverse of 3
// modulo 2^32 is at most a third of 2^32.
void Prefetch(const void* at) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  asm volatile("prefetcht0 %0" ::"m"(*static_cast<const char*>(at)));
#else
  __builtin_prefetch(at);
#endif
}

std::uint32_t Unaligned(int index) {
  return static_cast<std::uint32_t>(index) * 0xAAAAAAABu > 0x55555555u;
}

bool Aligned(const int* indices, std::size_t n) {
  std::uint32_t off = 0;
  for (std::size_t i = 0; i < n; ++i) off |= Unaligned(indices[i]);
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

template <class BoxOf, class Ahead>
void KelPickTree::Build(BoxOf boxOf, Ahead ahead) {
  const std::size_t n = _parts.size();
  // Each part's Morton code from its box's centre on the grid; the box is
  // worked out again for the leaves, cheaper than carrying it through the sort.
  const std::uint32_t* spread = SpreadTable();
  std::unique_ptr<Key[]> keys(new Key[n]);
  {
    std::unique_ptr<std::uint32_t[]> codes(new std::uint32_t[n]);
    std::uint32_t count[kDigits] = {};
    for (std::size_t i = 0; i < n; ++i) {
      std::uint16_t lo[3], hi[3];
      boxOf(_parts[i], lo, hi);
      const std::uint32_t code = spread[(std::uint32_t(lo[0]) + hi[0]) >> 7] << 2 |
                                 spread[(std::uint32_t(lo[1]) + hi[1]) >> 7] << 1 |
                                 spread[(std::uint32_t(lo[2]) + hi[2]) >> 7];
      codes[i] = code;
      ++count[code >> 2 * kDigit];
    }
    SortByCode(codes.get(), _parts.data(), keys.get(), n, count);
  }
  const Key* const sorted = keys.get();
  for (std::size_t i = 0; i < n; ++i) _parts[i] = static_cast<std::uint32_t>(sorted[i]);
  // Nodes in depth-first order, the left child right after its parent. Leaves
  // hold 8 parts (the last one fewer): every split falls on a multiple of 8,
  // the one nearest to where a bit of the codes turns on, found among the
  // codes of each leaf's fourth part (a small table that stays in the cache).
  const std::uint32_t leaves = static_cast<std::uint32_t>((n + LEAF_SIZE - 1) / LEAF_SIZE);
  std::unique_ptr<std::uint32_t[]> fourth(new std::uint32_t[leaves]);
  for (std::size_t l = 0; l < leaves; ++l)
    fourth[l] = static_cast<std::uint32_t>(sorted[std::min(n - 1, l * LEAF_SIZE + 3)] >> 32);

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
    const std::uint32_t differ = static_cast<std::uint32_t>((sorted[first] ^ sorted[last]) >> 32);
    if (differ) {
      // The last part has the bit: a short last leaf's clamped entry is past
      // the turn, as its fourth part would be.
      const std::uint32_t bit = 1u << (31 - __builtin_clz(differ));
      const std::uint32_t leaf = static_cast<std::uint32_t>(
          std::partition_point(fourth.get() + r.lo, fourth.get() + r.hi,
                               [bit](std::uint32_t c) { return !(c & bit); }) -
          fourth.get());
      const std::uint32_t quarter = (r.hi - r.lo + 3) / 4;
      if (leaf >= r.lo + quarter && leaf + quarter <= r.hi) split = leaf;
    }
    todo.push_back({split, r.hi, index});
    todo.push_back({r.lo, split, ~0u});
  }
  keys.reset();

  // Boxes from the leaves up: children come after their parent.
  for (std::size_t i = _nodes.size(); i-- > 0;) {
    Node& node = _nodes[i];
    std::uint16_t lo[3] = {kGrid, kGrid, kGrid}, hi[3] = {0, 0, 0};
    auto grow = [&](const std::uint16_t* clo, const std::uint16_t* chi) {
      for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], clo[k]), hi[k] = std::max(hi[k], chi[k]);
    };
    if (node.link & LEAF) {
      const std::size_t from = std::size_t(node.link & ~LEAF) * LEAF_SIZE;
      for (std::size_t p = from; p < std::min(n, from + LEAF_SIZE); ++p) {
        if (p >= 8 * LEAF_SIZE) ahead(_parts[p - 8 * LEAF_SIZE], false);
        if (p >= 2 * LEAF_SIZE) ahead(_parts[p - 2 * LEAF_SIZE], true);
        std::uint16_t plo[3], phi[3];
        boxOf(_parts[p], plo, phi);
        grow(plo, phi);
      }
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
  // An index need not start a vertex (x, y, z): one that does not makes any
  // coordinate a candidate for any axis. Seen here for the triangles, in the
  // same pass over their indices.
  std::uint32_t offVertex = 0;
  for (long long i = 0; i < nt; ++i) {
    const int a = t[3 * i], b = t[3 * i + 1], c = t[3 * i + 2];
    offVertex |= Unaligned(a) | Unaligned(b) | Unaligned(c);
    if (ok(a) && ok(b) && ok(c)) parts[count++] = TRIANGLE | static_cast<std::uint32_t>(3 * i);
  }
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
  const bool aligned = !offVertex && Aligned(fan, std::size_t(fanIndices)) &&
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
  // The leaves take the triangles in the curve's order, far apart in memory:
  // their indices are fetched well ahead, their vertices' grid corners once
  // the indices have come. (g++ 12 drops a __builtin_prefetch here.)
  const std::uint16_t* corner = nullptr;
  auto ahead = [t, &corner](std::uint32_t part, bool near) {
    if ((part & ~POSITION) != TRIANGLE) return;
    const int* i = t + part;
    if (near && corner) {
      Prefetch(corner + 2 * i[0]);
      Prefetch(corner + 2 * i[1]);
      Prefetch(corner + 2 * i[2]);
    } else if (!near) {
      Prefetch(i);
    }
  };
  if (aligned) {
    // Whole vertices: each is put on the grid once, its low and high corners
    // side by side, for all the triangles it belongs to.
    std::unique_ptr<std::uint16_t[]> grid(new std::uint16_t[2 * std::size_t(nv)]);
    corner = grid.get();
    for (int i = 0; i + 3 <= nv; i += 3)
      self.Quantize(v + i, v + i, &grid[2 * i], &grid[2 * i + 3]);
    tree->Build(
        [&](std::uint32_t part, std::uint16_t* qlo, std::uint16_t* qhi) {
          int a, b, c;
          corners(part, &a, &b, &c);
          const std::uint16_t *p = &grid[2 * a], *q = &grid[2 * b], *r = &grid[2 * c];
          for (int k = 0; k < 3; ++k) {
            qlo[k] = std::min(std::min(p[k], q[k]), r[k]);
            qhi[k] = std::max(std::max(p[k + 3], q[k + 3]), r[k + 3]);
          }
        },
        ahead);
  } else {
    tree->Build(
        [&](std::uint32_t part, std::uint16_t* qlo, std::uint16_t* qhi) {
          int a, b, c;
          corners(part, &a, &b, &c);
          float lo[3], hi[3];
          for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(std::min(v[a + k], v[b + k]), v[c + k]);
            hi[k] = std::max(std::max(v[a + k], v[b + k]), v[c + k]);
          }
          self.Quantize(lo, hi, qlo, qhi);
        },
        ahead);
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
  tree->Build(
      [points, &self](std::uint32_t i, std::uint16_t* qlo, std::uint16_t* qhi) {
        const float* a = points + 3 * (i - 1);
        const float* b = points + 3 * i;
        float lo[3], hi[3];
        for (int k = 0; k < 3; ++k) lo[k] = std::min(a[k], b[k]), hi[k] = std::max(a[k], b[k]);
        self.Quantize(lo, hi, qlo, qhi);
      },
      [](std::uint32_t, bool) {});
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
  tree->Build(
      [vertices, indices, &self](std::uint32_t i, std::uint16_t* qlo, std::uint16_t* qhi) {
        const float* a = vertices + indices[i - 1];
        const float* b = vertices + indices[i];
        float lo[3], hi[3];
        for (int k = 0; k < 3; ++k) lo[k] = std::min(a[k], b[k]), hi[k] = std::max(a[k], b[k]);
        self.Quantize(lo, hi, qlo, qhi);
      },
      [](std::uint32_t, bool) {});
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
  tree->Build(
      [points, &self](std::uint32_t i, std::uint16_t* qlo, std::uint16_t* qhi) {
        self.Quantize(points + 3 * i, points + 3 * i, qlo, qhi);
      },
      [](std::uint32_t, bool) {});
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

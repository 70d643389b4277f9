#include <kel/picking/KelPickTree.h>

#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kGrid = 65535;
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

// Sorts the parts by their codes, equal codes keeping their order.
void SortByCode(std::vector<std::uint32_t>& codes, std::vector<std::uint32_t>& parts) {
  constexpr int kDigit = 10;
  const std::size_t n = codes.size();
  std::vector<std::uint32_t> codes2(n), parts2(n);
  for (int shift = 0; shift < 3 * kMortonBits; shift += kDigit) {
    std::uint32_t counts[1u << kDigit] = {};
    for (std::uint32_t c : codes) ++counts[(c >> shift) & ((1u << kDigit) - 1)];
    std::uint32_t sum = 0;
    for (std::uint32_t& c : counts) {
      const std::uint32_t k = c;
      c = sum;
      sum += k;
    }
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t at = counts[(codes[i] >> shift) & ((1u << kDigit) - 1)]++;
      codes2[at] = codes[i];
      parts2[at] = parts[i];
    }
    codes.swap(codes2);
    parts.swap(parts2);
  }
}

struct Box {
  float lo[3];
  float hi[3];
};

void Grow(Box& b, const float* p) {
  for (int k = 0; k < 3; ++k) {
    b.lo[k] = std::min(b.lo[k], p[k]);
    b.hi[k] = std::max(b.hi[k], p[k]);
  }
}

Box EmptyBox() {
  const float big = std::numeric_limits<float>::max();
  return {{big, big, big}, {-big, -big, -big}};
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

template <class BoxOf>
void KelPickTree::Build(BoxOf boxOf) {
  const std::size_t n = _parts.size();
  // Centres, and the boxes of the parts and of the centres.
  std::vector<float> centres(3 * n);
  Box all = EmptyBox(), mid = EmptyBox();
  for (std::size_t i = 0; i < n; ++i) {
    Box b;
    boxOf(_parts[i], b.lo, b.hi);
    Grow(all, b.lo);
    Grow(all, b.hi);
    float* c = &centres[3 * i];
    for (int k = 0; k < 3; ++k) c[k] = 0.5f * (b.lo[k] + b.hi[k]);
    Grow(mid, c);
  }
  // Parts along a Morton curve through the centres' box.
  std::vector<std::uint32_t> codes(n);
  float scale[3];
  for (int k = 0; k < 3; ++k) {
    const float extent = mid.hi[k] - mid.lo[k];
    scale[k] = extent > 0.0f ? float((1 << kMortonBits) - 1) / extent : 0.0f;
  }
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t code = 0;
    for (int k = 0; k < 3; ++k) {
      const float q = (centres[3 * i + k] - mid.lo[k]) * scale[k];
      const std::uint32_t cell = q > 0.0f ? std::min(std::uint32_t(q), 1023u) : 0u;
      code |= Spread(cell) << (2 - k);
    }
    codes[i] = code;
  }
  std::vector<float>().swap(centres);
  SortByCode(codes, _parts);

  // Nodes in depth-first order, the left child right after its parent. Leaves
  // hold 8 parts (the last one fewer): every split falls on a multiple of 8.
  const std::uint32_t leaves = static_cast<std::uint32_t>((n + LEAF_SIZE - 1) / LEAF_SIZE);
  _nodes.reserve(2 * leaves - 1);
  std::vector<Box> boxes;
  boxes.reserve(2 * leaves - 1);
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
    boxes.push_back(EmptyBox());
    if (r.hi - r.lo == 1) {
      _nodes[index].link = LEAF | r.lo;
      continue;
    }
    // Split where the highest bit that differs in the range's codes turns on,
    // unless that leaves less than a quarter on one side.
    const std::size_t first = std::size_t(r.lo) * LEAF_SIZE;
    const std::size_t last = std::min(n, std::size_t(r.hi) * LEAF_SIZE) - 1;
    std::uint32_t split = r.lo + (r.hi - r.lo) / 2;
    const std::uint32_t differ = codes[first] ^ codes[last];
    if (differ) {
      const std::uint32_t bit = 1u << (31 - __builtin_clz(differ));
      const auto at = std::partition_point(codes.begin() + first, codes.begin() + last + 1,
                                           [&](std::uint32_t c) { return !(c & bit); });
      const std::uint32_t leaf =
          static_cast<std::uint32_t>(((at - codes.begin()) + LEAF_SIZE / 2) / LEAF_SIZE);
      const std::uint32_t quarter = (r.hi - r.lo + 3) / 4;
      if (leaf >= r.lo + quarter && leaf + quarter <= r.hi) split = leaf;
    }
    todo.push_back({split, r.hi, index});
    todo.push_back({r.lo, split, ~0u});
  }

  // Boxes from the leaves up: children come after their parent.
  for (std::size_t i = _nodes.size(); i-- > 0;) {
    Node& node = _nodes[i];
    Box& b = boxes[i];
    if (node.link & LEAF) {
      const std::size_t from = std::size_t(node.link & ~LEAF) * LEAF_SIZE;
      for (std::size_t p = from; p < std::min(n, from + LEAF_SIZE); ++p) {
        Box part;
        boxOf(_parts[p], part.lo, part.hi);
        Grow(b, part.lo);
        Grow(b, part.hi);
      }
    } else {
      for (const Box* child : {&boxes[i + 1], &boxes[node.link]}) {
        Grow(b, child->lo);
        Grow(b, child->hi);
      }
    }
  }

  // The grid: the parts' box with room for a padding of a millionth of the
  // coordinates' size on each side.
  double size = 0.0;
  for (int k = 0; k < 3; ++k)
    size = std::max({size, double(all.hi[k]) - all.lo[k], std::fabs(double(all.lo[k])),
                     std::fabs(double(all.hi[k]))});
  const double pad = size > 0.0 ? size * (1.0 / (1 << 20)) : 1e-30;
  for (int k = 0; k < 3; ++k) {
    _base[k] = double(all.lo[k]) - 2.0 * pad;
    _step[k] = (double(all.hi[k]) - all.lo[k] + 4.0 * pad) / kGrid;
  }
  for (std::size_t i = 0; i < _nodes.size(); ++i) {
    Node& node = _nodes[i];
    for (int k = 0; k < 3; ++k) {
      // Rounded outwards, then checked with the very expression the walks use.
      const double lo = double(boxes[i].lo[k]) - pad, hi = double(boxes[i].hi[k]) + pad;
      int qlo = static_cast<int>(std::floor((lo - _base[k]) / _step[k]));
      int qhi = static_cast<int>(std::ceil((hi - _base[k]) / _step[k]));
      qlo = std::clamp(qlo, 0, kGrid);
      qhi = std::clamp(qhi, 0, kGrid);
      while (qlo > 0 && _base[k] + qlo * _step[k] > lo) --qlo;
      while (qhi < kGrid && _base[k] + qhi * _step[k] < hi) ++qhi;
      node.lo[k] = static_cast<std::uint16_t>(qlo);
      node.hi[k] = static_cast<std::uint16_t>(qhi);
    }
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
  for (long long i = 0; i < nt; ++i)
    if (ok(t[3 * i]) && ok(t[3 * i + 1]) && ok(t[3 * i + 2]))
      parts.push_back(TRIANGLE | static_cast<std::uint32_t>(3 * i));
  // The positions of each fan's and strip's first index, for finding them again.
  std::uint32_t at = 0;
  for (int f = 0; f < nf; ++f) {
    const int length = std::max(fanLengths[f], 0);
    tree->_fanStarts.push_back(at);
    for (int k = 2; k < length; ++k)
      if (ok(fan[at]) && ok(fan[at + k - 1]) && ok(fan[at + k])) parts.push_back(FAN | (at + k));
    at += static_cast<std::uint32_t>(length);
  }
  at = 0;
  for (int s = 0; s < ns; ++s) {
    const int length = std::max(stripLengths[s], 0);
    tree->_stripStarts.push_back(at);
    for (int k = 2; k < length; ++k)
      if (ok(strip[at + k - 2]) && ok(strip[at + k - 1]) && ok(strip[at + k]))
        parts.push_back(STRIP | (at + k));
    at += static_cast<std::uint32_t>(length);
  }
  if (parts.size() < std::size_t(MIN_PARTS)) return nullptr;
  parts.shrink_to_fit();
  const KelPickTree& self = *tree;
  tree->Build([&](std::uint32_t part, float* lo, float* hi) {
    int a, b, c;
    self.GetTriangle(face, part, &a, &b, &c);
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min({v[a + k], v[b + k], v[c + k]});
      hi[k] = std::max({v[a + k], v[b + k], v[c + k]});
    }
  });
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
  tree->Build([points](std::uint32_t i, float* lo, float* hi) {
    const float* a = points + 3 * (i - 1);
    const float* b = points + 3 * i;
    for (int k = 0; k < 3; ++k) lo[k] = std::min(a[k], b[k]), hi[k] = std::max(a[k], b[k]);
  });
  return tree;
}

std::unique_ptr<KelPickTree> KelPickTree::ForIndexedSegments(const float* vertices,
                                                             const std::uint16_t* indices,
                                                             int count) {
  if (!vertices || !indices || count - 1 < MIN_PARTS) return nullptr;
  std::unique_ptr<KelPickTree> tree(new KelPickTree);
  for (int i = 1; i < count; ++i) tree->_parts.push_back(static_cast<std::uint32_t>(i));
  tree->Build([vertices, indices](std::uint32_t i, float* lo, float* hi) {
    const float* a = vertices + indices[i - 1];
    const float* b = vertices + indices[i];
    for (int k = 0; k < 3; ++k) lo[k] = std::min(a[k], b[k]), hi[k] = std::max(a[k], b[k]);
  });
  return tree;
}

std::unique_ptr<KelPickTree> KelPickTree::ForPoints(const float* points, int count) {
  if (!points || count < MIN_PARTS) return nullptr;
  std::unique_ptr<KelPickTree> tree(new KelPickTree);
  for (int i = 0; i < count; ++i) tree->_parts.push_back(static_cast<std::uint32_t>(i));
  tree->Build([points](std::uint32_t i, float* lo, float* hi) {
    for (int k = 0; k < 3; ++k) lo[k] = hi[k] = points[3 * i + k];
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

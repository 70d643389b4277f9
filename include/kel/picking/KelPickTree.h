// A bounding-volume hierarchy over the parts of one large primitive (the
// triangles of a face, the segments of a line or an edge, the points of a
// marker), made the first time a pick reaches the primitive and kept with it
// as one of its caches until its geometry changes or it goes.
//
// The tree only narrows down the parts worth testing: the picking render then
// tests those exactly as it tests every part without a tree, in the same
// order, so the hits are the same. For that no part that the exact test could
// hit may be left out: node boxes are quantised on 16 bits over the
// primitive's box, rounded outwards and padded by a millionth of the
// coordinates' size, and a box is only left out by a margin far above the
// rounding of the exact tests.
//
// Size: 16 bytes a node, one node per 4 parts, and a 4-byte reference per
// part (8 bytes a part), plus 4 bytes per fan and strip of a face.
#pragma once

#include <kel/primitives/KelPrimitiveCache.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class Kel3DFaceGP;
class Kel3DViewport;

class KelPickTree : public KelPrimitiveCache {
 public:
  // Below this many parts a primitive is tested part by part, without a tree.
  static constexpr int MIN_PARTS = 64;
  // A face's parts: the kind in the top two bits, below them the position in
  // the kind's index array of the part's last index.
  static constexpr std::uint32_t TRIANGLE = 0u;
  static constexpr std::uint32_t FAN = 1u << 30;
  static constexpr std::uint32_t STRIP = 2u << 30;
  static constexpr std::uint32_t POSITION = (1u << 30) - 1;

  // The owner every pick tree is kept under in its primitive.
  static const void* Owner();

  // Null when there are fewer than MIN_PARTS parts, or index arrays too large
  // for the references. Parts whose indices lie outside the vertex array are
  // left out, as the picking render skips them.
  static std::unique_ptr<KelPickTree> ForFace(const Kel3DFaceGP& face);
  // The segments (points[i - 1], points[i]) for i = 1, 1 + step, ... below
  // count; part i.
  static std::unique_ptr<KelPickTree> ForSegments(const float* points, int count, int step);
  // The segments between consecutive indexed vertices, indices i - 1 and i
  // (coordinate positions); part i.
  static std::unique_ptr<KelPickTree> ForIndexedSegments(const float* vertices,
                                                         const std::uint16_t* indices, int count);
  // The points; part i.
  static std::unique_ptr<KelPickTree> ForPoints(const float* points, int count);

  // A face part's vertex positions, in the order the picking render takes them.
  void GetTriangle(const Kel3DFaceGP& face, std::uint32_t part, int* a, int* b, int* c) const;

  // Appends, in increasing order, the parts whose box the segment from
  // origin to origin + direction meets.
  void CollectOnRay(const double* origin, const double* direction,
                    std::vector<std::uint32_t>& parts) const;
  // Appends, in increasing order, the parts whose box is not wholly outside
  // one plane of the region.
  void CollectInRegion(const Kel3DViewport& region, std::vector<std::uint32_t>& parts) const;

  int GetPartCount() const { return static_cast<int>(_parts.size()); }
  std::size_t GetBytes() const;
  // The version of the arrays it was made from, when they belong to another
  // primitive (an edge's face).
  unsigned GetSourceVersion() const { return _sourceVersion; }
  void SetSourceVersion(unsigned version) { _sourceVersion = version; }

 private:
  struct Node {
    std::uint16_t lo[3];
    std::uint16_t hi[3];
    std::uint32_t link;  // leaf: LEAF | leaf number; inner: the right child
  };
  static constexpr std::uint32_t LEAF = 1u << 31;
  static constexpr int GRID = 65535;
  static constexpr int LEAF_SIZE = 8;

  KelPickTree();
  // The grid over [low, high], where every part's box lies.
  void SetGrid(const float* low, const float* high);
  // A box on the grid, padded. Rounded down and up it is not always outwards,
  // but never by more than a rounding, far inside the padding.
  void Quantize(const float* low, const float* high, std::uint16_t* qlow,
                std::uint16_t* qhigh) const {
    for (int k = 0; k < 3; ++k) {
      qlow[k] = static_cast<std::uint16_t>((low[k] - (_base[k] + _pad)) * _inverse[k]);
      const int q = static_cast<int>((high[k] - (_base[k] - _pad)) * _inverse[k]) + 1;
      qhigh[k] = static_cast<std::uint16_t>(q < GRID ? q : GRID);
    }
  }
  // `box(part, qlo, qhi)` gives a part's box on the grid; the parts are in
  // _parts. `ahead(part, near)` is told of a part whose box is asked for
  // soon, or very soon.
  template <class BoxOf, class Ahead>
  void Build(BoxOf box, Ahead ahead);
  template <class Visit>
  void ForEachLeaf(const double* origin, const double* direction, Visit visit) const;
  void AppendLeaf(std::uint32_t leaf, std::vector<std::uint32_t>& parts) const;
  double Low(const Node& n, int axis) const { return _base[axis] + n.lo[axis] * _step[axis]; }
  double High(const Node& n, int axis) const { return _base[axis] + n.hi[axis] * _step[axis]; }

  std::vector<Node> _nodes;
  std::vector<std::uint32_t> _parts;  // leaf k holds parts [8k, 8k + 8)
  std::vector<std::uint32_t> _fanStarts;
  std::vector<std::uint32_t> _stripStarts;
  double _base[3] = {0, 0, 0};
  double _step[3] = {1, 1, 1};
  double _inverse[3] = {1, 1, 1};
  double _pad = 0.0;
  unsigned _sourceVersion = 0;
};

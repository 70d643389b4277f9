#include <kel/picking/KelPickingRender.h>

#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/framework/KelMath.h>
#include <kel/framework/KelMathFunctions.h>
#include <kel/framework/Keldirection2f.h>
#include <kel/framework/Kelpoint2f.h>
#include <kel/images/KelPixelImage.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/picking/KelPickTree.h>
#include <kel/primitives/Kel2DAnnotationTextGP.h>
#include <kel/primitives/Kel2DImagePixelGP.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DMarkerGP.h>
#include <kel/primitives/Kel2DRectangleGP.h>
#include <kel/primitives/Kel2DSimpleGeometricTextGP.h>
#include <kel/primitives/Kel3DAnnotationTextGP.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewers/KelCharacterFont.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

constexpr unsigned char kNotPickable = KelGraphicAttributeSet::NOT_PICKABLE;
constexpr unsigned char kHidden = KelGraphicAttributeSet::TEMPORY_HIDDEN;

// Number of (x, y) or (x, y, z) points a count may stand for; a negative count
// from a caller stands for none.
inline int Count(const int n) {
  return n > 0 ? n : 0;
}

// The parts a pick tree leaves to test, reused from pick to pick.
std::vector<std::uint32_t>& Candidates() {
  static std::vector<std::uint32_t> parts;
  parts.clear();
  return parts;
}

// The primitive's pick tree, made on the first call that needs it; null when
// the primitive is too small for one.
template <class Make>
KelPickTree* TreeOf(KelGraphicPrimitive& gp, Make make) {
  if (auto* tree = static_cast<KelPickTree*>(gp.FindCache(KelPickTree::Owner()))) return tree;
  std::unique_ptr<KelPickTree> tree = make();
  if (!tree) return nullptr;
  KelPickTree* kept = tree.get();
  gp.AddCache(tree.release());
  return kept;
}

// Lines and markers that share their caller's array may see it change at any
// time: only owned copies get a tree.
template <class GP>
KelPickTree* PointTreeOf(GP& gp, int segmentStep) {
  if (!gp.GetAllocate() || gp.GetNbPoints() < KelPickTree::MIN_PARTS) return nullptr;
  return TreeOf(gp, [&] {
    return segmentStep ? KelPickTree::ForSegments(gp.GetPoints(), gp.GetNbPoints(), segmentStep)
                       : KelPickTree::ForPoints(gp.GetPoints(), gp.GetNbPoints());
  });
}

}  // namespace

KelPickingRender::KelPickingRender(const KelSupport& support, const int pickSize, const float x,
                                   const float y, KelPickPathList& list)
    : KelRepRender(support),
      _currentPath(std::make_unique<KelPickPath>(static_cast<KelViewpoint*>(nullptr))),
      _list(list),
      _x(x),
      _y(y),
      _pickSize(pickSize) {}

KelPickingRender::~KelPickingRender() = default;

// ---- pass

void KelPickingRender::BeginDraw(KelViewpoint& viewpoint) {
  const float s = static_cast<float>(_pickSize);
  viewpoint.CreateViewportFrom(_x, _y, s, s, _width, _height, _mmInSupportUnit, _pixelRatio);
  viewpoint.ComputeModelFromPixel(_x, _y, _nearPoint, _farPoint, _width, _height, _mmInSupportUnit,
                                  _pixelRatio);
  _ray = _farPoint - _nearPoint;
  _rayDot = _ray * _ray;
  _viewpoint = &viewpoint;
  _depth = 0;
  KelRender::BeginDraw(viewpoint);
}

void KelPickingRender::EndDraw(KelViewpoint& viewpoint) {
  _depth = 0;
  KelRender::EndDraw(viewpoint);
}

float KelPickingRender::Depth(const Kelpoint3f& p) const {
  // A 2D camera has no ray: its hits all lie on the screen.
  return _rayDot > 0.0f ? (_ray * (p - _nearPoint)) / _rayDot : 0.0f;
}

// ---- Rep-level tests

int KelPickingRender::IsPickable(const KelGraphicAttributeSet& a) const {
  return (a.flags & (kHidden | kNotPickable)) == 0;
}

void KelPickingRender::PickWhole(const float* centre) {
  const Kelpoint3f c(centre);
  SetPickPath(c, Keldirection3f(c - _nearPoint), Depth(c), 0.0f);
  AddPickPath();
}

int KelPickingRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere& s,
                                 const KelRep& rep) {
  if (_sensitivity == 0 || !_current3DViewport || s.IsEmpty()) return 0;
  const float m = s.GetRadiusMM() == 0.0f ? 1.0f : GetMMFromModelRatio(s.GetCenter());
  if (_current3DViewport->IsOutside(s, m) || !IsPickable(a)) return 0;
  SetCurrentAttribute(a);
  SetCurrentPath(rep);
  if (!_current3DViewport->IsInside(s, m)) return 1;
  // A bag wholly inside is still descended: its leaves are what gets picked.
  if (rep.IsAKindOf(Kel3DBagRep::ClassName())) return 1;
  PickWhole(s.GetCenter());
  return 0;
}

int KelPickingRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere& s,
                                 const int number) {
  if (_sensitivity == 0 || !_current3DViewport || s.IsEmpty()) return 0;
  const float m = s.GetRadiusMM() == 0.0f ? 1.0f : GetMMFromModelRatio(s.GetCenter());
  if (_current3DViewport->IsOutside(s, m) || !IsPickable(a)) return 0;
  SetCurrentAttribute(a);
  SetCurrentPath(number);
  if (!_current3DViewport->IsInside(s, m)) return 1;
  PickWhole(s.GetCenter());
  return 0;
}

int KelPickingRender::IsDrawable(const KelGraphicAttributeSet& a, const float* centre,
                                 const float radius, const int number) {
  if (_sensitivity == 0 || !_current3DViewport || !centre) return 0;
  if (_current3DViewport->IsOutside(centre, radius) || !IsPickable(a)) return 0;
  SetCurrentAttribute(a);
  SetCurrentPath(number);
  if (!_current3DViewport->IsInside(centre, radius)) return 1;
  PickWhole(centre);
  return 0;
}

int KelPickingRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox& box,
                                 const KelRep& rep) {
  if (!_current2DViewport) return 0;
  if (_current2DViewport->IsOutside(box, GetMMFromModelRatio()) || !IsPickable(a)) return 0;
  SetCurrentAttribute(a);
  SetCurrentPath(rep);
  return 1;
}

int KelPickingRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox& box,
                                 const int number) {
  if (_sensitivity == 0 || !_current2DViewport) return 0;
  if (_current2DViewport->IsOutside(box, GetMMFromModelRatio()) || !IsPickable(a)) return 0;
  SetCurrentAttribute(a);
  SetCurrentPath(number);
  return 1;
}

int KelPickingRender::IsDrawable(const KelGraphicAttributeSet& a, const KelRep& rep) {
  if (_sensitivity == 0 || !IsPickable(a)) return 0;
  SetCurrentAttribute(a);
  SetCurrentPath(rep);
  return 1;
}

int KelPickingRender::IsDrawable(const KelGraphicAttributeSet& a, const int number) {
  if (_sensitivity == 0 || !IsPickable(a)) return 0;
  SetCurrentAttribute(a);
  SetCurrentPath(number);
  return 1;
}

int KelPickingRender::IsDrawable(const KelGraphicAttributeSet& a) {
  if (!IsPickable(a)) return 0;
  _currentPath->SetZBuffer(a.ElementKind() != 0 ? 1 : 0);
  SetCurrentAttribute(a);
  return 1;
}

int KelPickingRender::IsSeen(const float*, const float*) {
  return 1;
}

void KelPickingRender::SetCurrentPath(const KelRep& rep) {
  _currentPath->Load(&rep);
  _currentPath->Load(-1);
  _currentPath->SetViewpoint(_viewpoint);
  _currentPath->SetZBuffer(_currentAttribute.ElementKind() != 0 ? 1 : 0);
}

void KelPickingRender::SetCurrentPath(const int number) {
  // A sub-element has its own attribute: a surface's faces compete by depth,
  // its edges do not, whatever the kind of the Rep's own attribute.
  _currentPath->Load(number);
  _currentPath->SetViewpoint(_viewpoint);
  _currentPath->SetZBuffer(_currentAttribute.ElementKind() != 0 ? 1 : 0);
}

// ---- hits

void KelPickingRender::SetPickPath(const Kelpoint3f& point, const Keldirection3f& normal,
                                   const float deep, const float dimension) {
  if (!_currentPath || !(deep <= _currentPath->GetDeep())) return;
  _currentPath->SetIntersection(point);
  _currentPath->SetNormal(normal);
  _currentPath->SetTangent(normal);
  _currentPath->SetDeep(deep);
  _currentPath->SetDimension(dimension);
}

void KelPickingRender::SetPickPath(const Kelpoint3f& point, const float dimension) {
  if (_sensitivity == 0 || !_currentPath) return;
  const Keldirection3f z = Keldirection3f::Unchecked(0.0f, 0.0f, 1.0f);
  _currentPath->SetIntersection(point);
  _currentPath->SetNormal(z);
  _currentPath->SetTangent(z);
  _currentPath->SetDeep(0.0f);
  _currentPath->SetDimension(dimension);
}

void KelPickingRender::AddPickPath() {
  if (_sensitivity == 0 || !_currentPath) return;
  KelPickPath* hit = _currentPath.release();
  _list += *hit;
  _currentPath = std::make_unique<KelPickPath>(*hit);
  _currentPath->SetDeep(1.0f);
}

int KelPickingRender::PickPoint3D(const float* P, const float dimension, const float* normal) {
  if (!_current3DViewport || !_current3DViewport->IsInside(P)) return 0;
  const Kelpoint3f p(P);
  const Keldirection3f n =
      normal ? Keldirection3f(Kelvector3f(normal)) : Keldirection3f(p - _nearPoint);
  SetPickPath(p, n, Depth(p), dimension);
  return 1;
}

int KelPickingRender::PickLine3D(const float* A, const float* B, const float dimension,
                                 const float* normal) {
  if (!_current3DViewport) return 0;
  Kelpoint3f a(A), b(B);
  const float *pa, *pb, *pc, *pd;
  _current3DViewport->GetPlanes(&pa, &pb, &pc, &pd);
  for (int i = 0; i < _current3DViewport->GetNbPlanes(); ++i) {
    const float dA = pa[i] * a.x + pb[i] * a.y + pc[i] * a.z + pd[i];
    const float dB = pa[i] * b.x + pb[i] * b.y + pc[i] * b.z + pd[i];
    if (dA > 0.0f && dB > 0.0f) return 0;
    if (dA > 0.0f)
      a = a + (b - a) * (dA / (dA - dB));
    else if (dB > 0.0f)
      b = a + (b - a) * (dA / (dA - dB));
  }
  const Kelpoint3f middle = a + (b - a) * 0.5f;
  const float deep = Depth(middle);
  if (normal) {
    if (PickPoint3D(A, dimension, normal) || PickPoint3D(B, dimension, normal)) return 1;
    SetPickPath(middle, Keldirection3f(Kelvector3f(normal)), deep, dimension);
  } else {
    SetPickPath(middle, Keldirection3f(Kelpoint3f(B) - Kelpoint3f(A)), deep, dimension);
  }
  return 1;
}

int KelPickingRender::PickTriangle3D(const float* P0, const float* P1, const float* P2,
                                     const float* normal) {
  // In double precision: neighbouring triangles then leave no gap along their
  // shared edge that a ray could slip through.
  const double e1[3] = {double(P2[0]) - P0[0], double(P2[1]) - P0[1], double(P2[2]) - P0[2]};
  const double e2[3] = {double(P1[0]) - P0[0], double(P1[1]) - P0[1], double(P1[2]) - P0[2]};
  const double r[3] = {_ray.x, _ray.y, _ray.z};
  const double g[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                       e1[0] * e2[1] - e1[1] * e2[0]};
  const double den = r[0] * g[0] + r[1] * g[1] + r[2] * g[2];
  if (std::fabs(den) <= KelMath::ZERO_MACHINE) return 0;
  const double t[3] = {double(_nearPoint.x) - P0[0], double(_nearPoint.y) - P0[1],
                       double(_nearPoint.z) - P0[2]};
  const double q[3] = {t[1] * r[2] - t[2] * r[1], t[2] * r[0] - t[0] * r[2],
                       t[0] * r[1] - t[1] * r[0]};
  const double u = e1[0] * q[0] + e1[1] * q[1] + e1[2] * q[2];
  const double v = -(e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]);
  const bool inside = den > 0.0 ? (u >= 0.0 && u <= den && v >= 0.0 && v <= den && u + v <= den)
                                : (u <= 0.0 && u >= den && v <= 0.0 && v >= den && u + v >= den);
  if (!inside) return 0;
  const double deep = -(g[0] * t[0] + g[1] * t[1] + g[2] * t[2]) / den;
  if (!(deep > 0.0 && deep < 1.0)) return 0;
  const Kelpoint3f hit(static_cast<float>(_nearPoint.x + deep * r[0]),
                       static_cast<float>(_nearPoint.y + deep * r[1]),
                       static_cast<float>(_nearPoint.z + deep * r[2]));
  const Kelvector3f n = normal ? Kelvector3f(normal)
                               : Kelvector3f(static_cast<float>(-g[0]), static_cast<float>(-g[1]),
                                             static_cast<float>(-g[2]));
  SetPickPath(hit, Keldirection3f(n), static_cast<float>(deep), 2.0f);
  return 1;
}

// ---- 3D primitives

void KelPickingRender::Draw3DMarker(Kel3DMarkerGP& gp) {
  const float* p = gp.GetPoints();
  if (!p) return;
  if (KelPickTree* tree = _pickTrees && _current3DViewport ? PointTreeOf(gp, 0) : nullptr) {
    std::vector<std::uint32_t>& parts = Candidates();
    tree->CollectInRegion(*_current3DViewport, parts);
    for (std::uint32_t i : parts) {
      if (PickPoint3D(p + 3 * i, 0.0f, nullptr)) {
        AddPickPath();
        return;
      }
    }
    return;
  }
  for (int i = 0; i < Count(gp.GetNbPoints()); ++i) {
    if (PickPoint3D(p + 3 * i, 0.0f, nullptr)) {
      AddPickPath();
      return;
    }
  }
}

void KelPickingRender::ImmediateDraw3DPolyline(const float* points, const int count) {
  if (!points) return;
  for (int i = 1; i < Count(count); ++i) {
    if (PickLine3D(points + 3 * (i - 1), points + 3 * i, 1.0f, nullptr)) {
      AddPickPath();
      return;
    }
  }
}

void KelPickingRender::Draw3DPolyline(Kel3DPolylineGP& gp) {
  if (KelPickTree* tree = _pickTrees && _current3DViewport ? PointTreeOf(gp, 1) : nullptr)
    PickSegments(gp.GetPoints(), *tree);
  else
    ImmediateDraw3DPolyline(gp.GetPoints(), gp.GetNbPoints());
}

void KelPickingRender::PickSegments(const float* p, const KelPickTree& tree) {
  std::vector<std::uint32_t>& parts = Candidates();
  tree.CollectInRegion(*_current3DViewport, parts);
  for (std::uint32_t i : parts) {
    if (PickLine3D(p + 3 * (i - 1), p + 3 * i, 1.0f, nullptr)) {
      AddPickPath();
      return;
    }
  }
}

void KelPickingRender::Draw3DLine(Kel3DLineGP& gp) {
  const float* p = gp.GetPoints();
  if (!p) return;
  if (KelPickTree* tree = _pickTrees && _current3DViewport ? PointTreeOf(gp, 2) : nullptr) {
    PickSegments(p, *tree);
    return;
  }
  for (int i = 1; i < Count(gp.GetNbPoints()); i += 2) {
    if (PickLine3D(p + 3 * (i - 1), p + 3 * i, 1.0f, nullptr)) {
      AddPickPath();
      return;
    }
  }
}

void KelPickingRender::Draw3DEdge(Kel3DEdgeGP& gp) {
  const float* v = gp.GetVertices();
  const std::uint16_t* index = gp.GetIndices();
  const int n = Count(gp.GetNbIndices());
  if (!v || !index || n == 0 || !_current3DViewport) return;
  float lo[3], hi[3];
  for (int k = 0; k < 3; ++k) lo[k] = hi[k] = v[index[0] + k];
  for (int i = 1; i < n; ++i) {
    for (int k = 0; k < 3; ++k) {
      const float c = v[index[i] + k];
      if (c < lo[k]) lo[k] = c;
      if (c > hi[k]) hi[k] = c;
    }
  }
  float centre[3], tolerance = 0.0f;
  for (int k = 0; k < 3; ++k) {
    centre[k] = 0.5f * (lo[k] + hi[k]);
    tolerance += hi[k] - centre[k];
  }
  if (_current3DViewport->IsOutside(centre, tolerance)) return;
  if (KelPickTree* tree = _pickTrees ? EdgeTreeOf(gp) : nullptr) {
    std::vector<std::uint32_t>& parts = Candidates();
    tree->CollectInRegion(*_current3DViewport, parts);
    // From the last segment towards the first, as without the tree.
    for (auto i = parts.rbegin(); i != parts.rend(); ++i) {
      if (PickLine3D(v + index[*i], v + index[*i - 1], 1.0f, nullptr)) {
        AddPickPath();
        return;
      }
    }
    return;
  }
  for (int i = n - 1; i > 0; --i) {
    if (PickLine3D(v + index[i], v + index[i - 1], 1.0f, nullptr)) {
      AddPickPath();
      return;
    }
  }
}

void KelPickingRender::PickFace(Kel3DFaceGP& gp, const float* normal) {
  const float* v = gp.GetVertexArray();
  const int nv = gp.GetNbVertexCoords();
  if (!v || nv < 3 || !_current3DViewport) return;
  // No triangle of a face beyond the pick region can meet the ray.
  if (_current3DViewport->IsOutside(gp.GetSphereCenter(), gp.GetSphereRadius())) return;
  int hit = 0;
  if (KelPickTree* tree =
          _pickTrees ? TreeOf(gp, [&] { return KelPickTree::ForFace(gp); }) : nullptr) {
    // Only the triangles whose boxes the ray meets, in the order of the full
    // test below.
    std::vector<std::uint32_t>& parts = Candidates();
    const double origin[3] = {_nearPoint.x, _nearPoint.y, _nearPoint.z};
    const double direction[3] = {_ray.x, _ray.y, _ray.z};
    tree->CollectOnRay(origin, direction, parts);
    for (std::uint32_t part : parts) {
      int a, b, c;
      tree->GetTriangle(gp, part, &a, &b, &c);
      hit |= PickTriangle3D(v + a, v + b, v + c, normal);
    }
    if (hit) AddPickPath();
    return;
  }
  // Indices out of the vertex array are skipped rather than read.
  const int last = nv - 3;
  auto ok = [last](int i) { return i >= 0 && i <= last; };
  if (const int* t = gp.GetTriangles()) {
    for (int i = 0; i < Count(gp.GetNbTriangles()); ++i, t += 3)
      if (ok(t[0]) && ok(t[1]) && ok(t[2]))
        hit |= PickTriangle3D(v + t[0], v + t[1], v + t[2], normal);
  }
  const int* fan = gp.GetFans();
  const int* fanLengths = gp.GetFanLengths();
  if (fan && fanLengths) {
    for (int f = 0; f < Count(gp.GetNbFans()); ++f) {
      const int n = Count(fanLengths[f]);
      for (int k = 2; k < n; ++k)
        if (ok(fan[0]) && ok(fan[k - 1]) && ok(fan[k]))
          hit |= PickTriangle3D(v + fan[0], v + fan[k - 1], v + fan[k], normal);
      fan += n;
    }
  }
  const int* strip = gp.GetStrips();
  const int* stripLengths = gp.GetStripLengths();
  if (strip && stripLengths) {
    for (int s = 0; s < Count(gp.GetNbStrips()); ++s) {
      const int n = Count(stripLengths[s]);
      for (int k = 2; k < n; ++k) {
        if (!(ok(strip[k - 2]) && ok(strip[k - 1]) && ok(strip[k]))) continue;
        // Every other triangle of a strip is taken in the other order, so that
        // the normals of the strip all point to the same side.
        const int a = (k & 1) ? strip[k - 1] : strip[k - 2];
        const int b = (k & 1) ? strip[k - 2] : strip[k - 1];
        hit |= PickTriangle3D(v + a, v + b, v + strip[k], normal);
      }
      strip += n;
    }
  }
  if (hit) AddPickPath();
}

void KelPickingRender::Draw3DFace(Kel3DFaceGP& gp) {
  PickFace(gp, nullptr);
}

void KelPickingRender::Draw3DPlanarFace(Kel3DPlanarFaceGP& gp) {
  PickFace(gp, gp.GetNbNormalCoords() >= 3 ? gp.GetNormal() : nullptr);
}

void KelPickingRender::Draw3DCylinder(Kel3DCylinderGP& gp, const int) {
  const float* p = gp.GetPoints();
  const int n = gp.GetNbPoints();
  if (!p || n <= 0 || !_current3DViewport) return;
  if (n > Kel3DCylinderGP::MAX_POINTS) {
    std::cout << "KelPickingRender, too many points=" << n << std::endl;
    return;
  }
  if (_current3DViewport->IsOutside(gp.GetSphereCenter(), gp.GetSphereRadius())) return;
  const Kelvector3f h(gp.GetAxisVector());
  const Kelvector3f a(gp.GetDirection());
  const Kelvector3f minusA = -a;
  auto top = [&](int i) { return Kelpoint3f(p + 3 * (i % n)) + h; };
  int hit = 0;
  for (int k = 2; k < n; ++k)
    hit |= PickTriangle3D(p, p + 3 * (k - 1), p + 3 * k, minusA.GetCoord());
  // The side strip P0, P0 + H, P1, P1 + H, ..., back to P0, P0 + H, its
  // triangles taken in a consistent order as for faces.
  for (int i = 0; i < n; ++i) {
    const Kelpoint3f b0(p + 3 * i), t0 = top(i);
    const Kelpoint3f b1(p + 3 * ((i + 1) % n)), t1 = top(i + 1);
    hit |= PickTriangle3D(b0.GetCoord(), t0.GetCoord(), b1.GetCoord(), nullptr);
    hit |= PickTriangle3D(b1.GetCoord(), t0.GetCoord(), t1.GetCoord(), nullptr);
  }
  const Kelpoint3f t0 = top(0);
  for (int k = 2; k < n; ++k) {
    const Kelpoint3f t1 = top(k - 1), t2 = top(k);
    hit |= PickTriangle3D(t0.GetCoord(), t1.GetCoord(), t2.GetCoord(), a.GetCoord());
  }
  if (hit) AddPickPath();
}

void KelPickingRender::DrawWireframe3DCylinder(Kel3DCylinderGP& gp) {
  Draw3DCylinder(gp, 0);
}

void KelPickingRender::DrawDynamicGP(KelDynamicGP& gp) {
  if (const auto* image = dynamic_cast<const Kel2DImagePixelGP*>(&gp))
    Pick2DImage(*image);
  else
    gp.ImmediateDraw(*this, _viewpointCopy, _viewportCopy);
}

void KelPickingRender::GetTextBox(AnchorPoint anchor, const float width, const float height,
                                  float* left, float* bottom) {
  const int column = static_cast<int>(anchor) % 3;  // left, centre, right
  const int row = static_cast<int>(anchor) / 3;     // bottom, middle, top
  // Halves are taken in whole pixels, as the driver places the box.
  *left = column == 0 ? 0.0f : column == 1 ? -std::floor(0.5f * width) : -width;
  *bottom = row == 0 ? 0.0f : row == 1 ? -std::floor(0.5f * height) : -height;
}

void KelPickingRender::ImmediateDraw3DAnnotationText(const float* position, const char* text,
                                                     AnchorPoint anchor) {
  if (!position || !text || !*text || !_characterFont || !_current3DViewpoint) return;
  int w = 0, h = 0, descent = 0;
  _characterFont->GetCharacterSize(0, &w, &h, &descent);
  const float width = static_cast<float>(std::strlen(text)) * static_cast<float>(w);
  const float height = static_cast<float>(h);
  float left, bottom;
  GetTextBox(anchor, width, height, &left, &bottom);
  // From pixels to model units at the text's depth.
  const float k = GetPixelFromModelRatio(position);
  // The text faces the screen: its box spans the camera's right and up.
  const Kelvector3f right = _current3DViewpoint->GetRightDirection().AsVector();
  const Kelvector3f up = _current3DViewpoint->GetUpDirection().AsVector();
  const Kelpoint3f c0 = Kelpoint3f(position) + right * (left * k) + up * (bottom * k);
  const Kelpoint3f c1 = c0 + right * (width * k);
  const Kelpoint3f c2 = c1 + up * (height * k);
  const Kelpoint3f c3 = c0 + up * (height * k);
  int hit = PickTriangle3D(c0.GetCoord(), c1.GetCoord(), c2.GetCoord(), nullptr);
  hit |= PickTriangle3D(c0.GetCoord(), c2.GetCoord(), c3.GetCoord(), nullptr);
  if (hit) AddPickPath();
}

KelPickTree* KelPickingRender::EdgeTreeOf(Kel3DEdgeGP& gp) {
  // The edge's vertices are its face's: a tree made from older ones is made again.
  const KelGraphicPrimitive* face = gp.GetFirstFace();
  const unsigned version = face ? face->GetGeometryVersion() : 0;
  auto* tree = static_cast<KelPickTree*>(gp.FindCache(KelPickTree::Owner()));
  if (tree && tree->GetSourceVersion() == version) return tree;
  if (gp.GetNbIndices() <= KelPickTree::MIN_PARTS) return nullptr;
  std::unique_ptr<KelPickTree> made =
      KelPickTree::ForIndexedSegments(gp.GetVertices(), gp.GetIndices(), gp.GetNbIndices());
  if (!made) return nullptr;
  made->SetSourceVersion(version);
  tree = made.get();
  gp.AddCache(made.release());
  return tree;
}

// ---- 2D primitives

int KelPickingRender::PickSegment2D(float x0, float y0, float x1, float y1) {
  float xmin, xmax, ymin, ymax;
  _current2DViewport->GetParameter(&xmin, &xmax, &ymin, &ymax);
  auto code = [&](float x, float y) {
    return (x < xmin ? 8 : 0) | (x > xmax ? 4 : 0) | (y < ymin ? 2 : 0) | (y > ymax ? 1 : 0);
  };
  int c0 = code(x0, y0), c1 = code(x1, y1);
  // Each round moves one outside end onto a side of the rectangle; four
  // rounds settle any segment.
  for (int round = 0; round < 8; ++round) {
    if (c0 == 0 || c1 == 0) return 1;
    if (c0 & c1) return 0;
    const int c = c0 ? c0 : c1;
    float x, y;
    if (c & 8) {
      x = xmin;
      y = y0 + (y1 - y0) * (xmin - x0) / (x1 - x0);
    } else if (c & 4) {
      x = xmax;
      y = y0 + (y1 - y0) * (xmax - x0) / (x1 - x0);
    } else if (c & 2) {
      y = ymin;
      x = x0 + (x1 - x0) * (ymin - y0) / (y1 - y0);
    } else {
      y = ymax;
      x = x0 + (x1 - x0) * (ymax - y0) / (y1 - y0);
    }
    if (c == c0) {
      x0 = x;
      y0 = y;
      c0 = code(x0, y0);
    } else {
      x1 = x;
      y1 = y;
      c1 = code(x1, y1);
    }
  }
  return 0;
}

void KelPickingRender::Pick2DSegments(const float* points, const int count, const int step) {
  if (!points || !_current2DViewport || step < 1) return;
  for (int i = 1; i < Count(count); i += step) {
    const float* a = points + 2 * (i - 1);
    const float* b = points + 2 * i;
    if (PickSegment2D(a[0], a[1], b[0], b[1])) {
      SetPickPath(_nearPoint, 1.0f);
      AddPickPath();
    }
  }
}

void KelPickingRender::Draw2DLine(Kel2DLineGP& gp) {
  Pick2DSegments(gp.GetPoints(), gp.GetNbPoints(), 2);
}

void KelPickingRender::Draw2DMarker(Kel2DMarkerGP& gp) {
  Pick2DMarker(gp.GetPoints(), gp.GetNbPoints());
}

void KelPickingRender::Draw2DRectangle(Kel2DRectangleGP& gp) {
  Pick2DRectangle(gp.GetXMin(), gp.GetXMax(), gp.GetYMin(), gp.GetYMax(), gp.GetMode() == 1);
}

void KelPickingRender::Draw2DAnnotationText(Kel2DAnnotationTextGP& gp) {
  Pick2DText(gp.GetPosition(), gp.GetText(), gp.GetAnchor(), 0);
}

void KelPickingRender::Draw2DSimpleGeometricText(Kel2DSimpleGeometricTextGP& gp) {
  Pick2DGeometricText(gp.GetPosition(), gp.GetText(), gp.GetAnchor(), gp.GetHeight());
}

void KelPickingRender::ImmediateDraw2DPolyline(const float* points, const int count) {
  Pick2DSegments(points, count, 1);
}

void KelPickingRender::ImmediateDraw2DPolygon(const float* points, const int count,
                                              const int filled) {
  const int n = Count(count);
  if (!points || n == 0 || !_current2DViewport) return;
  if (!filled) {
    Pick2DSegments(points, n, 1);
    const float closing[4] = {points[2 * (n - 1)], points[2 * (n - 1) + 1], points[0], points[1]};
    if (n > 1) Pick2DSegments(closing, 2, 1);
    return;
  }
  // The winding of the outline about the cursor: about +-2 pi inside, about 0
  // outside.
  const Kelpoint2f c(_nearPoint.x, _nearPoint.y);
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    const Kelvector2f a(points[2 * i] - c.x, points[2 * i + 1] - c.y);
    const Kelvector2f b(points[2 * j] - c.x, points[2 * j + 1] - c.y);
    // The cursor on a vertex lies on the polygon.
    if (a.x == 0.0f && a.y == 0.0f) {
      sum = 2.0 * KelMath::PI;
      break;
    }
    if (b.x == 0.0f && b.y == 0.0f) continue;
    double angle = Value_angle(Keldirection2f(a), Keldirection2f(b));
    if (angle > KelMath::PI) angle -= 2.0 * KelMath::PI;
    sum += angle;
  }
  if (std::fabs(sum) > KelMath::PI) {
    SetPickPath(_nearPoint, 2.0f);
    AddPickPath();
  }
}

void KelPickingRender::Pick2DMarker(const float* points, const int count) {
  if (!points || !_current2DViewport) return;
  float xmin, xmax, ymin, ymax;
  _current2DViewport->GetParameter(&xmin, &xmax, &ymin, &ymax);
  for (int i = 0; i < Count(count); ++i) {
    const float x = points[2 * i], y = points[2 * i + 1];
    if (x > xmin && x < xmax && y > ymin && y < ymax) {
      SetPickPath(_nearPoint, 0.0f);
      AddPickPath();
    }
  }
}

void KelPickingRender::Pick2DRectangle(const float xmin, const float xmax, const float ymin,
                                       const float ymax, const int filled) {
  if (!_current2DViewport) return;
  if (!filled) {
    const float outline[10] = {xmin, ymin, xmax, ymin, xmax, ymax, xmin, ymax, xmin, ymin};
    Pick2DSegments(outline, 5, 1);
    return;
  }
  if (_current2DViewport->IsOutside(Kel2DViewport(xmin, xmax, ymin, ymax))) return;
  SetPickPath(_nearPoint, 2.0f);
  AddPickPath();
}

void KelPickingRender::Pick2DText(const float* position, const char* text, AnchorPoint anchor,
                                  const int font) {
  if (!position || !text || !*text || !_characterFont || !_current2DViewport) return;
  int w = 0, h = 0, descent = 0;
  _characterFont->GetCharacterSize(font, &w, &h, &descent);
  const float width = static_cast<float>(std::strlen(text)) * static_cast<float>(w);
  const float height = static_cast<float>(h);
  float left, bottom;
  GetTextBox(anchor, width, height, &left, &bottom);
  // The box is placed in whole pixels and only then turned into model units:
  // rounding model units would shrink a text to nothing at high zoom.
  const float m = GetMMFromModelRatio() / _mmInSupportUnit;
  const float x = position[0] + left * m, y = position[1] + bottom * m;
  if (_current2DViewport->IsOutside(Kel2DViewport(x, x + width * m, y, y + height * m))) return;
  SetPickPath(_nearPoint, 2.0f);
  AddPickPath();
}

void KelPickingRender::Pick2DGeometricText(const float* position, const char* text,
                                           AnchorPoint anchor, const float height) {
  Pick2DText(position, text, anchor, GetGeometricFontNumber(height));
}

void KelPickingRender::Pick2DImage(const Kel2DImagePixelGP& gp) {
  float xmin, xmax, ymin, ymax;
  if (!_current2DViewport || !gp.GetModelBox(&xmin, &xmax, &ymin, &ymax)) return;
  if (_current2DViewport->IsOutside(Kel2DViewport(xmin, xmax, ymin, ymax))) return;
  SetPickPath(_nearPoint, 2.0f);
  AddPickPath();
}

void KelPickingRender::ImmediateDraw2DImagePixel(const float* position, const KelPixelImage* image,
                                                 const int) {
  if (!position || !image || !_current2DViewport) return;
  int w = 0, h = 0;
  image->GetSize(w, h);
  const float modelPerPixel = GetMMFromModelRatio() / _mmInSupportUnit;
  const float x = position[0], y = position[1];
  const Kel2DViewport box(x, x + static_cast<float>(w) * modelPerPixel, y,
                          y + static_cast<float>(h) * modelPerPixel);
  if (_current2DViewport->IsOutside(box)) return;
  SetPickPath(_nearPoint, 2.0f);
  AddPickPath();
}

// ---- matrices and references

KelPickingRender::Level& KelPickingRender::SaveLevel() {
  if (_depth == static_cast<int>(_levels.size())) _levels.emplace_back();
  Level& level = _levels[_depth];
  if (_current3DViewpoint) {
    if (auto* saved = dynamic_cast<Kel3DViewpoint*>(level.camera.get()))
      *saved = *_current3DViewpoint;
    else
      level.camera.reset(_current3DViewpoint->Clone());
  } else {
    // A 2D camera's assignment leaves its accumulated matrix: keep a clone.
    level.camera.reset(_viewpointCopy ? _viewpointCopy->Clone() : nullptr);
  }
  if (_current3DViewport) level.viewport3D = *_current3DViewport;
  if (_current2DViewport) level.viewport2D = *_current2DViewport;
  level.modelSag = _modelSag;
  level.modelCullingSize = _modelCullingSize;
  level.scaleFactor = _scaleFactor;
  level.nearPoint = _nearPoint;
  level.farPoint = _farPoint;
  level.ray = _ray;
  level.matrix = _currentPath->GetMatrix();
  level.matrix2D = _currentPath->Get2DMatrix();
  level.attribute = _currentAttribute;
  level.subElement = _currentPath->GetCurrentSubElement();
  level.zBuffer = _currentPath->GetZBuffer();
  return level;
}

KelRender* KelPickingRender::PushMatrix(Kel4x4Matrix& m) {
  Level& level = SaveLevel();
  *this *= m;
  _currentPath->SetMatrix(m * level.matrix);
  ++_depth;
  return this;
}

KelRender* KelPickingRender::PushMatrix(Kel3x3Matrix& m) {
  Level& level = SaveLevel();
  *this *= m;
  _currentPath->SetMatrix(m * level.matrix2D);
  ++_depth;
  return this;
}

void KelPickingRender::PopMatrix(KelRender*) {
  if (_depth == 0) {
    std::fprintf(stderr, "KelPickingRender::PopMatrix: no matrix to pop.\n");
    return;
  }
  --_depth;
  Level& level = _levels[_depth];
  if (_current3DViewpoint && dynamic_cast<Kel3DViewpoint*>(level.camera.get())) {
    *_current3DViewpoint = *static_cast<Kel3DViewpoint*>(level.camera.get());
  } else if (level.camera) {
    KelViewpoint* moved = _viewpointCopy;
    SetCameraCopies(level.camera.release(), _viewportCopy);
    level.camera.reset(moved);
  }
  if (_current3DViewport) *_current3DViewport = level.viewport3D;
  if (_current2DViewport) *_current2DViewport = level.viewport2D;
  _modelSag = level.modelSag;
  _modelCullingSize = level.modelCullingSize;
  _scaleFactor = level.scaleFactor;
  _nearPoint = level.nearPoint;
  _farPoint = level.farPoint;
  _ray = level.ray;
  _rayDot = _ray * _ray;
  _currentAttribute = level.attribute;
  _currentPath->SetMatrix(level.matrix);
  _currentPath->SetMatrix(level.matrix2D);
  _currentPath->Load(level.subElement);
  _currentPath->SetZBuffer(level.zBuffer);
}

KelPickingRender& KelPickingRender::operator*=(const Kel4x4Matrix& m) {
  Kel4x4Matrix inverse;
  m.GetInvertedMatrix(inverse);
  _nearPoint = inverse * _nearPoint;
  _farPoint = inverse * _farPoint;
  _ray = _farPoint - _nearPoint;
  _rayDot = _ray * _ray;
  KelRender::operator*=(m);
  return *this;
}

KelPickingRender& KelPickingRender::operator*=(const Kel3x3Matrix& m) {
  const Kel3x3Matrix inverse = m.GetInvertedMatrix();
  const Kelpoint2f n = inverse * Kelpoint2f(_nearPoint.x, _nearPoint.y);
  const Kelpoint2f f = inverse * Kelpoint2f(_farPoint.x, _farPoint.y);
  _nearPoint.x = n.x;
  _nearPoint.y = n.y;
  _farPoint.x = f.x;
  _farPoint.y = f.y;
  _ray = _farPoint - _nearPoint;
  _rayDot = _ray * _ray;
  KelRender::operator*=(m);
  return *this;
}

void KelPickingRender::PushReference() {
  _currentPath->Push();
}

void KelPickingRender::PopReference() {
  _currentPath->Pop();
}

void KelPickingRender::SetFurtiveOn() {
  _currentPath->SetFurtive(1);
}

void KelPickingRender::SetFurtiveOff() {
  _currentPath->SetFurtive(0);
}

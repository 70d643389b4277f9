#include <kel/reps/Kel3DSimpleConeRep.h>

#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/render/KelRender.h>

#include <cmath>
#include <cstdio>
#include <vector>

KEL_IMPLEMENT_META(Kel3DSimpleConeRep, Kel3DRep)

namespace {
// v normalised; a null vector stays null.
Kelvector3f Normalised(const Kelvector3f& v) {
  const float n = v.Norm();
  return n > 0.0f ? v / n : v;
}
}  // namespace

Kel3DSimpleConeRep::Kel3DSimpleConeRep() = default;
Kel3DSimpleConeRep::Kel3DSimpleConeRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DSimpleConeRep::Kel3DSimpleConeRep(Kelpoint3f base, Kelpoint3f apex, float radius, int facets) {
  SetFacets(facets);
  BuildFaces(base, apex, radius);
}
Kel3DSimpleConeRep::Kel3DSimpleConeRep(Kelpoint3f base, Kelpoint3f apex, float radius, int facets,
                                       KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {
  SetFacets(facets);
  BuildFaces(base, apex, radius);
}

Kel3DSimpleConeRep::~Kel3DSimpleConeRep() {
  if (_face) KelGraphicPrimitive::Destroy(_face);
}

void Kel3DSimpleConeRep::SetFacets(int facets) {
  if (facets < MIN_FACETS || facets > MAX_FACETS) {
    std::fprintf(stderr, "Kel3DSimpleConeRep::Kel3DSimpleConeRep: Invalid number of facets.\n");
    facets = facets < MIN_FACETS ? MIN_FACETS : MAX_FACETS;
  }
  _facets = facets;
}

void Kel3DSimpleConeRep::Modify(Kelpoint3f base, Kelpoint3f apex, float radius) {
  BuildFaces(base, apex, radius);
  ComputeParentsBoundingElement();
}

void Kel3DSimpleConeRep::BuildFaces(Kelpoint3f base, Kelpoint3f apex, float radius) {
  _base = base;
  _apex = apex;
  _radius = radius;
  _attributes.flags |= KelGraphicAttributeSet::ELEMENT_KIND_MASK;
  const int f = _facets;
  const Kelvector3f a = Normalised(base - apex);
  Kelvector3f u(1.0f, 0.0f, 0.0f), v(0.0f, 1.0f, 0.0f);
  if (a.x != 0.0f || a.y != 0.0f) {
    u = Normalised(Kelvector3f(-a.y, a.x, 0.0f));
    v = Normalised(a ^ u);
  } else if (a.z != 0.0f) {
    v = Normalised(a ^ u);
  }

  // Vertices: base centre, rim 0..f (base normals), apex, rim 0..f (side normals).
  const int nbVertices = 2 * f + 4;
  std::vector<float> vertices(3 * size_t(nbVertices)), normals(vertices.size());
  auto put = [&](int index, const Kelpoint3f& p, const Kelvector3f& n) {
    for (int k = 0; k < 3; ++k) {
      vertices[3 * size_t(index) + k] = p[k];
      normals[3 * size_t(index) + k] = n[k];
    }
  };
  put(0, base, a);
  put(f + 2, apex, -a);
  Kelpoint3f first;
  for (int k = 0; k <= f; ++k) {
    const float theta = float(KelMath::PI / 4.0 + 2.0 * k * KelMath::PI / f);
    const float c = std::cos(theta), s = std::sin(theta);
    // The last rim point closes the circle exactly on the first.
    const Kelpoint3f P = k == f ? first : base + radius * (c * u + s * v);
    if (k == 0) first = P;
    const Kelvector3f t = -s * u + c * v;
    const Kelvector3f e = Normalised(P - apex);
    put(1 + k, P, a);
    put(f + 3 + k, P, Normalised(t ^ e));
  }

  std::vector<int> fans(2 * (size_t(f) + 2));
  const int lengths[2] = {f + 2, f + 2};
  fans[0] = 0;
  for (int k = 0; k <= f; ++k) fans[1 + k] = 3 * (1 + k);
  int* side = fans.data() + f + 2;
  side[0] = 3 * (f + 2);
  for (int k = 0; k <= f; ++k) side[1 + k] = 3 * (f + 3 + f - k);

  if (_face) KelGraphicPrimitive::Destroy(_face);
  const int nbCoords = int(vertices.size());
  _face = new Kel3DFaceGP(vertices.data(), nbCoords, normals.data(), nbCoords, nullptr, 0, nullptr,
                          0, nullptr, fans.data(), 2, lengths);
  const float height = (apex - base).Norm();
  SetBoundingElement(Kel3DBoundingSphere(
      base + 0.5f * (apex - base), std::sqrt(radius * radius + 0.25f * height * height), 0.0f));
}

void Kel3DSimpleConeRep::DrawShading(KelRender& render, int) {
  if (_face && render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this)))
    _face->Draw(render);
}

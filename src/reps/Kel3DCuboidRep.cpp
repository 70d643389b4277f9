#include <kel/reps/Kel3DCuboidRep.h>

#include <kel/framework/Keldirection3f.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/render/KelRender.h>

#include <algorithm>

KEL_IMPLEMENT_META(Kel3DCuboidRep, Kel3DRep)

namespace {
void SetColour(KelGraphicAttributeSet& a, int colour) {
  a.color = static_cast<unsigned char>(
      colour >= 0 && colour < 256 ? colour : int(KelGraphicAttributeSet::DEFAULT_COLOR));
  a.flags |= KelGraphicAttributeSet::ELEMENT_KIND_MASK;
}
}  // namespace

Kel3DCuboidRep::Kel3DCuboidRep() = default;
Kel3DCuboidRep::Kel3DCuboidRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DCuboidRep::Kel3DCuboidRep(const Kelpoint3f& corner, const Kelvector3f& u, const Kelvector3f& v,
                               const Kelvector3f& w, const int colour)
    : _corner(corner), _u(u), _v(v), _w(w) {
  SetColour(_attributes, colour);
  Build();
}
Kel3DCuboidRep::Kel3DCuboidRep(const Kelpoint3f& corner, const Kelvector3f& u, const Kelvector3f& v,
                               const Kelvector3f& w, const int colour, KelModelIdentificator& id,
                               KelVisuController* controller)
    : Kel3DRep(id, controller), _corner(corner), _u(u), _v(v), _w(w) {
  SetColour(_attributes, colour);
  Build();
}

Kel3DCuboidRep::~Kel3DCuboidRep() {
  Release();
}

void Kel3DCuboidRep::Release() {
  for (Kel3DPlanarFaceGP*& face : _faces) {
    if (face) KelGraphicPrimitive::Destroy(face);
    face = nullptr;
  }
}

void Kel3DCuboidRep::Build() {
  Release();
  // Each side is a corner P and two edges e1, e2 with e1 x e2 pointing out of
  // the box when (u, v, w) is right-handed; a left-handed triple swaps them.
  const Kelpoint3f& c = _corner;
  struct Side {
    Kelpoint3f p;
    Kelvector3f e1, e2;
  };
  const Side sides[6] = {{c, _v, _u},      {c + _w, _u, _v}, {c, _u, _w},
                         {c + _v, _w, _u}, {c, _w, _v},      {c + _u, _v, _w}};
  const int leftHanded = ((_u ^ _v) * _w) < 0.0f;
  const int strip[4] = {0, 3, 6, 9};
  const int stripLength = 4;
  for (int k = 0; k < 6; ++k) {
    const Kelvector3f e1 = leftHanded ? sides[k].e2 : sides[k].e1;
    const Kelvector3f e2 = leftHanded ? sides[k].e1 : sides[k].e2;
    // Strip order P, P + e1, P + e2, P + e1 + e2: both triangles wind about e1 x e2.
    const Kelpoint3f q[4] = {sides[k].p, sides[k].p + e1, sides[k].p + e2, sides[k].p + e1 + e2};
    float vertices[12];
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 3; ++j) vertices[3 * i + j] = q[i][j];
    const Keldirection3f n(e1 ^ e2);
    const float normal[3] = {n.x, n.y, n.z};
    _faces[k] = new Kel3DPlanarFaceGP(vertices, 12, normal, nullptr, 0, strip, 1, &stripLength,
                                      nullptr, 0, nullptr);
  }
  // The longest of the four diagonals: a slanted box reaches beyond the others.
  const float diagonal = std::max(std::max((_u + _v + _w).Norm(), (_u + _v - _w).Norm()),
                                  std::max((_u - _v + _w).Norm(), (-_u + _v + _w).Norm()));
  SetBoundingElement(Kel3DBoundingSphere(c + 0.5f * (_u + _v + _w), 0.5f * diagonal, 0.0f));
}

void Kel3DCuboidRep::Modify(const Kelpoint3f& corner) {
  _corner = corner;
  Build();
  ComputeParentsBoundingElement();
}

void Kel3DCuboidRep::Modify(const Kelpoint3f& corner, const Kelvector3f& u, const Kelvector3f& v,
                            const Kelvector3f& w) {
  _corner = corner;
  _u = u;
  _v = v;
  _w = w;
  Build();
  ComputeParentsBoundingElement();
}

const Kel3DPlanarFaceGP* Kel3DCuboidRep::GetFace(int k) const {
  return k >= 0 && k < 6 ? _faces[k] : nullptr;
}

void Kel3DCuboidRep::DrawShading(KelRender& render, int) {
  if (!_faces[0]) return;
  if (!render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this))) return;
  for (Kel3DPlanarFaceGP* face : _faces) face->Draw(render);
}

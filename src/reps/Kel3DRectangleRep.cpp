#include <kel/reps/Kel3DRectangleRep.h>

#include <kel/framework/Keldirection3f.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/render/KelRender.h>

#include <algorithm>

KEL_IMPLEMENT_META(Kel3DRectangleRep, Kel3DRep)

Kel3DRectangleRep::Kel3DRectangleRep() = default;
Kel3DRectangleRep::Kel3DRectangleRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DRectangleRep::Kel3DRectangleRep(const Kelpoint3f& corner, const Kelvector3f& u,
                                     const Kelvector3f& v, const int colour) {
  Build(corner, u, v, colour);
}
Kel3DRectangleRep::Kel3DRectangleRep(const Kelpoint3f& corner, const Kelvector3f& u,
                                     const Kelvector3f& v, const int colour,
                                     KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {
  Build(corner, u, v, colour);
}

Kel3DRectangleRep::~Kel3DRectangleRep() {
  if (_face) KelGraphicPrimitive::Destroy(_face);
}

void Kel3DRectangleRep::Build(const Kelpoint3f& corner, const Kelvector3f& u, const Kelvector3f& v,
                              const int colour) {
  _corner = corner;
  _u = u;
  _v = v;
  _attributes.color = static_cast<unsigned char>(
      colour >= 0 && colour < 256 ? colour : int(KelGraphicAttributeSet::DEFAULT_COLOR));
  _attributes.flags |= KelGraphicAttributeSet::ELEMENT_KIND_MASK;

  const Kelpoint3f p[4] = {corner, corner + u + v, corner + u, corner + v};
  float vertices[12];
  for (int k = 0; k < 4; ++k)
    for (int j = 0; j < 3; ++j) vertices[3 * k + j] = p[k][j];
  const Keldirection3f n(u ^ v);
  const float normal[3] = {n.x, n.y, n.z};
  // corner, corner + u, corner + u + v, then corner, corner + u + v, corner + v:
  // both wind about u x v.
  const int triangles[6] = {0, 6, 3, 0, 3, 9};
  _face = new Kel3DPlanarFaceGP(vertices, 12, normal, triangles, 2, nullptr, 0, nullptr, nullptr, 0,
                                nullptr);
  // The longer diagonal: a slanted parallelogram reaches beyond the other one.
  const float diagonal = std::max((u + v).Norm(), (u - v).Norm());
  SetBoundingElement(Kel3DBoundingSphere(corner + 0.5f * (u + v), 0.5f * diagonal, 0.0f));
}

void Kel3DRectangleRep::DrawShading(KelRender& render, int) {
  if (_face && render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this)))
    _face->Draw(render);
}

#include <kel/aids/KelGroundRep.h>
#include <kel/framework/KelMathFunctions.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/render/KelRender.h>

#include <cmath>

KEL_IMPLEMENT_META(KelGroundRep, Kel3DRep)

namespace {
const unsigned char GroundKind = 2 << 4;
}

KelGroundRep::KelGroundRep(const Kel3DBoundingSphere& scene, GroundStyle style,
                           const Keldirection3f& vertical)
    : _style(style), _vertical(vertical) {
  const float radius = scene.IsEmpty() || !(scene.GetRadius() > 0.0f) ? 1.0f : scene.GetRadius();
  const Kelpoint3f centre = scene.IsEmpty() ? Kelpoint3f() : Kelpoint3f(scene.GetCenter());
  _origin = centre - _vertical.AsVector() * radius;
  _halfSize = 2.0f * radius;
  _attributes.flags |= GroundKind;
  _floorAttributes.color = KelGraphicAttributeSet::SECOND_MARK_COLOR;
  _floorAttributes.flags =
      GroundKind | KelGraphicAttributeSet::TRANSPARENT | KelGraphicAttributeSet::NOT_PICKABLE;
  Build();
}

KelGroundRep::~KelGroundRep() {
  Release();
}

KelGroundRep* KelGroundRep::Copy() const {
  auto* copy = new KelGroundRep;
  copy->_style = _style;
  copy->_vertical = _vertical;
  copy->_origin = _origin;
  copy->_offset = _offset;
  copy->_halfSize = _halfSize;
  copy->_attributes = _attributes;
  copy->_floorAttributes = _floorAttributes;
  copy->Build();
  return copy;
}

void KelGroundRep::Release() {
  if (_grid) KelGraphicPrimitive::Destroy(_grid);
  if (_floor) KelGraphicPrimitive::Destroy(_floor);
  _grid = nullptr;
  _floor = nullptr;
}

void KelGroundRep::Build() {
  Release();
  Keldirection3f du, dv;
  KelPlaneAxes(_vertical, du, dv);
  const Kelvector3f u = du.AsVector() * _halfSize, v = dv.AsVector() * _halfSize;
  const Kelpoint3f o = GetNewOrigin();

  // Cells + 1 lines each way, two points a line.
  float points[4 * (Cells + 1) * 3];
  float* p = points;
  auto put = [&p](const Kelpoint3f& q) {
    for (int k = 0; k < 3; ++k) *p++ = q[k];
  };
  for (int i = 0; i <= Cells; ++i) {
    const float s = -1.0f + 2.0f * static_cast<float>(i) / Cells;
    put(o + u * s - v);
    put(o + u * s + v);
    put(o + v * s - u);
    put(o + v * s + u);
  }
  _grid = new Kel3DLineGP(points, 4 * (Cells + 1), 1);

  if (_style == GroundGridOnFloor) {
    const Kelpoint3f corners[4] = {o - u - v, o + u - v, o + u + v, o - u + v};
    float vertices[12];
    for (int k = 0; k < 4; ++k)
      for (int j = 0; j < 3; ++j) vertices[3 * k + j] = corners[k][j];
    const float normal[3] = {_vertical.x, _vertical.y, _vertical.z};
    const int triangles[6] = {0, 3, 6, 0, 6, 9};
    _floor = new Kel3DPlanarFaceGP(vertices, 12, normal, triangles, 2, nullptr, 0, nullptr, nullptr,
                                   0, nullptr);
  }
  SetBoundingElement(Kel3DBoundingSphere(o, _halfSize * std::sqrt(2.0f), 0.0f));
  ComputeParentsBoundingElement();
}

void KelGroundRep::SetVertical(const Keldirection3f& vertical) {
  _vertical = vertical;
  Build();
}

void KelGroundRep::SetOrigin(const Kelpoint3f& origin) {
  _origin = origin;
  _offset = 0.0f;
  Build();
}

void KelGroundRep::Translate(float offset) {
  _offset = offset;
  Build();
}

void KelGroundRep::DrawShading(KelRender& render, int) {
  if (!_grid || !render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this)))
    return;
  // Sub-element 0 the grid, 1 the floor.
  if (render.IsDrawable(_attributes, 0)) _grid->Draw(render);
  if (_floor && render.IsDrawable(_floorAttributes, 1)) _floor->Draw(render);
}

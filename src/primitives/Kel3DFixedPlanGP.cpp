#include <kel/primitives/Kel3DFixedPlanGP.h>
#include <kel/render/KelRender.h>

KEL_IMPLEMENT_META(Kel3DFixedPlanGP, KelDynamicGP)

Kel3DFixedPlanGP::Kel3DFixedPlanGP(const Kelpoint3f center, const Keldirection3f a,
                                   const Keldirection3f b, const float size)
    : _center(center),
      _firstDiagonal(a.AsVector() + b.AsVector()),
      _secondDiagonal(a.AsVector() - b.AsVector()),
      _size(size) {}

void Kel3DFixedPlanGP::ImmediateDraw(KelRender& render, const KelViewpoint*, const KelViewport*) {
  const float h = _size * render.GetMMFromModelRatio(_center.GetCoord()) * 0.5f;
  const Kelvector3f u = h * _firstDiagonal.AsVector(), v = h * _secondDiagonal.AsVector();
  const Kelpoint3f corners[5] = {_center + u, _center + v, _center - u, _center - v, _center + u};
  float points[15];
  for (int k = 0; k < 5; ++k)
    for (int j = 0; j < 3; ++j) points[3 * k + j] = corners[k][j];
  render.ImmediateDraw3DPolyline(points, 5);
}

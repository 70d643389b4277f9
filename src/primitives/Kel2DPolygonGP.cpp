#include <kel/primitives/Kel2DPolygonGP.h>
#include <kel/render/KelRender.h>

#include "KelPointCopy.h"

KEL_IMPLEMENT_META(Kel2DPolygonGP, KelGraphicPrimitive)

Kel2DPolygonGP::Kel2DPolygonGP(const float* points, const int n, const int mode, const int allocate)
    : _mode(mode), _allocate(allocate ? 1 : 0) {
  if (!points || n <= 0) return;
  _points = KelKeepPoints(points, n, 2, _allocate, _copy);
  _nbPoints = n;
}

Kel2DPolygonGP::~Kel2DPolygonGP() = default;

void Kel2DPolygonGP::Draw(KelRender& render) {
  render.Draw2DPolygon(*this);
}

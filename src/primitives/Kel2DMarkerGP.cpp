#include <kel/primitives/Kel2DMarkerGP.h>
#include <kel/render/KelRender.h>

#include "KelPointCopy.h"

Kel2DMarkerGP::Kel2DMarkerGP(const float* points, const int n, SymbolType type, const int allocate)
    : _type(type), _allocate(allocate ? 1 : 0) {
  if (!points || n <= 0) return;
  _points = KelKeepPoints(points, n, 2, _allocate, _copy);
  _nbPoints = n;
}

Kel2DMarkerGP::~Kel2DMarkerGP() = default;

void Kel2DMarkerGP::Draw(KelRender& render) {
  render.Draw2DMarker(*this);
}

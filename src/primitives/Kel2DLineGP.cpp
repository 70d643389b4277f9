#include <kel/framework/Kelpoint2f.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/render/KelRender.h>

#include "KelPointCopy.h"

Kel2DLineGP::Kel2DLineGP(const float* points, const int n, const int allocate)
    : _allocate(allocate ? 1 : 0) {
  if (!points || n <= 0) return;
  _points = KelKeepPoints(points, n, 2, _allocate, _copy);
  _nbPoints = n;
}

// Two packed floats a point (asserted in Kelpoint2f.h): the same array.
Kel2DLineGP::Kel2DLineGP(const Kelpoint2f* points, const int n, const int allocate)
    : Kel2DLineGP(points ? points->GetCoord() : nullptr, n, allocate) {}

Kel2DLineGP::~Kel2DLineGP() = default;

void Kel2DLineGP::Draw(KelRender& render) {
  render.Draw2DLine(*this);
}

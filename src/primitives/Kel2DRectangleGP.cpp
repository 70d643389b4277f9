#include <kel/primitives/Kel2DRectangleGP.h>
#include <kel/render/KelRender.h>

#include <algorithm>

Kel2DRectangleGP::Kel2DRectangleGP(const float* corner1, const float* corner2, const int mode)
    : _mode(mode),
      _xmax(std::max(corner1[0], corner2[0])),
      _ymax(std::max(corner1[1], corner2[1])),
      _xmin(std::min(corner1[0], corner2[0])),
      _ymin(std::min(corner1[1], corner2[1])) {}

void Kel2DRectangleGP::Draw(KelRender& render) {
  render.Draw2DRectangle(*this);
}

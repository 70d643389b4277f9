#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel2DArrowSymbolGP.h>
#include <kel/render/KelRender.h>

#include <cmath>

Kel2DArrowSymbolGP::Kel2DArrowSymbolGP(const float* position, const float* direction,
                                       const float size, const float halfAngle, SymbolType type)
    : Kel2DSymbolGP(position, size, type),
      _direction{direction[0], direction[1]},
      _halfAngle(halfAngle) {}

void Kel2DArrowSymbolGP::ImmediateDraw(KelRender& render, const KelViewpoint*, const KelViewport*) {
  if (_type < OPEN_ARROW_SYMBOL || _type > FILLED_TRIANGLE_ARROW_SYMBOL) return;
  const double length = std::hypot(double(_direction[0]), double(_direction[1]));
  double dx = 1.0, dy = 0.0;
  if (length > KelMath::ZERO_MACHINE) {
    dx = _direction[0] / length;
    dy = _direction[1] / length;
  } else {
    error("Direction2D : Vecteur nul");
  }
  const double s = double(_size) * render.GetMMFromModelRatio();
  const double w = s * std::tan(double(_halfAngle));
  const double x = _position[0], y = _position[1];
  const float head[6] = {float(x - dx * s + dy * w), float(y - dy * s - dx * w), float(x), float(y),
                         float(x - dx * s - dy * w), float(y - dy * s + dx * w)};
  switch (_type) {
    case OPEN_ARROW_SYMBOL:
      render.ImmediateDraw2DPolyline(head, 3);
      return;
    case TRIANGLE_ARROW_SYMBOL:
      render.ImmediateDraw2DPolygon(head, 3, 0);
      return;
    case HOLLOW_TRIANGLE_ARROW_SYMBOL:
      FillInBackground(render, head, 3);
      render.ImmediateDraw2DPolygon(head, 3, 0);
      return;
    default:
      render.ImmediateDraw2DPolygon(head, 3, 1);
      return;
  }
}

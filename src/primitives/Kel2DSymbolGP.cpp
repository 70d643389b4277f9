#include <kel/primitives/Kel2DArcCircleGP.h>
#include <kel/primitives/Kel2DSymbolGP.h>
#include <kel/render/KelRender.h>

#include <cmath>

Kel2DSymbolGP::Kel2DSymbolGP(const float* position, const float size, SymbolType type)
    : _position{position[0], position[1]}, _size(size), _type(type) {}

void Kel2DSymbolGP::FillInBackground(KelRender& render, const float* points, const int n) {
  render.SetForeground(KelGraphicAttributeSet::BACKGROUND_COLOR);
  render.ImmediateDraw2DPolygon(points, n, 1);
  render.RestoreForeground();
}

void Kel2DSymbolGP::ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                                  const KelViewport* viewport) {
  const float h = _size * render.GetMMFromModelRatio() * 0.5f;
  const float x = _position[0], y = _position[1];
  switch (_type) {
    case CIRCLE_SYMBOL:
    case HOLLOW_DISC_SYMBOL:
    case FILLED_DISC_SYMBOL:
    case CROSSED_DISC_SYMBOL: {
      // Arcs of the whole turn; on the stack, as nothing keeps them.
      constexpr float kTurn = 6.2831855f;
      if (_type != CIRCLE_SYMBOL) {
        Kel2DArcCircleGP disc(_position, h, 0.0f, kTurn, 1);
        if (_type == FILLED_DISC_SYMBOL) {
          disc.ImmediateDraw(render, viewpoint, viewport);
          return;
        }
        render.SetForeground(KelGraphicAttributeSet::BACKGROUND_COLOR);
        disc.ImmediateDraw(render, viewpoint, viewport);
        render.RestoreForeground();
      }
      Kel2DArcCircleGP(_position, h, 0.0f, kTurn, 0).ImmediateDraw(render, viewpoint, viewport);
      if (_type == CROSSED_DISC_SYMBOL) {
        const double A = 0.78539816, B = 3.9269908;
        const float ca = float(h * std::cos(A)), sa = float(h * std::sin(A));
        const float cb = float(h * std::cos(B)), sb = float(h * std::sin(B));
        const float first[4] = {x + ca, y + sa, x + cb, y + sb};
        const float second[4] = {x - ca, y - sb, x - cb, y - sa};
        render.ImmediateDraw2DPolyline(first, 2);
        render.ImmediateDraw2DPolyline(second, 2);
      }
      return;
    }
    case HOLLOW_SQUARE_SYMBOL:
    case FILLED_SQUARE_SYMBOL: {
      const float square[8] = {x - h, y - h, x - h, y + h, x + h, y + h, x + h, y - h};
      if (_type == FILLED_SQUARE_SYMBOL) {
        render.ImmediateDraw2DPolygon(square, 4, 1);
        return;
      }
      FillInBackground(render, square, 4);
      render.ImmediateDraw2DPolygon(square, 4, 0);
      return;
    }
    case HOLLOW_TRIANGLE_SYMBOL:
    case FILLED_TRIANGLE_SYMBOL: {
      const float triangle[6] = {x, y + h, x - h, y - h, x + h, y - h};
      if (_type == FILLED_TRIANGLE_SYMBOL) {
        render.ImmediateDraw2DPolygon(triangle, 3, 1);
        return;
      }
      FillInBackground(render, triangle, 3);
      render.ImmediateDraw2DPolygon(triangle, 3, 0);
      return;
    }
    default:
      return;
  }
}

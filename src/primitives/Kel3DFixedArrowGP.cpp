#include <kel/primitives/Kel3DFixedArrowGP.h>
#include <kel/render/KelRender.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

KEL_IMPLEMENT_META(Kel3DFixedArrowGP, KelDynamicGP)

Kel3DFixedArrowGP::Kel3DFixedArrowGP(const Kelpoint3f& origin, const Keldirection3f& direction,
                                     const Keldirection3f&, const int length)
    : _origin(origin), _direction(direction), _length(length), _headLength(length / 5) {}

Kel3DFixedArrowGP::Kel3DFixedArrowGP(const Kelpoint3f& origin, const Keldirection3f& direction,
                                     const int length, const int head)
    : _origin(origin), _direction(direction), _length(length), _headLength(head) {}

Kel3DFixedArrowGP::~Kel3DFixedArrowGP() {
  std::free(_text);
}

void Kel3DFixedArrowGP::AssociateText(const char* text) {
  std::free(_text);
  _text = nullptr;
  _textLength = 0;
  if (!text) return;
  const size_t n = std::strlen(text);
  _text = static_cast<char*>(std::malloc(n + 1));
  if (!_text) return;
  std::memcpy(_text, text, n + 1);
  _textLength = int(n);
}

void Kel3DFixedArrowGP::ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                                      const KelViewport*) {
  const auto* camera = dynamic_cast<const Kel3DViewpoint*>(viewpoint);
  if (!camera) return;
  const Kelvector3f e = camera->GetSightDirection().AsVector();
  const Kelvector3f d = _direction.AsVector();
  // Seen end-on the arrow has no width on screen, and its side direction none.
  const Kelvector3f side = d ^ e;
  const float sideLength = side.Norm();
  if (std::fabs(e * d) >= 1.0f || !(sideLength > 1.0e-6f)) return;
  const Kelvector3f n = side / sideLength;

  const float ratio = render.GetMMFromModelRatio(_origin.GetCoord());
  const float B = float(_length - _headLength) * ratio;
  const float H = float(_headLength) * ratio;
  const float w = H / 5.0f;
  const Kelpoint3f headBase = _origin + B * d;
  const Kelpoint3f outline[6] = {
      _origin, headBase, headBase + w * n, _origin + (B + H) * d, headBase - w * n, headBase};
  float points[18];
  for (int k = 0; k < 6; ++k)
    for (int j = 0; j < 3; ++j) points[3 * k + j] = outline[k][j];
  render.ImmediateDraw3DPolyline(points, 6);

  if (_text) {
    const Kelpoint3f at = headBase + 3.0f * w * n;
    render.ImmediateDraw3DAnnotationText(at.GetCoord(), _text, AnchorPoint(3));
  }
}

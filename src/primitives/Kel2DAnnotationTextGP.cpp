#include <kel/framework/Kelpoint2f.h>
#include <kel/primitives/Kel2DAnnotationTextGP.h>
#include <kel/render/KelRender.h>

#include <cstdlib>
#include <cstring>

Kel2DAnnotationTextGP::Kel2DAnnotationTextGP(const float* position, const char* text,
                                             AnchorPoint anchor)
    : _position{position[0], position[1]}, _text(text ? strdup(text) : nullptr), _anchor(anchor) {}

Kel2DAnnotationTextGP::Kel2DAnnotationTextGP(const Kelpoint2f& position, const char* text,
                                             AnchorPoint anchor)
    : Kel2DAnnotationTextGP(position.GetCoord(), text, anchor) {}

Kel2DAnnotationTextGP::~Kel2DAnnotationTextGP() {
  std::free(_text);
}

void Kel2DAnnotationTextGP::Draw(KelRender& render) {
  render.Draw2DAnnotationText(*this);
}

void Kel2DAnnotationTextGP::Get(float** position, char** text, AnchorPoint* anchor) const {
  // The caller may change the values in place, as it always could.
  *position = const_cast<float*>(_position);
  *text = _text;
  *anchor = _anchor;
}

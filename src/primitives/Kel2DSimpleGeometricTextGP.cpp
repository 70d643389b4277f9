#include <kel/framework/Kelpoint2f.h>
#include <kel/primitives/Kel2DSimpleGeometricTextGP.h>
#include <kel/render/KelRender.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

Kel2DSimpleGeometricTextGP::Kel2DSimpleGeometricTextGP(const float* position, const char* text,
                                                       AnchorPoint anchor, const float height)
    : _position{position[0], position[1]},
      _height(height),
      _text(text ? strdup(text) : nullptr),
      _anchor(anchor) {
  if (_text) _width = height * _ratio * static_cast<float>(std::strlen(_text));
}

Kel2DSimpleGeometricTextGP::Kel2DSimpleGeometricTextGP(const Kelpoint2f& position, const char* text,
                                                       AnchorPoint anchor, const float height)
    : Kel2DSimpleGeometricTextGP(position.GetCoord(), text, anchor, height) {
  std::cout << " Attention :\n"
               "  le constructeur Kel2DSimpleGeometricTextGP::Kel2DSimpleGeometricTextGP "
               "(const Kelpoint2f &, const char *, AnchorPoint, const float)\n"
               "  sera supprime le 15 decembre 1996, elle est a remplace par la methode "
               "suivante :\n"
               "  Kel2DSimpleGeometricTextGP::Kel2DSimpleGeometricTextGP (const float [2], "
               "const char *, AnchorPoint, const float)"
            << std::endl;
}

Kel2DSimpleGeometricTextGP::~Kel2DSimpleGeometricTextGP() {
  std::free(_text);
}

void Kel2DSimpleGeometricTextGP::Draw(KelRender& render) {
  render.Draw2DSimpleGeometricText(*this);
}

void Kel2DSimpleGeometricTextGP::Get(float** position, char** text, AnchorPoint* anchor,
                                     float* height) const {
  *position = const_cast<float*>(_position);
  *text = _text;
  *anchor = _anchor;
  *height = _height;
}

void Kel2DSimpleGeometricTextGP::Get(Kelpoint2f& position, char** text, AnchorPoint* anchor,
                                     float* height) const {
  std::cout << " Attention :\n"
               "  la methode Kel2DSimpleGeometricTextGP::Get (Kelpoint2f &, char **, "
               "AnchorPoint *, float *)\n"
               "  sera supprime le 15 decembre 1996, il est a remplace par le constructeur "
               "suivant :\n"
               "  Kel2DSimpleGeometricTextGP::Get (const float **, const char **, AnchorPoint "
               "*, float *)"
            << std::endl;
  position = Kelpoint2f(_position);
  *text = _text;
  *anchor = _anchor;
  *height = _height;
}

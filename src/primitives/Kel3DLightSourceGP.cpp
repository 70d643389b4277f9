#include <kel/primitives/Kel3DLightSourceGP.h>

#include <kel/render/KelRender.h>

#include <algorithm>

float diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
float specular[4] = {0.7f, 0.7f, 0.7f, 1.0f};

Kel3DLightSourceGP::Kel3DLightSourceGP(const float* position, const float* direction,
                                       const float* diffuseColour, const float* specularColour,
                                       TypeOfSL type)
    : _type(type) {
  std::copy(position, position + 4, _position);
  std::copy(direction, direction + 3, _direction);
  std::copy(diffuseColour, diffuseColour + 4, _diffuse);
  std::copy(specularColour, specularColour + 4, _specular);
}

Kel3DLightSourceGP::Kel3DLightSourceGP(const Kel3DLightSourceGP& other)
    : KelGraphicPrimitive(other), _type(other._type) {
  std::copy(other._position, other._position + 4, _position);
  std::copy(other._direction, other._direction + 3, _direction);
  std::copy(other._diffuse, other._diffuse + 4, _diffuse);
  std::copy(other._specular, other._specular + 4, _specular);
}

Kel3DLightSourceGP::~Kel3DLightSourceGP() = default;

void Kel3DLightSourceGP::Draw(KelRender& render) {
  render.DrawLightSource(*this);
}

void Kel3DLightSourceGP::ModifyDirection(Keldirection3f d) {
  _position[0] = d.x;
  _position[1] = d.y;
  _position[2] = d.z;
}

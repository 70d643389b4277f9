// A light source handed to the driver: a homogeneous position (w = 0 makes a
// directional light along x, y, z), a direction, diffuse and specular RGBA
// colours and a kind. The culling render records it into element list 0, so
// lights are switched on before anything is drawn.
#pragma once

#include <kel/framework/Keldirection3f.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/primitives/TypeOfSL.h>

// The library's light colours, process-wide: (0.5, 0.5, 0.5, 1) and (0.7, 0.7, 0.7, 1).
extern float diffuse[4];
extern float specular[4];

class Kel3DLightSourceGP : public KelGraphicPrimitive {
 public:
  // Copies 4, 3, 4 and 4 floats.
  Kel3DLightSourceGP(const float* position, const float* direction, const float* diffuseColour,
                     const float* specularColour, TypeOfSL type);
  Kel3DLightSourceGP(const Kel3DLightSourceGP& other);
  Kel3DLightSourceGP& operator=(const Kel3DLightSourceGP&) = delete;
  ~Kel3DLightSourceGP() override;

  void Draw(KelRender& render) override;

  // Moves the light: x, y, z of the position; w and the direction stay.
  void ModifyDirection(Keldirection3f d);

  const float* GetPosition() const { return _position; }
  const float* GetDirection() const { return _direction; }
  const float* GetDiffuse() const { return _diffuse; }
  const float* GetSpecular() const { return _specular; }
  TypeOfSL GetType() const { return _type; }

 private:
  float _position[4];
  float _direction[3];
  float _diffuse[4];
  float _specular[4];
  TypeOfSL _type;
};

// A text at a 3D position, drawn at a fixed size on the screen.
#pragma once

#include <kel/primitives/AnchorPoint.h>
#include <kel/primitives/KelGraphicPrimitive.h>

class Kel3DAnnotationTextGP : public KelGraphicPrimitive {
 public:
  // The text is copied; a null text is kept as an empty one.
  Kel3DAnnotationTextGP(const float* position, const char* text, AnchorPoint anchor);
  ~Kel3DAnnotationTextGP() override;
  Kel3DAnnotationTextGP(const Kel3DAnnotationTextGP&) = delete;
  Kel3DAnnotationTextGP& operator=(const Kel3DAnnotationTextGP&) = delete;

  void Draw(KelRender& render) override;

  const float* GetPosition() const { return _position; }
  const char* GetText() const { return _text; }
  AnchorPoint GetAnchor() const { return _anchor; }

 private:
  float _position[3];
  char* _text;
  AnchorPoint _anchor;
};

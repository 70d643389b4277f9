// A text at a 2D position, drawn in the annotation font at a fixed size on
// the screen, placed by its anchor (docs/driver.md).
#pragma once

#include <kel/primitives/AnchorPoint.h>
#include <kel/primitives/KelGraphicPrimitive.h>

class Kelpoint2f;

class Kel2DAnnotationTextGP : public KelGraphicPrimitive {
 public:
  // The text is copied; without one the primitive draws and picks nothing.
  Kel2DAnnotationTextGP(const float* position, const char* text, AnchorPoint anchor);
  Kel2DAnnotationTextGP(const Kelpoint2f& position, const char* text, AnchorPoint anchor);
  ~Kel2DAnnotationTextGP() override;
  Kel2DAnnotationTextGP(const Kel2DAnnotationTextGP&) = delete;
  Kel2DAnnotationTextGP& operator=(const Kel2DAnnotationTextGP&) = delete;

  void Draw(KelRender& render) override;

  // Pointers to the stored values.
  void Get(float** position, char** text, AnchorPoint* anchor) const;
  const float* GetPosition() const { return _position; }
  const char* GetText() const { return _text; }
  AnchorPoint GetAnchor() const { return _anchor; }

 private:
  float _position[2];
  char* _text;
  AnchorPoint _anchor;
};

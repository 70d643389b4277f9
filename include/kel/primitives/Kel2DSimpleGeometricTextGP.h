// A text whose height is given in model units: it grows and shrinks with the
// zoom. Its width is the height x 0.625 a character. The driver draws it in
// the geometric font nearest its height on the screen (docs/driver.md).
#pragma once

#include <kel/primitives/AnchorPoint.h>
#include <kel/primitives/KelGraphicPrimitive.h>

class Kelpoint2f;

class Kel2DSimpleGeometricTextGP : public KelGraphicPrimitive {
 public:
  // At (0, 0), no text, sizes 0: draws and picks nothing.
  Kel2DSimpleGeometricTextGP() = default;
  // The text is copied; without one the primitive draws and picks nothing.
  Kel2DSimpleGeometricTextGP(const float* position, const char* text, AnchorPoint anchor,
                             const float height);
  // Deprecated: prints a notice, then as the float form.
  Kel2DSimpleGeometricTextGP(const Kelpoint2f& position, const char* text, AnchorPoint anchor,
                             const float height);
  ~Kel2DSimpleGeometricTextGP() override;
  Kel2DSimpleGeometricTextGP(const Kel2DSimpleGeometricTextGP&) = delete;
  Kel2DSimpleGeometricTextGP& operator=(const Kel2DSimpleGeometricTextGP&) = delete;

  void Draw(KelRender& render) override;

  // Pointers to the stored position and text.
  void Get(float** position, char** text, AnchorPoint* anchor, float* height) const;
  // Deprecated: prints a notice, then answers the position by value.
  void Get(Kelpoint2f& position, char** text, AnchorPoint* anchor, float* height) const;
  float GetWidth() const { return _width; }
  float GetHeight() const { return _height; }
  float GetRatio() const { return _ratio; }
  const float* GetPosition() const { return _position; }
  const char* GetText() const { return _text; }
  AnchorPoint GetAnchor() const { return _anchor; }

 private:
  float _position[2] = {0.0f, 0.0f};
  float _width = 0.0f;
  float _height = 0.0f;
  float _ratio = 0.625f;
  char* _text = nullptr;
  AnchorPoint _anchor = BOTTOM_LEFT;
};

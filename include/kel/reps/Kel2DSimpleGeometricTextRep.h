// A text of a given height in model units (Kel2DSimpleGeometricTextGP). It
// is drawn whenever shown, without culling; its box, placed by the anchor,
// only lets its bags and the camera's reframing count it.
#pragma once

#include <kel/primitives/AnchorPoint.h>
#include <kel/reps/Kel2DRep.h>

class Kel2DSimpleGeometricTextGP;

class Kel2DSimpleGeometricTextRep : public Kel2DRep {
 public:
  Kel2DSimpleGeometricTextRep(const float* position, const char* text, AnchorPoint anchor,
                              const float height);
  ~Kel2DSimpleGeometricTextRep() override;

  void DrawShading(KelRender& render, int inside) override;
  float GetWidth() const;

  const Kel2DSimpleGeometricTextGP* GetText() const { return _text; }

 private:
  Kel2DSimpleGeometricTextGP* _text = nullptr;
};

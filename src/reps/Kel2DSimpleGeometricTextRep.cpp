#include <kel/primitives/Kel2DSimpleGeometricTextGP.h>
#include <kel/reps/Kel2DSimpleGeometricTextRep.h>

Kel2DSimpleGeometricTextRep::Kel2DSimpleGeometricTextRep(const float* position, const char* text,
                                                         AnchorPoint anchor, const float height)
    : _text(new Kel2DSimpleGeometricTextGP(position, text, anchor, height)) {
  if (!text || !*text) return;
  // The box of the nominal size: width to the right of a left anchor, and so on.
  const float w = _text->GetWidth();
  const int a = anchor >= BOTTOM_LEFT && anchor <= TOP_RIGHT ? int(anchor) : 0;
  const int column = a % 3, row = a / 3;
  const float x = position[0] - 0.5f * float(column) * w;
  const float y = position[1] - 0.5f * float(row) * height;
  SetBoundingElement(Kel2DBoundingBox(x, x + w, y, y + height));
}

Kel2DSimpleGeometricTextRep::~Kel2DSimpleGeometricTextRep() {
  Release(_text);
}

float Kel2DSimpleGeometricTextRep::GetWidth() const {
  return _text->GetWidth();
}

void Kel2DSimpleGeometricTextRep::DrawShading(KelRender& render, int) {
  DrawIfShown(render, _text);
}

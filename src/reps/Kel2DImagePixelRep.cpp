#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel2DImagePixelGP.h>
#include <kel/reps/Kel2DImagePixelRep.h>

Kel2DImagePixelRep::Kel2DImagePixelRep(const float* position, const KelPixelImage* image, int mode)
    : _image(image ? image->Duplicate() : nullptr), _mode(mode) {
  Build(position);
}

Kel2DImagePixelRep::~Kel2DImagePixelRep() {
  Release(_gp);
}

void Kel2DImagePixelRep::Build(const float* position) {
  const int alpha = _gp ? _gp->GetAlphaMode() : 0;
  Replace(_gp, new Kel2DImagePixelGP(position, _image, _mode));
  if (alpha) _gp->AlphaModeOn();
  float xmin, xmax, ymin, ymax;
  if (_gp->GetModelBox(&xmin, &xmax, &ymin, &ymax))
    SetBoundingElement(Kel2DBoundingBox(xmin, xmax, ymin, ymax));
  else
    SetBoundingElement(Kel2DBoundingBox());
}

void Kel2DImagePixelRep::Modify(const float* position) {
  Build(position);
}

void Kel2DImagePixelRep::AlphaModeOn() {
  _gp->AlphaModeOn();
}

void Kel2DImagePixelRep::AlphaModeOff() {
  _gp->AlphaModeOff();
}

void Kel2DImagePixelRep::DrawShading(KelRender& render, int) {
  DrawInBox(render, _gp);
}

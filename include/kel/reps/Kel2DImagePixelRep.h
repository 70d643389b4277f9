// A pixel image placed in the 2D model, its lower left corner at the
// position (Kel2DImagePixelGP). The Rep keeps its own copy of the image; the
// copy lives until the Rep and every primitive drawing it are gone.
#pragma once

#include <kel/reps/Kel2DRep.h>

#include <memory>

class Kel2DImagePixelGP;
class KelPixelImage;

class Kel2DImagePixelRep : public Kel2DRep {
 public:
  // A null image gives a Rep that draws nothing. mode: the zoom quality
  // (KelPixelImage::CreateZoomedImage).
  Kel2DImagePixelRep(const float* position, const KelPixelImage* image, int mode);
  ~Kel2DImagePixelRep() override;

  void DrawShading(KelRender& render, int inside) override;
  // Moves the image.
  void Modify(const float* position);
  const KelPixelImage* GetPixelImage() const { return _image.get(); }
  void AlphaModeOn();
  void AlphaModeOff();

  const Kel2DImagePixelGP* GetImagePixel() const { return _gp; }

 private:
  void Build(const float* position);

  std::shared_ptr<const KelPixelImage> _image;
  int _mode;
  Kel2DImagePixelGP* _gp = nullptr;
};

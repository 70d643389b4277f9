// A pixel image placed in the 2D model: its lower left corner at the
// position, each image pixel GetXPixelSize() x GetYPixelSize() model units.
// When drawn it is resampled to screen pixels and only its visible part is
// sent to the render (ImmediateDraw2DImagePixel).
#pragma once

#include <kel/primitives/KelDynamicGP.h>

#include <memory>

class KelPixelImage;

class Kel2DImagePixelGP : public KelDynamicGP {
 public:
  // The image stays the caller's and must outlive the primitive. mode is the
  // quality handed to KelPixelImage::CreateZoomedImage.
  Kel2DImagePixelGP(const float* position, const KelPixelImage* image, int mode);
  // Shares the image: it is deleted with its last holder, which may be this
  // primitive when its deletion was deferred past its owner's.
  Kel2DImagePixelGP(const float* position, std::shared_ptr<const KelPixelImage> image, int mode);
  ~Kel2DImagePixelGP() override;

  void ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                     const KelViewport* viewport) override;

  // The image's pixels are blended by their alpha byte (RGBA images).
  void AlphaModeOn() { _alphaMode = 1; }
  void AlphaModeOff() { _alphaMode = 0; }
  int GetAlphaMode() const { return _alphaMode; }
  int GetDisplayMode() const { return _displayMode; }
  const float* GetPosition() const { return _position; }
  const KelPixelImage* GetImage() const { return _image; }
  // The model rectangle the image covers; 0 (nothing to draw) without an
  // image, pixels or a positive pixel size.
  int GetModelBox(float* xmin, float* xmax, float* ymin, float* ymax) const;

 private:
  int _alphaMode = 0;
  float _position[2];
  // The support's, as of the last draw.
  float _pixelRatio = 1.0f;
  float _mmInSupportUnit = 1.0f;
  float _width = 0.0f;
  float _height = 0.0f;
  int _displayMode;
  const KelPixelImage* _image;
  std::shared_ptr<const KelPixelImage> _shared;
};

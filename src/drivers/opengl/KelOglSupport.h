// The driver's off-screen support: draws its viewpoints into a pixel image
// through its own EGL context and framebuffer, no X server needed.
#pragma once

#include <kel/render/KelSupport.h>

#include <memory>

class KelOglContext;
class KelPixelImage;

class KelOglSupport : public KelSupport {
 public:
  // Null when the image cannot be drawn into or no context can be made. With
  // a model the support takes its settings and shows its viewpoints.
  static KelOglSupport* Create(KelSupport* model, KelPixelImage* image);
  ~KelOglSupport() override;

  int MakeCurrent() override;
  void ReadPixels() override;
  KelRender* CreateDrawingRender() override;
  void Clear() override;
  void Swap() override;
  // Nothing is drawn, and the image is left alone, when the context is lost.
  void Drawing(list<KelViewpoint*>& viewpoints) override;

  KelPixelImage* GetImage() const { return _image; }

 private:
  KelOglSupport(int width, int height, KelPixelImage* image);
  KelOglSupport(const KelSupport& model, KelPixelImage* image);

  KelPixelImage* _image;
  std::unique_ptr<KelColorMap> _ownColorMap;
  std::unique_ptr<KelOglContext> _context;
};

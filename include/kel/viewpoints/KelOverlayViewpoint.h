// The fixed 2D camera of the overlay drawn over a viewer: model units are
// pixels with y upwards from the bottom of the window. It cannot be zoomed or
// reframed.
#pragma once

#include <kel/viewpoints/Kel2DViewpoint.h>

class KelOverlayViewpoint : public Kel2DViewpoint {
 public:
  // Origin (0, 0), zoom 1.
  KelOverlayViewpoint();
  KelOverlayViewpoint(const KelOverlayViewpoint& other);
  ~KelOverlayViewpoint() override;

  KEL_DECLARE_META(KelOverlayViewpoint);

  KelOverlayViewpoint* Clone() const override;
  void SetZoom(const float& zoom) override;
  void SetZoomBounds(const float& a, const float& b) override;
  void Reframe(float width, float height, float pixelsPerMM, float ratio) override;

  using Kel2DViewpoint::ComputeModelFromPixel;
  using Kel2DViewpoint::ComputePixelFromModel;
  // Pixel (x, y) is model (x, height - y).
  void ComputeModelFromPixel(float x, float y, float& X, float& Y, float width, float height,
                             float pixelsPerMM, float ratio) const override;
  void ComputePixelFromModel(float X, float Y, float& x, float& y, float width, float height,
                             float pixelsPerMM, float ratio) const override;
  void ComputeModelFromPixel(float x, float y, Kelpoint3f& P, Kelpoint3f& Q, float width,
                             float height, float pixelsPerMM, float ratio) const override;
  void ComputePixelFromModel(const Kelpoint3f& M, Kelpoint2f& p, float width, float height,
                             float pixelsPerMM, float ratio) const override;
  KelViewport* CreateViewportFrom(float x, float y, float dx, float dy, float width, float height,
                                  float pixelsPerMM, float ratio) override;
  int SizeOf() const override;
};

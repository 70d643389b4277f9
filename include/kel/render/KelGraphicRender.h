// Base of the driver's renders: a draw render that knows whether fog is on and
// offers the left-eye and right-eye entries of stereo drawing.
#pragma once

#include <kel/render/KelDrawRender.h>

class KelGraphicRender : public KelDrawRender {
 public:
  explicit KelGraphicRender(const KelSupport& support);
  KelGraphicRender(const KelGraphicRender& other) = default;

  virtual void BeginDrawLeft(KelViewpoint& viewpoint, const int eye, const float distance);
  virtual void BeginDrawRight(KelViewpoint& viewpoint, const int eye, const float distance);

  int IsFogOn() const { return _fog; }
  int GetPolygonDrawingMode() const { return _polygonMode; }

 protected:
  int _fog = 0;
  int _polygonMode = 0;
};

#include <kel/render/KelGraphicRender.h>

#include <kel/render/KelSupport.h>

KelGraphicRender::KelGraphicRender(const KelSupport& support)
    : KelDrawRender(support),
      _fog(support.IsFogOn()),
      _polygonMode(support.GetPolygonDrawingMode()) {}

void KelGraphicRender::BeginDrawLeft(KelViewpoint& viewpoint, const int, const float) {
  BeginDraw(viewpoint);
}

void KelGraphicRender::BeginDrawRight(KelViewpoint& viewpoint, const int, const float) {
  BeginDraw(viewpoint);
}

#include <kel/render/KelRender.h>
#include <kel/reps/Kel2DRep.h>

#include <algorithm>

Kel2DRep::Kel2DRep() = default;
Kel2DRep::Kel2DRep(KelModelIdentificator& id, KelVisuController* controller)
    : KelRep(id, controller) {}

Kel2DRep::~Kel2DRep() {
  DetachFromParents();
}

void Kel2DRep::AddBoundingElement(const Kel2DBoundingBox& box) {
  _boundingBox += box;
}

void Kel2DRep::SetBoundingElement(const Kel2DBoundingBox& box) {
  _boundingBox = box;
  ComputeParentsBoundingElement();
}

Kel2DBoundingBox Kel2DRep::BoxOfPoints(const float* points, const int n) {
  if (!points || n <= 0) return Kel2DBoundingBox();
  float xmin = points[0], xmax = points[0], ymin = points[1], ymax = points[1];
  for (int i = 1; i < n; ++i) {
    xmin = std::min(xmin, points[2 * i]);
    xmax = std::max(xmax, points[2 * i]);
    ymin = std::min(ymin, points[2 * i + 1]);
    ymax = std::max(ymax, points[2 * i + 1]);
  }
  return Kel2DBoundingBox(xmin, xmax, ymin, ymax);
}

void Kel2DRep::DrawInBox(KelRender& render, KelGraphicPrimitive* gp) {
  if (gp && render.IsDrawable(_attributes, _boundingBox, static_cast<const KelRep&>(*this)))
    gp->Draw(render);
}

void Kel2DRep::DrawIfShown(KelRender& render, KelGraphicPrimitive* gp) {
  if (gp && render.IsDrawable(_attributes, static_cast<const KelRep&>(*this))) gp->Draw(render);
}

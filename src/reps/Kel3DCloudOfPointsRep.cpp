#include <kel/reps/Kel3DCloudOfPointsRep.h>

#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/render/KelRender.h>

KEL_IMPLEMENT_META(Kel3DCloudOfPointsRep, Kel3DRep)

Kel3DCloudOfPointsRep::Kel3DCloudOfPointsRep() = default;
Kel3DCloudOfPointsRep::Kel3DCloudOfPointsRep(KelModelIdentificator& id,
                                             KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DCloudOfPointsRep::Kel3DCloudOfPointsRep(const float* points, const int n)
    : _marker(new Kel3DMarkerGP(points, n, CLOUD_POINT_SYMBOL, 1)) {}

Kel3DCloudOfPointsRep::Kel3DCloudOfPointsRep(const float* points, const int n,
                                             KelModelIdentificator& id,
                                             KelVisuController* controller)
    : Kel3DRep(id, controller), _marker(new Kel3DMarkerGP(points, n, CLOUD_POINT_SYMBOL, 1)) {}

Kel3DCloudOfPointsRep::~Kel3DCloudOfPointsRep() {
  if (_marker) KelGraphicPrimitive::Destroy(_marker);
}

void Kel3DCloudOfPointsRep::DrawShading(KelRender& render, int inside) {
  if (!_marker) return;
  // Points of a shaded cloud are sorted and depth-tested as surfaces.
  _attributes.flags |= KelGraphicAttributeSet::ELEMENT_KIND_MASK;
  const KelRep& self = *this;
  const int drawable = inside ? render.IsDrawable(_attributes, self)
                              : render.IsDrawable(_attributes, _boundingSphere, self);
  if (drawable && !render.IsToSmall(_boundingSphere)) _marker->Draw(render);
}

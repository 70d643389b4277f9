#include <kel/aids/KelFocusPointRep.h>

#include <kel/primitives/Kel3DLineGP.h>
#include <kel/render/KelRender.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

KEL_IMPLEMENT_META(KelFocusPointRep, Kel3DRep)

KelFocusPointRep::KelFocusPointRep(Kel3DViewpoint& camera, KelViewer* viewer, float size)
    : _camera(&camera), _viewer(viewer), _size(size > 0.0f ? size : 0.0f) {
  _attributes.flags |= KelGraphicAttributeSet::NOT_PICKABLE;
  SetBoundingElement(Kel3DBoundingSphere(camera.GetTarget(), 0.0f, 0.0f));
}

KelFocusPointRep::~KelFocusPointRep() = default;

void KelFocusPointRep::DrawShading(KelRender& render, int) {
  const Kelpoint3f T = _camera->GetTarget();
  // The mark is a size on the screen: its sphere is all screen millimetres.
  const float mm = render.GetMMInSupportUnit();
  SetBoundingElement(Kel3DBoundingSphere(T, 0.0f, mm > 0.0f ? 0.5f * _size / mm : 0.0f));
  const Kel3DViewpoint* eye = render.GetCurrent3DViewpoint();
  if (!eye || !render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this)))
    return;
  const float h = 0.5f * _size * render.GetPixelFromModelRatio(T.GetCoord());
  const Kelvector3f r = eye->GetRightDirection().AsVector() * h;
  const Kelvector3f u = eye->GetUpDirection().AsVector() * h;
  const Kelvector3f r5 = r * 0.2f, u5 = u * 0.2f;
  const Kelpoint3f ends[12] = {T - r,       T + r,       T - u,       T + u,
                               T - r5 - u5, T + r5 - u5, T + r5 - u5, T + r5 + u5,
                               T + r5 + u5, T - r5 + u5, T - r5 + u5, T - r5 - u5};
  auto* cross = new Kel3DLineGP(ends[0].GetCoord(), 12, 1);
  cross->Draw(render);
  KelGraphicPrimitive::Destroy(cross);
}

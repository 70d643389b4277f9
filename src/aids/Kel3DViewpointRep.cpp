#include <kel/aids/Kel3DViewpointRep.h>

#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/render/KelRender.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <algorithm>
#include <cmath>

KEL_IMPLEMENT_META(Kel3DViewpointRep, Kel3DRep)

Kel3DViewpointRep::Kel3DViewpointRep(Kel3DViewpoint& camera, KelViewer* viewer)
    : _camera(&camera), _viewer(viewer) {
  _attributes.flags |= KelGraphicAttributeSet::NOT_PICKABLE;
  float points[3 * 2 * SegmentCount];
  BuildSegments(1.0f, points);
}

Kel3DViewpointRep::~Kel3DViewpointRep() = default;

void Kel3DViewpointRep::BuildSegments(float aspect, float* points) {
  const Kel3DViewpoint& c = *_camera;
  const Kelpoint3f E = c.GetOrigin();
  const Kelpoint3f T = c.GetTarget();
  const Kelvector3f s = c.GetSightDirection().AsVector();
  const float t = static_cast<float>(std::fabs(c.GetFocusDistance()) *
                                     std::tan(c.GetAngle() * KelMath::DEGRERADIANS) / c.GetZoom());
  const Kelvector3f u = c.GetUpDirection().AsVector() * t;
  const Kelvector3f r = c.GetRightDirection().AsVector() * (t * aspect);
  const Kelpoint3f corners[4] = {T - r - u, T + r - u, T + r + u, T - r + u};
  const int conic = c.GetProjectionType() == CONIC_PROJECTION;
  Kelpoint3f ends[2 * SegmentCount];
  int n = 0;
  for (int i = 0; i < 4; ++i) {
    // From the eye, or from the eye's plane in a parallel view.
    ends[n++] = conic ? E : corners[i] - s * c.GetFocusDistance();
    ends[n++] = corners[i];
  }
  for (int i = 0; i < 4; ++i) {
    ends[n++] = corners[i];
    ends[n++] = corners[(i + 1) % 4];
  }
  // The tick above the upper side tells which way is up.
  const Kelpoint3f tip = T + u * 1.3f;
  ends[n++] = T + u - r * (1.0f / 3.0f);
  ends[n++] = tip;
  ends[n++] = tip;
  ends[n++] = T + u + r * (1.0f / 3.0f);
  ends[n++] = E;
  ends[n++] = T;
  const Kelpoint3f centre = E + (T - E) * 0.5f;
  float radius = 0.0f;
  for (int i = 0; i < n; ++i) {
    radius = std::max(radius, ends[i].DistanceTo(centre));
    for (int k = 0; k < 3; ++k) points[3 * i + k] = ends[i][k];
  }
  SetBoundingElement(Kel3DBoundingSphere(centre, radius, 0.0f));
}

void Kel3DViewpointRep::DrawShading(KelRender& render, int) {
  float W = 0.0f, H = 0.0f;
  render.GetWidthAndHeight(W, H);
  if (_viewer) _viewer->GetGraphicSize(&W, &H);
  const float aspect = H > 0.0f ? W / H * render.GetPixelRatioWH() : 1.0f;
  float points[3 * 2 * SegmentCount];
  BuildSegments(aspect, points);
  if (!render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this))) return;
  auto* picture = new Kel3DLineGP(points, 2 * SegmentCount, 1);
  picture->Draw(render);
  KelGraphicPrimitive::Destroy(picture);
}

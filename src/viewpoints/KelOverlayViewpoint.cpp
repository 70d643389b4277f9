#include <kel/viewpoints/Kel2DViewport.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

KEL_IMPLEMENT_META(KelOverlayViewpoint, Kel2DViewpoint)

KelOverlayViewpoint::KelOverlayViewpoint() : Kel2DViewpoint(Kelpoint2f(0.0f, 0.0f), 1.0f) {}

KelOverlayViewpoint::KelOverlayViewpoint(const KelOverlayViewpoint& other) = default;

KelOverlayViewpoint::~KelOverlayViewpoint() = default;

KelOverlayViewpoint* KelOverlayViewpoint::Clone() const {
  return new KelOverlayViewpoint(*this);
}

void KelOverlayViewpoint::SetZoom(const float&) {}

void KelOverlayViewpoint::SetZoomBounds(const float&, const float&) {}

void KelOverlayViewpoint::Reframe(float, float, float, float) {}

void KelOverlayViewpoint::ComputeModelFromPixel(float x, float y, float& X, float& Y, float,
                                                float height, float, float) const {
  X = x;
  Y = height - y;
}

void KelOverlayViewpoint::ComputePixelFromModel(float X, float Y, float& x, float& y, float,
                                                float height, float, float) const {
  x = X;
  y = height - Y;
}

void KelOverlayViewpoint::ComputeModelFromPixel(float x, float y, Kelpoint3f& P, Kelpoint3f& Q,
                                                float, float height, float, float) const {
  P = Q = Kelpoint3f(x, height - y, 0.0f);
}

void KelOverlayViewpoint::ComputePixelFromModel(const Kelpoint3f& M, Kelpoint2f& p, float,
                                                float height, float, float) const {
  p = Kelpoint2f(M.x, height - M.y);
}

KelViewport* KelOverlayViewpoint::CreateViewportFrom(float x, float y, float dx, float dy, float,
                                                     float height, float, float) {
  Kel2DViewport* viewport = static_cast<Kel2DViewport*>(GetViewport());
  *viewport = Kel2DViewport(x - dx, x + dx, (height - y) - dy, (height - y) + dy);
  return viewport;
}

int KelOverlayViewpoint::SizeOf() const {
  return static_cast<int>(sizeof(KelOverlayViewpoint));
}

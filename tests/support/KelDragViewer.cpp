#include "KelDragViewer.h"

#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include "KelTestDriver.h"

namespace keltest {

DragViewer::DragViewer(int width, int height) : _width(width), _height(height) {
  if (!LoadTestDriver()) return;
  viewer = new KelViewer(nullptr, KelString("dragViewer"), 0, width, height, 0);
  if (!viewer->GetGraphicWindow()) {
    delete viewer;
    viewer = nullptr;
    return;
  }
  viewpoint3D = viewer->GetMain3DViewpoint();
  viewpoint3D->SetProjectionType(PARALLEL_PROJECTION);
  viewpoint3D->Set(Kelpoint3f(0, 0, 20), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  viewpoint3D->SetAngle(45.0f);
  viewpoint3D->SetFocus(5.0f);
  SetZoom(1.0f);
  viewpoint2D = viewer->GetMain2DViewpoint();
  viewpoint2D->SetZoomType(ZOOM_WINDOW_HEIGHT);
  viewpoint2D->SetOrigin(Kelpoint2f(0, 0));
  viewpoint2D->SetZoom(1.0f);
}

DragViewer::~DragViewer() {
  delete viewer;
}

void DragViewer::SetZoom(float zoom) {
  viewpoint3D->SetZoom(zoom);
}

float DragViewer::PixelsPerUnit() const {
  // Half the view's height is focus * tan(45) / zoom = 5 / zoom units.
  return viewpoint3D->GetZoom() * static_cast<float>(_height) / 10.0f;
}

float DragViewer::Ratio() const {
  return viewer->GetGraphicWindow()->GetRatioWH();
}

Kelpoint2f DragViewer::Pixel(float x, float y) const {
  return Kelpoint2f(0.5f * _width + x * PixelsPerUnit() / Ratio(),
                    0.5f * _height - y * PixelsPerUnit());
}

DragViewer::Step& DragViewer::NewStep(KelRep* rep, KelViewpoint* viewpoint) {
  Step& s = _steps.emplace_back(viewpoint ? viewpoint : viewpoint3D);
  if (rep) s.path.Load(rep);
  s.event.SetViewer(viewer);
  s.event.SetPickPath(&s.path);
  s.event.SetPickPathUnder(&s.path);
  return s;
}

KelViewerEvent& DragViewer::Mouse(const Kelpoint2f& pixel, KelRep* rep, const Kelpoint3f& hit,
                                  int modifiers, KelViewpoint* viewpoint) {
  Step& s = NewStep(rep, viewpoint);
  s.path.SetIntersection(hit);
  s.mouse.SetPosition(pixel);
  s.mouse.SetModifiers(modifiers);
  s.event.SetDeviceEvent(&s.mouse);
  return s.event;
}

KelViewerEvent& DragViewer::Key(int key, KelRep* rep) {
  Step& s = NewStep(rep, nullptr);
  s.key.SetKey(key);
  s.event.SetDeviceEvent(&s.key);
  return s.event;
}

}  // namespace keltest

#include <kel/viewers/Kel2DViewer.h>

#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgScrollBar.h>
#include <kel/manipulators/Kel2DIndicator.h>
#include <kel/reps/KelRepPath.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel2DViewport.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "KelPathNotice.h"

KEL_IMPLEMENT_META(Kel2DViewer, KelViewer)

namespace {

const int kRange = KelDlgScrollMaximum;  // 1000
// Scroll values beyond this come from a view zoomed far out or in; they are
// held here before becoming integers.
const double kFarOut = 1.0e6;

int Truncated(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int>(std::trunc(std::min(std::max(v, -kFarOut), kFarOut)));
}

}  // namespace

Kel2DViewer::Kel2DViewer(KelDialog* father, const KelString& name, unsigned long style, int size1,
                         int size2, unsigned long flags)
    : KelViewer(father, name, style, size1, size2, flags) {
  Kel2DViewpoint* main = GetMain2DViewpoint();
  if (main) {
    _backgroundIndicator2D =
        new Kel2DIndicator(this, KelString("Background2DViewerIndicator"), *main);
    SetBackgroundIndicator(_backgroundIndicator2D);
  }
  if (!(flags & 4)) return;
  _scrollbars = 1;
  _horizontalScrollbar =
      new KelDlgScrollBar(this, KelString("ViewerHorizontalScrollbar"), KelDlgHorizontal);
  _verticalScrollbar =
      new KelDlgScrollBar(this, KelString("ViewerVerticalScrollbar"), KelDlgVertical);
  KelDlgScrollBar* bars[2] = {_horizontalScrollbar, _verticalScrollbar};
  for (std::intptr_t axis = 0; axis < 2; ++axis) {
    bars[axis]->SetRange(KelDlgScrollMinimum, KelDlgScrollMaximum);
    void* data = reinterpret_cast<void*>(axis);
    AddAnalyseNotificationCB(bars[axis], KelDlgNotification::DLG_DRAG(), &Kel2DViewer::Scroll,
                             data);
    AddAnalyseNotificationCB(bars[axis], KelDlgNotification::DLG_MODIFY(), &Kel2DViewer::Scroll,
                             data);
  }
  if (main)
    _modificationCallback =
        AddCallback(main->GetCallbackManager(), KelViewpoint::VIEWPOINT_MODIFIED(),
                    &Kel2DViewer::ViewportModified, nullptr);
  UpdateLayout();
}

Kel2DViewer::~Kel2DViewer() {
  if (GetBackgroundIndicator() == _backgroundIndicator2D) SetBackgroundIndicator(nullptr);
  delete _backgroundIndicator2D;
}

void Kel2DViewer::UpdateLayout() {
  KelViewer::UpdateLayout();
  if (!_scrollbars) return;
  // Under and at the right of the drawing area, which spans to tabulation 3
  // from tabulation 1, or 2 beside the icon frames.
  const int left = GetIconFrameCount() > 0 ? 2 : 1;
  _horizontalScrollbar->ResetAttachments();
  _horizontalScrollbar->SetHorizontalAttachment(left, KelDlgAttachTab, 3, KelDlgAttachStretch);
  _horizontalScrollbar->SetVerticalAttachment(3, KelDlgAttachTab);
  _verticalScrollbar->ResetAttachments();
  _verticalScrollbar->SetHorizontalAttachment(3, KelDlgAttachTab);
  _verticalScrollbar->SetVerticalAttachment(1, KelDlgAttachTab, 3, KelDlgAttachStretch);
}

void Kel2DViewer::SupportValues(float& width, float& height, float& pixelsPerMM,
                                float& ratio) const {
  width = height = 0.0f;
  pixelsPerMM = ratio = 1.0f;
  if (KelGraphicWindow* window = GetGraphicWindow()) {
    window->GetWidthAndHeight(width, height);
    pixelsPerMM = window->GetMMInSupportUnit();
    ratio = window->GetRatioWH();
  }
}

// ---- Reps and viewpoint

void Kel2DViewer::AddRep(Kel2DRep* rep) {
  if (Kel2DViewpoint* main = GetMain2DViewpoint()) main->AddRep(rep);
}
void Kel2DViewer::RemoveRep(Kel2DRep* rep) {
  if (Kel2DViewpoint* main = GetMain2DViewpoint()) main->RemoveRep(rep);
}
void Kel2DViewer::AddRepFurtive(Kel2DRep* rep) {
  if (Kel2DViewpoint* main = GetMain2DViewpoint()) main->AddFurtiveRep(rep);
}
void Kel2DViewer::RemoveRepFurtive(Kel2DRep* rep) {
  if (Kel2DViewpoint* main = GetMain2DViewpoint()) main->RemoveFurtiveRep(rep);
}

Kel2DViewpoint* Kel2DViewer::GetViewpoint() const {
  return GetMain2DViewpoint();
}

void Kel2DViewer::SetViewpoint(const Kel2DViewpoint& viewpoint) {
  if (Kel2DViewpoint* main = GetMain2DViewpoint()) *main = viewpoint;
  Draw();
}

Kel2DBoundingBox Kel2DViewer::GetGlobal2DBoundingBox() const {
  Kel2DViewpoint* main = GetMain2DViewpoint();
  return main ? main->GetBoundingBox() : Kel2DBoundingBox();
}

void Kel2DViewer::Reframe() {
  Kel2DViewpoint* main = GetMain2DViewpoint();
  if (!main) return;
  float W, H, mm, ratio;
  SupportValues(W, H, mm, ratio);
  main->Reframe(W, H, mm, ratio);
}

void Kel2DViewer::ReframeOn(float xmin, float xmax, float ymin, float ymax) {
  Kel2DViewpoint* main = GetMain2DViewpoint();
  if (!main) return;
  float W, H, mm, ratio;
  SupportValues(W, H, mm, ratio);
  main->ReframeOn(xmin, xmax, ymin, ymax, W, H, mm, ratio);
}

void Kel2DViewer::ZoomIn() {
  if (Kel2DViewpoint* main = GetMain2DViewpoint()) main->SetZoom(main->GetZoom() * std::sqrt(2.0f));
}

void Kel2DViewer::ZoomOut() {
  if (Kel2DViewpoint* main = GetMain2DViewpoint()) main->SetZoom(main->GetZoom() / std::sqrt(2.0f));
}

void Kel2DViewer::GetViewport(float& xmin, float& xmax, float& ymin, float& ymax) const {
  xmin = xmax = ymin = ymax = 0.0f;
  Kel2DViewpoint* main = GetMain2DViewpoint();
  if (!main) return;
  float W, H, mm, ratio;
  SupportValues(W, H, mm, ratio);
  KelViewport* viewport =
      main->CreateViewportFrom(0.5f * W, 0.5f * H, 0.5f * W, 0.5f * H, W, H, mm, ratio);
  if (auto* rectangle = dynamic_cast<Kel2DViewport*>(viewport))
    rectangle->GetParameter(&xmin, &xmax, &ymin, &ymax);
}

Kelpoint2f Kel2DViewer::GetPixelCoordinates(const Kelpoint2f& model) const {
  Kelpoint2f pixel;
  if (Kel2DViewpoint* main = GetMain2DViewpoint()) {
    float W, H, mm, ratio;
    SupportValues(W, H, mm, ratio);
    main->ComputePixelFromModel(model, pixel, W, H, mm, ratio);
  }
  return pixel;
}

Kelpoint2f Kel2DViewer::GetModelCoordinates(const Kelpoint2f& pixel) const {
  Kelpoint2f model;
  if (Kel2DViewpoint* main = GetMain2DViewpoint()) {
    float W, H, mm, ratio;
    SupportValues(W, H, mm, ratio);
    main->ComputeModelFromPixel(pixel.x, pixel.y, model, W, H, mm, ratio);
  }
  return model;
}

// ---- Paths

void Kel2DViewer::DrawElement(KelRepPath& path) {
  if (path.GetOverlay())
    path.SetViewpoint(GetOverlayViewpoint());
  else
    path.SetViewpoint(GetMain2DViewpoint());
  KelViewer::DrawElement(path);
}

void Kel2DViewer::UndrawElement(KelRepPath& path) {
  if (path.GetOverlay())
    path.SetViewpoint(GetOverlayViewpoint());
  else
    path.SetViewpoint(GetMain2DViewpoint());
  KelViewer::UndrawElement(path);
}

void Kel2DViewer::Draw(KelRepPath& path) {
  KelPathNotice("Draw", "DrawElement", 1);
  DrawElement(path);
}

void Kel2DViewer::Undraw(KelRepPath& path) {
  KelPathNotice("Undraw", "UndrawElement", 1);
  UndrawElement(path);
}

// ---- Scrollbars

void Kel2DViewer::ScrollExtent() {
  Kel2DViewpoint* main = GetMain2DViewpoint();
  if (!main) return;
  if (!main->GetTranslationBounds(&_xmin, &_xmax, &_ymin, &_ymax))
    main->GetBoundingBox().GetParameter(&_xmin, &_xmax, &_ymin, &_ymax);
}

void Kel2DViewer::ViewportModified(const char*, KelCallbackManager*, KelNotification*, void*,
                                   long) {
  if (!_scrollbars) return;
  float visible[2][2];
  GetViewport(visible[0][0], visible[0][1], visible[1][0], visible[1][1]);
  ScrollExtent();
  const float extent[2][2] = {{_xmin, _xmax}, {_ymin, _ymax}};
  KelDlgScrollBar* bars[2] = {_horizontalScrollbar, _verticalScrollbar};
  for (int axis = 0; axis < 2; ++axis) {
    const double vmin = visible[axis][0], vmax = visible[axis][1];
    const double emin = extent[axis][0], emax = extent[axis][1];
    int position = 0, size = kRange;
    // A flat or empty extent is shown whole: it has no length to scroll.
    const bool whole =
        (vmin < emin && vmax > emax) || !(emax - emin > 0.0) || !std::isfinite(emax - emin);
    if (!whole) {
      const double a = kRange / (emax - emin);
      position = Truncated(a * vmin - a * emin);
      size = Truncated((vmax - vmin) * a);
      if (axis == 1) position = kRange - (position + size);
      if (position < 0) {
        size = position + size >= 6 ? position + size : 5;
        position = 0;
      }
      if (position + size >= kRange) {
        size = kRange - position;
        if (size <= 5) {
          size = 5;
          position = kRange - 5;
        }
      }
    }
    _lastPosition[axis] = position;
    bars[axis]->SetPosition(position);
    bars[axis]->SetBoxSize(std::max(size, 1));
  }
}

void Kel2DViewer::Scroll(KelCommand*, KelNotification* notification, void* axisData) {
  auto* moved = dynamic_cast<KelDlgNotification*>(notification);
  if (!moved || !_scrollbars) return;
  const int axis = reinterpret_cast<std::intptr_t>(axisData) ? 1 : 0;
  int delta = static_cast<int>(moved->GetValue()) - _lastPosition[axis];
  if (axis == 1) delta = -delta;
  float range[2][2];
  GetViewport(range[0][0], range[0][1], range[1][0], range[1][1]);
  ScrollExtent();
  const float length = axis == 0 ? _xmax - _xmin : _ymax - _ymin;
  const float shift = static_cast<float>(delta) * length / kRange;
  range[axis][0] += shift;
  range[axis][1] += shift;
  ReframeOn(range[0][0], range[0][1], range[1][0], range[1][1]);
}

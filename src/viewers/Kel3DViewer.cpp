#include <kel/viewers/Kel3DViewer.h>

#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelNotification.h>
#include <kel/manipulators/Kel3DIndicator.h>
#include <kel/reps/KelRepPath.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

#include <cmath>

#include "KelPathNotice.h"

KEL_IMPLEMENT_META(Kel3DViewer, KelViewer)

const char* Kel3DViewer::NAVIGATION_GROUND_CHANGE() {
  return "NAVIGATION_GROUND_CHANGE";
}

Kel3DViewer::Kel3DViewer(KelDialog* father, const KelString& name, unsigned long style, int size1,
                         int size2, unsigned long flags)
    : KelViewer(father, name, style, size1, size2, flags),
      _vertical(Keldirection3f::Unchecked(0.0f, 0.0f, 1.0f)),
      _north(Keldirection3f::Unchecked(0.0f, 1.0f, 0.0f)) {
  if (Kel3DViewpoint* main = GetMain3DViewpoint()) {
    _backgroundIndicator3D =
        new Kel3DIndicator(this, KelString("BackgroundViewerIndicator"), *main);
    SetBackgroundIndicator(_backgroundIndicator3D);
  }
}

Kel3DViewer::~Kel3DViewer() {
  if (GetBackgroundIndicator() == _backgroundIndicator3D) SetBackgroundIndicator(nullptr);
  delete _backgroundIndicator3D;
  for (Kel3DViewpoint*& entry : _history) {
    delete entry;
    entry = nullptr;
  }
}

// ---- Reps and viewpoint

void Kel3DViewer::AddRep(Kel3DRep* rep) {
  if (Kel3DViewpoint* main = GetMain3DViewpoint()) main->AddRep(rep);
}
void Kel3DViewer::RemoveRep(Kel3DRep* rep) {
  if (Kel3DViewpoint* main = GetMain3DViewpoint()) main->RemoveRep(rep);
}
void Kel3DViewer::AddRepFurtive(Kel3DRep* rep) {
  if (Kel3DViewpoint* main = GetMain3DViewpoint()) main->AddFurtiveRep(rep);
}
void Kel3DViewer::RemoveRepFurtive(Kel3DRep* rep) {
  if (Kel3DViewpoint* main = GetMain3DViewpoint()) main->RemoveFurtiveRep(rep);
}

Kel3DViewpoint* Kel3DViewer::GetViewpoint() const {
  return GetMain3DViewpoint();
}

Kel3DBoundingSphere Kel3DViewer::GetGlobalBoundingSphere() const {
  Kel3DViewpoint* main = GetMain3DViewpoint();
  return main ? main->GetBoundingSphere() : Kel3DBoundingSphere();
}

void Kel3DViewer::SetViewpoint(const Kel3DViewpoint& viewpoint, int bracket) {
  Kel3DViewpoint* main = GetMain3DViewpoint();
  if (!main) return;
  if (bracket) main->BeginModification();
  *main = viewpoint;
  if (bracket) main->EndModification();
  Draw();
}

void Kel3DViewer::SetGround(const Keldirection3f& vertical, const Keldirection3f& north) {
  _vertical = vertical;
  _north = north;
  if (Kel3DViewpoint* main = GetMain3DViewpoint()) {
    main->SetVertical(vertical);
    main->SetGravityDirection(vertical);
  }
  KelNotification changed;
  GetCallbackManager()->DispatchCallbacks(NAVIGATION_GROUND_CHANGE(), &changed, nullptr);
}

void Kel3DViewer::Reframe() {
  Kel3DViewpoint* main = GetMain3DViewpoint();
  KelGraphicWindow* window = GetGraphicWindow();
  if (!main || !window) return;
  float width = 0.0f, height = 0.0f;
  window->GetWidthAndHeight(width, height);
  main->Reframe(width, height, window->GetMMInSupportUnit(), window->GetRatioWH());
}

// ---- Paths

void Kel3DViewer::DrawElement(KelRepPath& path) {
  if (path.GetOverlay())
    path.SetViewpoint(GetOverlayViewpoint());
  else
    path.SetViewpoint(GetMain3DViewpoint());
  KelViewer::DrawElement(path);
}

void Kel3DViewer::UndrawElement(KelRepPath& path) {
  if (path.GetOverlay())
    path.SetViewpoint(GetOverlayViewpoint());
  else
    path.SetViewpoint(GetMain3DViewpoint());
  KelViewer::UndrawElement(path);
}

void Kel3DViewer::Draw(KelRepPath& path) {
  KelPathNotice("Draw", "DrawElement", 0);
  DrawElement(path);
}

void Kel3DViewer::Undraw(KelRepPath& path) {
  KelPathNotice("Undraw", "UndrawElement", 0);
  UndrawElement(path);
}

// ---- Zoom steps

void Kel3DViewer::ZoomStep(float factor) {
  Kel3DViewpoint* main = GetMain3DViewpoint();
  if (!main) return;
  const float f = main->GetFocusDistance();
  const float d = f * (factor - 1.0f);
  main->BeginModification();
  main->SetFocus(f + d);
  main->SetOrigin(main->GetOrigin() - main->GetSightDirection().AsVector() * d);
  main->EndModification();
}

void Kel3DViewer::ZoomIn() {
  ZoomStep(std::sqrt(2.0f));
}

void Kel3DViewer::ZoomOut() {
  ZoomStep(1.0f / std::sqrt(2.0f));
}

// ---- Support settings

int Kel3DViewer::IsFogOn() const {
  return GetGraphicWindow() ? GetGraphicWindow()->IsFogOn() : 0;
}
void Kel3DViewer::SetFogMode(int mode) {
  if (KelGraphicWindow* window = GetGraphicWindow()) window->SetFogMode(mode);
}
void Kel3DViewer::SetPolygonDrawingMode(int mode) {
  if (KelGraphicWindow* window = GetGraphicWindow()) window->SetPolygonDrawingMode(mode);
}
void Kel3DViewer::AddClippingPlane(const float* point, const float* normal) {
  if (KelGraphicWindow* window = GetGraphicWindow()) window->AddClippingPlane(point, normal);
}
void Kel3DViewer::RemoveClippingPlane() {
  if (KelGraphicWindow* window = GetGraphicWindow()) window->RemoveClippingPlane();
}

// ---- History

void Kel3DViewer::SaveViewpoint() {
  Kel3DViewpoint* main = GetMain3DViewpoint();
  if (!main) return;
  if (_historyBack > 0) {
    // The entries ahead of the shown one give way to the new one.
    const int last = (_historyLast - _historyBack + HistorySize) % HistorySize;
    for (int k = 1; k <= _historyBack; ++k) {
      Kel3DViewpoint*& entry = _history[(last + k) % HistorySize];
      delete entry;
      entry = nullptr;
    }
    _historyCount -= _historyBack;
    _historyLast = last;
    _historyBack = 0;
  }
  _historyLast = (_historyLast + 1) % HistorySize;
  Kel3DViewpoint*& slot = _history[_historyLast];
  if (_historyCount == HistorySize && slot) {
    *slot = *main;
  } else {
    delete slot;
    slot = new Kel3DViewpoint(*main);
    ++_historyCount;
  }
}

int Kel3DViewer::IsPreviousViewpoint() const {
  return _historyBack < _historyCount - 1 ? 1 : 0;
}

int Kel3DViewer::IsNextViewpoint() const {
  return _historyBack > 0 ? 1 : 0;
}

void Kel3DViewer::DisplayPreviousViewpoint() {
  if (_historyCount == 0) return;
  if (_historyBack != _historyCount - 1) ++_historyBack;
  ShowHistoryEntry();
}

void Kel3DViewer::DisplayNextViewpoint() {
  if (_historyCount == 0) return;
  if (_historyBack != 0) --_historyBack;
  ShowHistoryEntry();
}

void Kel3DViewer::ShowHistoryEntry() {
  Kel3DViewpoint* main = GetMain3DViewpoint();
  Kel3DViewpoint* entry = _history[(_historyLast - _historyBack + HistorySize) % HistorySize];
  if (!main || !entry) return;
  _historyRecording = 0;
  *main = *entry;
  _historyRecording = 1;
}

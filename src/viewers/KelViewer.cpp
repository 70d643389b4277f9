#include <kel/controller/KelVisuController.h>
#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelDlgCheckItem.h>
#include <kel/framework/KelDlgConstants.h>
#include <kel/framework/KelDlgContextualMenu.h>
#include <kel/framework/KelDlgDialog.h>
#include <kel/framework/KelDlgMotif.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/framework/KelMarshal.h>
#include <kel/framework/KelRecord.h>
#include <kel/manipulators/KelIndicator.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/navigation/KelViewpointEditor.h>
#include <kel/render/KelDriver.h>
#include <kel/reps/KelLightSourceSet.h>
#include <kel/reps/KelLightSourceSetRep.h>
#include <kel/reps/KelRep.h>
#include <kel/viewers/GetTimeInMilliseconds.h>
#include <kel/viewers/KelColorMap.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelKeyboardDevice.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMotionEvent.h>
#include <kel/viewers/KelMouseDevice.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelPressEvent.h>
#include <kel/viewers/KelReleaseEvent.h>
#include <kel/viewers/KelResizeEvent.h>
#include <kel/viewers/KelUpdateEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewers/KelViewerEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

KEL_IMPLEMENT_META(KelViewer, KelDlgFrame)

list<KelViewer*> KelViewer::_viewers;
int KelViewer::_viewerCursor = 0;
KelViewer* KelViewer::_currentViewer = nullptr;

namespace {

// Trace levels of "RECORD_TRACE": its first character.
const int TraceHeaders = '1';
const int TraceDetails = '2';

// Window coordinates and sizes read back from a recording: X has 16-bit
// coordinates, so anything beyond is damage.
const float MaxCoordinate = 65535.0f;

bool IsCoordinate(float v) {
  return std::isfinite(v) && std::fabs(v) <= MaxCoordinate;
}
bool IsSize(float v) {
  return std::isfinite(v) && v >= 1.0f && v <= MaxCoordinate;
}

// Time stamps are 32-bit milliseconds held in an unsigned long.
unsigned Stamp32(unsigned long stamp) {
  return static_cast<unsigned>(static_cast<std::uint32_t>(stamp));
}

KelDevice* DeviceOf(KelNotification* event) {
  if (!event) return nullptr;
  if (event->IsAKindOf("KelPressEvent")) return static_cast<KelPressEvent*>(event)->GetDevice();
  if (event->IsAKindOf("KelReleaseEvent")) return static_cast<KelReleaseEvent*>(event)->GetDevice();
  if (event->IsAKindOf("KelMotionEvent")) return static_cast<KelMotionEvent*>(event)->GetDevice();
  return nullptr;
}

KelPickPath EmptyPath() {
  return KelPickPath(static_cast<KelViewpoint*>(nullptr));
}

}  // namespace

const char* KelViewer::GENERAL_MODIFIERS_MODIFIED() {
  return "GENERAL_MODIFIERS_MODIFIED";
}
const char* KelViewer::VIEWER_UPDATE() {
  return "VIEWER_UPDATE";
}
const char* KelViewer::VIEWER_SELECTED() {
  return "VIEWER_SELECTED";
}

// ---- Construction

KelViewer::KelViewer(KelDialog* father, const KelString& name, unsigned long style, int size1,
                     int size2, unsigned long flags)
    : KelDlgFrame(father, name, style),
      _callbackManager(new KelCallbackManager),
      _creationFlags(flags),
      _currentPath(static_cast<KelViewpoint*>(nullptr)) {
  _viewers.Append(this);
  _drawingArea = new KelDlgMotif(this, "MotifObject", 0, 1, 1, size1, size2);
  _contextualMenu = new KelDlgContextualMenu(this, "context", KelDlgPopupOnButton3);
  AddAnalyseNotificationCB(_contextualMenu, KelDlgNotification::DLG_VISIBILITY(),
                           &KelViewer::InterpretContextEvent, nullptr);
  AddAnalyseNotificationCB(_drawingArea, KelDlgNotification::DLG_CREATE(), &KelViewer::Create,
                           nullptr);
  UpdateLayout();
  _graphicWindow = createGraphicWindow(size1, size2);
  if (_graphicWindow) _graphicWindow->SetComponent(this);
  SetModelWindowSL(KelLightSourceSet(Keldirection3f(-1.0f, 1.0f, 1.0f)));
}

KelViewer::~KelViewer() {
  if (_fullScreen) {
    _fullScreen = 0;
    _drawingArea->Reparent(this);
    delete _fullScreenDialog;
    _fullScreenDialog = nullptr;
  }
  _viewers.Remove(this);
  KelVisuController::ForgetViewer(this);
  if (_graphicWindow) {
    RemoveCallback(_graphicWindow, _updateCallback);
    RemoveCallback(_graphicWindow, _deviceCallback);
    KelViewpoint* viewpoints[3] = {GetOverlayViewpoint(), GetMain2DViewpoint(),
                                   GetMain3DViewpoint()};
    for (int i = 0; i < 3; ++i)
      if (viewpoints[i])
        RemoveCallback(viewpoints[i]->GetCallbackManager(), _viewpointCallbacks[i]);
  }
  RemoveAnalyseNotificationCB(_contextualMenu, KelDlgNotification::DLG_VISIBILITY());
  RemoveAnalyseNotificationCB(_drawingArea, KelDlgNotification::DLG_CREATE());
  RemoveAnalyseNotificationCB(_drawingArea, KelDlgNotification::DLG_RESIZE());
  if (_currentViewer == this) _currentViewer = nullptr;
  // Every manipulator that may still hold this viewer forgets it: those the
  // devices drive or point at (a release preactivates the one under the
  // cursor while another stays plugged), the indicators and the ones kept
  // for automatic activation.
  list<KelManipulator*> holders;
  for (int i = 0; i < _devices.Count(); ++i) {
    holders.AppendUnique(_devices[i]->GetPlugedManip());
    holders.AppendUnique(_devices[i]->GetPointedManip());
  }
  holders.AppendUnique(_backgroundIndicator);
  holders.AppendUnique(_foregroundIndicator);
  holders.AppendUnique(_manipulatorToActive);
  holders.AppendUnique(_previousPointedManipulator);
  for (int i = 0; i < holders.Count(); ++i)
    if (holders[i]) holders[i]->DereferenceViewer(this);
  DeleteCurrentEvents();
  DeleteDevices();
  ResetLastPick();
  delete _callbackManager;
  _callbackManager = nullptr;
  // The window destroys its widget before the drawing area destroys the
  // frame around it.
  delete _graphicWindow;
  _graphicWindow = nullptr;
  delete _modelWindowLights;
  _modelWindowLights = nullptr;
}

void KelViewer::Create(KelCommand*, KelNotification* notification, void*) {
  if (_created) return;
  _created = 1;
  AddAnalyseNotificationCB(_drawingArea, KelDlgNotification::DLG_RESIZE(), &KelViewer::ResizeWindow,
                           nullptr);
  if (!_graphicWindow) return;
  _updateCallback = AddCallback(_graphicWindow, KelGraphicWindow::GRAPHICWINDOW_UPDATE(),
                                &KelViewer::InterpretUpdate, nullptr);
  _deviceCallback = AddCallback(_graphicWindow, KelGraphicWindow::DEVICE_ACTION(),
                                &KelViewer::InterpretDeviceEvent, nullptr);
  KelViewpoint* viewpoints[3] = {GetOverlayViewpoint(), GetMain2DViewpoint(), GetMain3DViewpoint()};
  for (int i = 0; i < 3; ++i)
    _viewpointCallbacks[i] =
        AddCallback(viewpoints[i]->GetCallbackManager(), KelViewpoint::VIEWPOINT_MODIFIED(),
                    &KelViewer::ViewpointModified, nullptr);
  _graphicWindow->Create(_drawingArea->GetFatherWidget());
  // The creation tells the size the layout gave: the window takes it (and a
  // recording writes it) before the viewpoints are framed on it.
  auto* created = dynamic_cast<KelDlgNotification*>(notification);
  if (created && created->GetWidth() > 0 && created->GetHeight() > 0)
    ResizeWindow(_drawingArea, notification, nullptr);
  _graphicWindow->InitViewpoints();
  InitializeGlobalAmbientLight(0.3f, 0.3f, 0.3f);
  InitializeDevices();
  SetPreselectModeOn();
}

void KelViewer::InitializeDevices() {
  if (!_graphicWindow) return;
  DeleteCurrentEvents();
  _devices = _graphicWindow->GetDevices();
  InitializeCurrentEvents();
  for (int i = 0; i < _devices.Count(); ++i) _devices[i]->SetViewer(this);
  SetViewpointEditor(_viewpointEditor);
}

void KelViewer::InitializeCurrentEvents() {
  for (int i = 0; i < _devices.Count(); ++i) {
    KelDevice* device = _devices[i];
    KelDeviceEvent* deviceEvent = nullptr;
    if (device->IsAKindOf("KelMouseDevice"))
      deviceEvent = new KelMouseEvent;
    else if (device->IsAKindOf("KelKeyboardDevice"))
      deviceEvent = new KelKeyboardEvent;
    if (!deviceEvent) continue;
    auto* event = new KelViewerEvent(deviceEvent);
    event->SetViewer(this);
    event->SetDevice(device);
    device->SetCurrentEvent(event);
  }
}

void KelViewer::DeleteCurrentEvents() {
  for (int i = 0; i < _devices.Count(); ++i) {
    KelViewerEvent* event = _devices[i]->GetCurrentEvent();
    if (!event || event->GetViewer() != this) continue;
    _devices[i]->SetCurrentEvent(nullptr);
    delete event->GetDeviceEvent();
    delete event;
  }
}

void KelViewer::DeleteDevices() {
  if (_viewpointEditor) {
    KelViewpointEditor* editor = _viewpointEditor;
    _viewpointEditor = nullptr;
    KelViewerEvent end;
    end.SetViewer(this);
    editor->EndActivate(&end);
    editor->SetViewer(nullptr);
    editor->RequestDelayedDestruction();
  }
  _devices.Clear();
}

// ---- Class list

void KelViewer::InitViewerClassList() {
  _viewerCursor = 0;
}

KelViewer* KelViewer::GetNextClassElement() {
  return _viewerCursor < _viewers.Count() ? _viewers[_viewerCursor++] : nullptr;
}

KelViewer* KelViewer::GetCurrentViewer() {
  return _currentViewer;
}

int KelViewer::GetRecordTraceLevel() {
  return KelRecord::GetTraceLevel();
}

// ---- Drawing

void KelViewer::Draw() {
  if (_graphicWindow) _graphicWindow->DrawRequest();
}

void KelViewer::ImmediateDraw() {
  if (!_graphicWindow) return;
  _graphicWindow->Draw();
  _graphicWindow->DoSwap();
}

void KelViewer::Reframe() {}

void KelViewer::DrawElement(KelRepPath& path) {
  if (_graphicWindow) _graphicWindow->DrawRepPath(path);
}
void KelViewer::UndrawElement(KelRepPath& path) {
  if (_graphicWindow) _graphicWindow->UnDrawRepPath(path);
}
void KelViewer::DrawElement(list<KelRepPath*>& paths) {
  if (_graphicWindow) _graphicWindow->DrawRepPath(paths);
}
void KelViewer::UndrawElement(list<KelRepPath*>& paths) {
  if (_graphicWindow) _graphicWindow->UnDrawRepPath(paths);
}

void KelViewer::LockDraw() {
  std::printf(" -- KelViewer::LockDraw() method will diseappear -- \n");
  std::printf(" -- you can remove it from your code -> lock is  -- \n");
  std::printf(" -- done automatically                           -- \n");
}

void KelViewer::UnlockDraw() {
  std::printf(" -- KelViewer::UnlockDraw() method will diseappear -- \n");
  std::printf(" -- you can remove it from your code -> lock is  -- \n");
  std::printf(" -- done automatically                           -- \n");
}

void KelViewer::AddBackGroundViewpoint(KelViewpoint* viewpoint) {
  if (_graphicWindow) _graphicWindow->AddViewpoint(viewpoint, 0);
}
void KelViewer::AddForeGroundViewpoint(KelViewpoint* viewpoint) {
  if (_graphicWindow) _graphicWindow->AddViewpoint(viewpoint, 1);
}
void KelViewer::RemoveViewpoint(KelViewpoint* viewpoint) {
  if (_graphicWindow) _graphicWindow->RemoveViewpoint(viewpoint);
}

Kel3DViewpoint* KelViewer::GetMain3DViewpoint() const {
  return _graphicWindow ? _graphicWindow->GetMain3DViewpoint() : nullptr;
}
Kel2DViewpoint* KelViewer::GetMain2DViewpoint() const {
  return _graphicWindow ? _graphicWindow->GetMain2DViewpoint() : nullptr;
}
KelOverlayViewpoint* KelViewer::GetOverlayViewpoint() const {
  return _graphicWindow ? _graphicWindow->GetOverlayViewpoint() : nullptr;
}

void KelViewer::AddRepOverlay(Kel2DRep* rep) {
  if (KelOverlayViewpoint* o = GetOverlayViewpoint()) o->AddRep(rep);
}
void KelViewer::RemoveRepOverlay(Kel2DRep* rep) {
  if (KelOverlayViewpoint* o = GetOverlayViewpoint()) o->RemoveRep(rep);
}
void KelViewer::AddRepFurtiveOverlay(Kel2DRep* rep) {
  if (KelOverlayViewpoint* o = GetOverlayViewpoint()) o->AddFurtiveRep(rep);
}
void KelViewer::RemoveRepFurtiveOverlay(Kel2DRep* rep) {
  if (KelOverlayViewpoint* o = GetOverlayViewpoint()) o->RemoveFurtiveRep(rep);
}

void KelViewer::SetModelWindowSL(const KelLightSourceSet& lights) {
  if (!_modelWindowLights) {
    _modelWindowLights = new KelLightSourceSet;
    KelLightSourceSetRep* rep = _modelWindowLights->BuildRep();
    if (Kel3DViewpoint* main = GetMain3DViewpoint()) main->AddRep(rep);
  }
  *_modelWindowLights = lights;
  _modelWindowLights->BuildRep();
}

void KelViewer::SetBackgroundColor(float r, float g, float b) {
  // Entry 253 (the default colour of lines and texts) contrasts with the
  // background: its intensity and luminance in 0..255, weighted 1 to 3.
  const int intensity = static_cast<int>((255.0 * r + 255.0 * g + 255.0 * b) / 3.0);
  const int luminance = static_cast<int>(0.30 * 255.0 * r + 0.59 * 255.0 * g + 0.11 * 255.0 * b);
  if (!_graphicWindow) return;
  if (KelColorMap* map = _graphicWindow->GetColorMap()) {
    if ((25 * intensity + 75 * luminance) / 100 < 100)
      map->SetColor(253, 1.0f, 1.0f, 1.0f);
    else
      map->SetColor(253, 0.0f, 0.0f, 0.0f);
  }
  _graphicWindow->SetBackgroundColor(r, g, b);
}

void KelViewer::GetBackgroundColor(float* r, float* g, float* b) const {
  if (_graphicWindow) _graphicWindow->GetBackgroundColor(r, g, b);
}
void KelViewer::InitializeGlobalAmbientLight(float r, float g, float b) {
  if (_graphicWindow) _graphicWindow->InitializeGlobalAmbientLight(r, g, b);
}
void KelViewer::SetGlobalAmbientLight(float r, float g, float b) {
  if (_graphicWindow) _graphicWindow->SetGlobalAmbientLight(r, g, b);
}
void KelViewer::GetGlobalAmbientLight(float* r, float* g, float* b) const {
  if (_graphicWindow) _graphicWindow->GetGlobalAmbientLight(r, g, b);
}
KelColorMap* KelViewer::GetKelColormap() const {
  return _graphicWindow ? _graphicWindow->GetColorMap() : nullptr;
}
void KelViewer::SetMesh(int on) {
  if (_graphicWindow) _graphicWindow->SetMesh(on);
}
void KelViewer::SetOutLine(int on) {
  if (_graphicWindow) _graphicWindow->SetOutLine(on);
}
void KelViewer::SetEdge(int on) {
  if (_graphicWindow) _graphicWindow->SetEdge(on);
}
float KelViewer::GetMMInSupportUnit() const {
  return _graphicWindow ? _graphicWindow->GetMMInSupportUnit() : 0.0f;
}
void KelViewer::GetGraphicSize(float* width, float* height) const {
  float w = 0.0f, h = 0.0f;
  if (_graphicWindow) _graphicWindow->GetWidthAndHeight(w, h);
  if (width) *width = w;
  if (height) *height = h;
}
void KelViewer::GetMousePosition(int* x, int* y) const {
  if (_graphicWindow) _graphicWindow->GetMousePosition(x, y);
}
KelPixelImage* KelViewer::GrabPixelImage() {
  return _graphicWindow ? _graphicWindow->GrabPixelImage() : nullptr;
}
KelPixelImage* KelViewer::GrabPixelImage(int x, int y, int width, int height) {
  return _graphicWindow ? _graphicWindow->GrabPixelImage(x, y, width, height) : nullptr;
}
int KelViewer::IsStereoAvailable() const {
  return _graphicWindow ? _graphicWindow->IsStereoAvailable() : 0;
}
int KelViewer::IsStereoActivate(int* mode, float* eyeDistance) const {
  return _graphicWindow ? _graphicWindow->IsStereoActivate(mode, eyeDistance) : 0;
}
void KelViewer::ActivateStereoMode(int mode, float eyeDistance) {
  if (_graphicWindow) _graphicWindow->ActivateStereoMode(mode, eyeDistance);
}
void KelViewer::DeactivateStereoMode() {
  if (_graphicWindow) _graphicWindow->DeactivateStereoMode();
}
void KelViewer::GenerateUpdateEvent() {
  if (_graphicWindow) _graphicWindow->GenerateUpdateEvent();
}

float KelViewer::GetLastUpdateDuration() const {
  return LastUpdateTotalDuration;
}

void KelViewer::GetLastUpdateDuration(float& total, float& culling, float& draw) const {
  total = LastUpdateTotalDuration;
  culling = LastUpdateCullingDuration;
  draw = LastUpdateDrawDuration;
}

// ---- Conversions

void KelViewer::GetViewpointCoordinatesFromPixel(Kelpoint3f& P, Kelpoint3f& Q,
                                                 const KelViewpoint& viewpoint, float x,
                                                 float y) const {
  if (!_graphicWindow) return;
  float width = 0.0f, height = 0.0f;
  _graphicWindow->GetWidthAndHeight(width, height);
  viewpoint.ComputeModelFromPixel(x, y, P, Q, width, height, _graphicWindow->GetMMInSupportUnit(),
                                  _graphicWindow->GetRatioWH());
}

void KelViewer::ComputeModelFromDeviceEvent(Kelpoint3f& P, Kelpoint3f& Q, KelViewpoint& viewpoint,
                                            KelDeviceEvent& event) const {
  if (!event.IsAKindOf("KelMouseEvent")) return;
  const Kelpoint2f& p = static_cast<KelMouseEvent&>(event).GetPosition();
  GetViewpointCoordinatesFromPixel(P, Q, viewpoint, p.x, p.y);
}

// ---- Picking

void KelViewer::ResetLastPick() {
  _lastPick.Reset();
  _pickIndex = 0;
}

void KelViewer::Pick(float x, float y, KelPickPathList& pickList) {
  pickList.Reset();
  if (_graphicWindow) _graphicWindow->Pick(x, y, pickList);
  pickList += *new KelPickPath(static_cast<KelViewpoint*>(nullptr));
  _lastPick.Reset();
  const list<KelPickPath*>& paths = pickList.GetPickPathList();
  for (int i = 0; i < paths.Count(); ++i) _lastPick += *new KelPickPath(*paths[i]);
  _pickIndex = 0;
}

void KelViewer::CopyRotatedPick(KelPickPathList& pickList, int first) {
  const list<KelPickPath*>& paths = _lastPick.GetPickPathList();
  const int n = paths.Count();
  pickList.Reset();
  for (int i = 0; i < n; ++i) pickList += *new KelPickPath(*paths[(first + i) % n]);
}

void KelViewer::IncrementPick(float x, float y, KelPickPathList& pickList, int step) {
  if (step == 0) {
    Pick(x, y, pickList);
    return;
  }
  const int n = _lastPick.GetPathCount();
  // Nothing picked yet: nothing to show.
  if (n == 0) return;
  if (step == -1) {
    // The index stays within the candidates, the empty entry excluded (with
    // nothing hit there is nothing to move to).
    if (_pickIndex >= n - 2) return;
    ++_pickIndex;
    CopyRotatedPick(pickList, _pickIndex);
  } else if (step == 1) {
    if (_pickIndex == -1) return;
    if (_pickIndex > 0) {
      --_pickIndex;
      CopyRotatedPick(pickList, _pickIndex);
    } else {
      // The empty entry first, then the candidates.
      _pickIndex = -1;
      CopyRotatedPick(pickList, n - 1);
    }
  }
}

int KelViewer::GetPickWindowSize() const {
  return _graphicWindow ? _graphicWindow->GetPickWindowSize() : 0;
}

KelManipulator* KelViewer::ChooseManipulator(KelPickPathList& pickList, KelPickPath& path) {
  if (_foregroundIndicator) {
    path = EmptyPath();
    _currentPath = path;
    return _foregroundIndicator;
  }
  const list<KelPickPath*>& paths = pickList.GetPickPathList();
  for (int i = 0; i < paths.Count(); ++i) {
    KelPickPath* entry = paths[i];
    if (!entry) continue;
    if (entry->Size() == 0) {
      if (!_backgroundIndicator) continue;
      path = EmptyPath();
      _currentPath = path;
      return _backgroundIndicator;
    }
    entry->InitToLeafRep();
    while (KelRep* rep = entry->NextFatherRep()) {
      KelManipulator* manipulator = rep->GetManipulator();
      if (!manipulator) continue;
      // The Rep that carries the manipulator, not the leaf hit.
      entry->SetManipulatedRep(entry->GetCursorPosition());
      path = *entry;
      _currentPath = *entry;
      return manipulator;
    }
  }
  return nullptr;
}

// ---- Events

void KelViewer::InterpretDeviceEvent(const char*, KelCallbackManager*, KelNotification* event,
                                     void*, long) {
  KelDevice* device = DeviceOf(event);
  if (!device || !_devices.Contains(device)) return;
  _currentViewer = this;
  KelRecord* record = KelRecord::GetMain();
  if (record->GetMode() == 2) return;
  if (record->GetMode() == 1) record->SaveState(this, event);
  InterpretViewerSelected(event);
  device->InterpretDeviceEvent(event, this);
}

void KelViewer::InterpretViewerSelected(KelNotification* event) {
  if (!event || !event->IsAKindOf("KelPressEvent")) return;
  KelDevice* device = static_cast<KelPressEvent*>(event)->GetDevice();
  if (device && device->IsAKindOf("KelPointingDevice"))
    _callbackManager->DispatchCallbacks(VIEWER_SELECTED(), nullptr, nullptr);
}

void KelViewer::InterpretContextEvent(KelCommand* sender, KelNotification* notification,
                                      void* data) {
  auto* shown = dynamic_cast<KelDlgNotification*>(notification);
  if (!shown) return;
  // The menu is live input: a replay has its own.
  if (KelRecord::GetMain()->GetMode() == 2) return;
  if (shown->GetVisibility() == KelDlgShown)
    _callbackManager->DispatchCallbacks(VIEWER_SELECTED(), nullptr, nullptr);
  list<KelDevice*> devices = _devices;
  for (int i = 0; i < devices.Count(); ++i)
    if (devices[i]->IsAKindOf("KelMouseDevice"))
      static_cast<KelMouseDevice*>(devices[i])->InterpretContextEvent(sender, notification, data);
}

void KelViewer::DispatchViewerUpdate(unsigned long timeStamp) {
  KelViewerEvent event;
  event.SetTimeStamp(timeStamp);
  event.SetViewer(this);
  _callbackManager->DispatchCallbacks(VIEWER_UPDATE(), &event, nullptr);
}

void KelViewer::InterpretUpdate(const char*, KelCallbackManager*, KelNotification* event, void*,
                                long) {
  KelRecord* record = KelRecord::GetMain();
  if (record->GetMode() == 2) {
    record->RestoreState();
    ReplayGoesOn();
    return;
  }
  if (record->GetMode() == 1) record->SaveState(this, event);
  if (!event || !event->IsAKindOf("KelUpdateEvent")) return;
  const auto* update = static_cast<KelUpdateEvent*>(event);
  LastUpdateTotalDuration = update->GetTotalDuration();
  LastUpdateCullingDuration = update->GetCullingDuration();
  LastUpdateDrawDuration = update->GetDrawDuration();
  DispatchViewerUpdate(update->GetTimeStamp());
}

void KelViewer::ReplayGoesOn() {
  // One record per frame: the next frame hands the next record, and the
  // first live frame after the last one reports as usual.
  Draw();
}

void KelViewer::ViewpointModified(const char*, KelCallbackManager*, KelNotification*, void*, long) {
  Draw();
}

void KelViewer::ResizeWindow(KelCommand*, KelNotification* notification, void*) {
  auto* resized = dynamic_cast<KelDlgNotification*>(notification);
  if (!resized || !_graphicWindow) return;
  KelRecord* record = KelRecord::GetMain();
  if (record->GetMode() == 2) {
    record->RestoreState();
    ReplayGoesOn();
    return;
  }
  const float width = static_cast<float>(resized->GetWidth());
  const float height = static_cast<float>(resized->GetHeight());
  if (record->GetMode() == 1) {
    KelResizeEvent event;
    event.SetSize(width, height);
    event.SetTimeStamp(GetTimeStampInMilliseconds());
    record->SaveState(this, &event);
  }
  _graphicWindow->ResizeWindow(width, height);
}

void KelViewer::SetGeneralModifiers(int modifiers, KelViewerEvent* event) {
  _generalModifiers = modifiers;
  KelDeviceEvent* deviceEvent = event ? event->GetDeviceEvent() : nullptr;
  if (deviceEvent) deviceEvent->SetModifiers(modifiers);
  _callbackManager->DispatchCallbacks(GENERAL_MODIFIERS_MODIFIED(), deviceEvent, nullptr);
}

int KelViewer::GetGeneralModifiers() const {
  return _generalModifiers;
}

void KelViewer::ReceiveKeyEvent(KelKeyboardEvent& event) {
  list<KelDevice*> devices = _devices;
  for (int i = 0; i < devices.Count(); ++i)
    if (devices[i]->IsAKindOf("KelMouseDevice"))
      static_cast<KelMouseDevice*>(devices[i])->ReceiveKeyEvent(event);
}

void KelViewer::SetPreselectModeOn() {
  for (int i = 0; i < _devices.Count(); ++i)
    if (_devices[i]->IsAKindOf("KelPointingDevice"))
      static_cast<KelPointingDevice*>(_devices[i])->SetPreselectModeOn();
}
void KelViewer::SetPreselectModeOff() {
  for (int i = 0; i < _devices.Count(); ++i)
    if (_devices[i]->IsAKindOf("KelPointingDevice"))
      static_cast<KelPointingDevice*>(_devices[i])->SetPreselectModeOff();
}
void KelViewer::SetDebugModeOn() {
  for (int i = 0; i < _devices.Count(); ++i)
    if (_devices[i]->IsAKindOf("KelPointingDevice"))
      static_cast<KelPointingDevice*>(_devices[i])->SetDebugModeOn();
}
void KelViewer::SetDebugModeOff() {
  for (int i = 0; i < _devices.Count(); ++i)
    if (_devices[i]->IsAKindOf("KelPointingDevice"))
      static_cast<KelPointingDevice*>(_devices[i])->SetDebugModeOff();
}

void KelViewer::SetDefaultCursor() {
  _cursorType = 0;
  if (_graphicWindow) _graphicWindow->SetCursorType(0);
}

int KelViewer::SetManipulatingCursor(int type) {
  const int previous = _cursorType;
  _cursorType = type;
  if (_graphicWindow) _graphicWindow->SetCursorType(type);
  return previous;
}

void KelViewer::SetPointingCursor() {
  SetDefaultCursor();
}

// ---- Manipulator relay

int KelViewer::Preactivate(KelManipulator* manipulator, KelDevice* device) {
  if (!manipulator || !device) return 0;
  _interactiveState = 1;
  return manipulator->Preactivate(device->GetCurrentEvent(), nullptr);
}

int KelViewer::Move(KelManipulator* manipulator, KelDevice* device) {
  if (!manipulator || !device) return 0;
  return manipulator->Move(device->GetCurrentEvent(), nullptr);
}

int KelViewer::EndPreactivate(KelManipulator* manipulator, KelDevice* device) {
  if (!manipulator || !device) return 0;
  _interactiveState = 0;
  return manipulator->EndPreactivate(device->GetCurrentEvent(), nullptr);
}

int KelViewer::Activate(KelManipulator* manipulator, KelDevice* device) {
  if (!device || !device->IsAKindOf("KelPointingDevice")) return 0;
  EndActivate(manipulator, device);
  if (!manipulator || manipulator != device->GetPointedManip()) return 0;
  _interactiveState = 2;
  device->SetPlugedManip(manipulator);
  if (!manipulator->Activate(device->GetCurrentEvent(), nullptr)) return 0;
  device->SetPointedManip(nullptr);
  for (int i = 0; i < _devices.Count(); ++i) {
    KelDevice* other = _devices[i];
    if (other == device || other->IsAKindOf("KelPointingDevice")) continue;
    if (other->IsLocked()) {
      if (other->GetPlugedManip() == manipulator) {
        other->SetLockState(DEVICE_UNLOCKED);
        other->SetPointedManip(manipulator);
      }
    } else {
      other->SetPointedManip(manipulator);
      if (other->IsUsed() && other->GetPlugedManip() && other->GetPlugedManip() != manipulator)
        other->SetLockState(DEVICE_LOCKED);
    }
  }
  return 1;
}

int KelViewer::BeginManipulate(KelManipulator* manipulator, KelDevice* device) {
  if (!manipulator || !device) return 0;
  return manipulator->BeginManipulate(device->GetCurrentEvent(), nullptr);
}

int KelViewer::Manipulate(KelManipulator* manipulator, KelDevice* device) {
  if (!manipulator || !device) return 0;
  _interactiveState = 3;
  return manipulator->Manipulate(device->GetCurrentEvent(), nullptr);
}

int KelViewer::EndManipulate(KelManipulator* manipulator, KelDevice* device) {
  if (!manipulator || !device) return 0;
  _interactiveState = 0;
  return manipulator->EndManipulate(device->GetCurrentEvent(), nullptr);
}

int KelViewer::EndActivate(KelManipulator*, KelDevice* device) {
  KelManipulator* plugged = device ? device->GetPlugedManip() : nullptr;
  if (!plugged) return 1;
  const int answer = plugged->EndActivate(device->GetCurrentEvent(), nullptr);
  device->SetPlugedManip(nullptr);
  return answer;
}

int KelViewer::Context(KelManipulator* manipulator, KelDevice* device) {
  if (!manipulator || !device) return 0;
  _interactiveState = 4;
  if (_fullScreen && !_fullScreenItem) {
    // Full screen has no other way back than this item.
    _fullScreenItem = new KelDlgCheckItem(_contextualMenu, "FullScreen");
    AddAnalyseNotificationCB(_fullScreenItem, KelDlgNotification::DLG_MODIFY(),
                             static_cast<void (KelViewer::*)(KelCommand*, KelNotification*, void*)>(
                                 &KelViewer::UnsetFullScreen),
                             nullptr);
  }
  return manipulator->Context(device->GetCurrentEvent(), nullptr);
}

int KelViewer::EndContext(KelManipulator* manipulator, KelDevice* device) {
  if (!manipulator || !device) return 0;
  _interactiveState = 0;
  return manipulator->EndContext(device->GetCurrentEvent(), nullptr);
}

int KelViewer::Edit(KelManipulator* manipulator, KelDevice* device) {
  if (!manipulator || !device) return 0;
  _interactiveState = 5;
  const int answer = manipulator->Edit(device->GetCurrentEvent(), nullptr);
  _interactiveState = 0;
  return answer;
}

// ---- Automatic activation

KelMouseDevice* KelViewer::GetMouseDevice() const {
  for (int i = 0; i < _devices.Count(); ++i)
    if (_devices[i]->IsAKindOf("KelMouseDevice")) return static_cast<KelMouseDevice*>(_devices[i]);
  return nullptr;
}

void KelViewer::SetManipulatorToActive(KelManipulator* manipulator) {
  _manipulatorToActive = manipulator;
  if (_interactiveState != 2) return;
  if (KelMouseDevice* mouse = GetMouseDevice())
    _previousPointedManipulator = mouse->GetPointedManip();
}

void KelViewer::RemoveManipulatorToActive() {
  _manipulatorToActive = nullptr;
  if (_interactiveState != 2) return;
  for (int i = 0; i < _devices.Count(); ++i)
    if (_devices[i]->IsAKindOf("KelMouseDevice") && !_devices[i]->GetPointedManip())
      _devices[i]->SetPointedManip(_previousPointedManipulator);
}

void KelViewer::CheckAutomaticBehavior() {
  KelManipulator* manipulator = _manipulatorToActive;
  if (!manipulator) return;
  _manipulatorToActive = nullptr;
  KelMouseDevice* mouse = GetMouseDevice();
  if (_interactiveState != 2 || !mouse) return;
  KelManipulator* plugged = mouse->GetPlugedManip();
  if (!plugged || plugged == manipulator || plugged->GetInteractiveState() != 3) return;
  KelViewerEvent* event = mouse->GetCurrentEvent();
  plugged->EndManipulate(event, nullptr);
  EndActivate(plugged, mouse);
  mouse->SetPointedManip(manipulator);
  manipulator->Preactivate(event, nullptr);
  mouse->DoPick(0);
  Activate(manipulator, mouse);
  manipulator->BeginManipulate(event, nullptr);
  mouse->InvalidPick();
}

void KelViewer::UnreferenceManipulator(KelManipulator* manipulator) {
  if (!manipulator) return;
  for (int i = 0; i < _devices.Count(); ++i) {
    KelDevice* device = _devices[i];
    if (device->GetPlugedManip() == manipulator) {
      device->SetPlugedManip(nullptr);
      device->SetLockState(DEVICE_UNLOCKED);
    }
    if (device->GetPointedManip() == manipulator) device->SetPointedManip(nullptr);
  }
  if (_manipulatorToActive == manipulator) _manipulatorToActive = nullptr;
  if (_previousPointedManipulator == manipulator) _previousPointedManipulator = nullptr;
  if (_backgroundIndicator == manipulator) _backgroundIndicator = nullptr;
  if (_foregroundIndicator == manipulator) _foregroundIndicator = nullptr;
}

void KelViewer::SetViewpointEditor(KelViewpointEditor* editor) {
  KelViewerEvent event;
  event.SetViewer(this);
  if (_viewpointEditor && _viewpointEditor != editor) _viewpointEditor->EndActivate(&event);
  _viewpointEditor = editor;
  if (!editor) return;
  editor->SetViewer(this);
  editor->Activate(&event);
}

// ---- Full screen and layout

void KelViewer::SetFullScreen() {
  if (_fullScreen) return;
  // Under the viewer rather than its window: the drawing area's
  // notifications (its resizes) still reach the viewer, and the dialog
  // holding the drawing area cannot die before the viewer.
  _fullScreenDialog = new KelDlgDialog(this, GetName(), KelDlgFullScreenDialog);
  auto* placeholder = new KelDlgPushButton(_fullScreenDialog, "xxx");
  placeholder->AttachOnSides();
  _fullScreenDialog->SetVisibility(KelDlgShown);
  _drawingArea->Reparent(_fullScreenDialog);
  placeholder->ResetAttachments();
  placeholder->RequestDelayedDestruction();
  _drawingArea->AttachOnSides();
  _fullScreenDialog->SetFullScreen();
  _fullScreen = 1;
}

void KelViewer::SetNormalWindowSize() {
  if (!_fullScreen) return;
  _fullScreen = 0;
  _drawingArea->Reparent(this);
  UpdateLayout();
  if (_fullScreenDialog) _fullScreenDialog->RequestDelayedDestruction();
  _fullScreenDialog = nullptr;
  if (_fullScreenItem) {
    RemoveAnalyseNotificationCB(_fullScreenItem, KelDlgNotification::DLG_MODIFY());
    _fullScreenItem->RequestDelayedDestruction();
    _fullScreenItem = nullptr;
  }
}

void KelViewer::UnsetFullScreen(KelCommand*, KelNotification*, void*) {
  SetNormalWindowSize();
}

void KelViewer::UnsetFullScreen() {
  SetNormalWindowSize();
}

int KelViewer::IsFullScreen() const {
  return _fullScreen;
}

void KelViewer::AddIconFrame(KelDlgFrame* frame) {
  if (!frame) return;
  for (int i = 0; i < _iconFrameCount; ++i)
    if (_iconFrames[i] == frame) return;
  if (_iconFrameCount == MaxIconFrames) {
    std::fprintf(stderr, "KelViewer::AddIconFrame: no room for more than %d icon frames.\n",
                 MaxIconFrames);
    return;
  }
  _iconFrames[_iconFrameCount++] = frame;
  UpdateLayout();
}

int KelViewer::IsIconFrame() const {
  return 0;
}
void KelViewer::ShowIconFrame() {}
void KelViewer::HideIconFrame() {}

void KelViewer::UpdateLayout() {
  _drawingArea->ResetAttachments();
  for (int i = 0; i < _iconFrameCount; ++i) _iconFrames[i]->ResetAttachments();
  if (_iconFrameCount > 0 && _iconFramesShown) {
    for (int i = 0; i < _iconFrameCount; ++i) {
      _iconFrames[i]->SetVisibility(KelDlgShown);
      _iconFrames[i]->SetHorizontalAttachment(_tabLeft, KelDlgAttachTab);
    }
    // One under the other; the drawing area spans them all.
    for (int i = 0; i < _iconFrameCount; ++i)
      _iconFrames[i]->SetVerticalAttachment(_tabTop + i, KelDlgAttachTab);
    _drawingArea->SetHorizontalAttachment(2, KelDlgAttachTab, _tabRight, KelDlgAttachStretch);
    _drawingArea->SetVerticalAttachment(_tabTop, KelDlgAttachTab,
                                        std::max(_tabBottom, _tabTop + _iconFrameCount),
                                        KelDlgAttachStretch);
  } else {
    for (int i = 0; i < _iconFrameCount; ++i) _iconFrames[i]->SetVisibility(KelDlgHidden);
    _drawingArea->SetHorizontalAttachment(_tabLeft, KelDlgAttachTab, _tabRight,
                                          KelDlgAttachStretch);
    _drawingArea->SetVerticalAttachment(_tabTop, KelDlgAttachTab, _tabBottom, KelDlgAttachStretch);
  }
}

// ---- Record and replay

KelDevice* KelViewer::FindDevice(const char* className) const {
  for (int i = 0; i < _devices.Count(); ++i)
    if (std::string(_devices[i]->IsA()) == className) return _devices[i];
  return nullptr;
}

void KelViewer::TraceHeader(int save, const char* eventClass) const {
  if (GetRecordTraceLevel() < TraceHeaders) return;
  if (save)
    std::printf("/RECORD/ SaveState    KelViewer            /Command Name/ %s /Notification/ %s\n",
                GetName().CastToCharPtr(), eventClass);
  else
    std::printf("/REPLAY/ RestoreState KelViewer            /Command Name/ %s /Notification/ %s\n",
                GetName().CastToCharPtr(), eventClass);
  std::fflush(stdout);
}

int KelViewer::SaveState(KelNotification* event, KelMarshal& marshal) {
  if (!event) return 1;
  const bool details = GetRecordTraceLevel() >= TraceDetails;
  const char* eventClass = event->IsA();
  if (event->IsAKindOf("KelMotionEvent")) {
    const auto* motion = static_cast<KelMotionEvent*>(event);
    const char* device = motion->GetDevice() ? motion->GetDevice()->IsA() : "";
    marshal.WriteString(device);
    marshal.WriteUnsignedLong(motion->GetTimeStamp());
    marshal.WriteFloat(motion->GetX());
    marshal.WriteFloat(motion->GetY());
    TraceHeader(1, eventClass);
    if (details)
      std::printf("/RECORD/ SaveState                         device= %s x,y= %f,%f time=%u\n",
                  device, motion->GetX(), motion->GetY(), Stamp32(motion->GetTimeStamp()));
  } else if (event->IsAKindOf("KelPressEvent") || event->IsAKindOf("KelReleaseEvent")) {
    KelDevice* d;
    int button;
    if (event->IsAKindOf("KelPressEvent")) {
      d = static_cast<KelPressEvent*>(event)->GetDevice();
      button = static_cast<KelPressEvent*>(event)->GetButton();
    } else {
      d = static_cast<KelReleaseEvent*>(event)->GetDevice();
      button = static_cast<KelReleaseEvent*>(event)->GetButton();
    }
    const char* device = d ? d->IsA() : "";
    const unsigned long stamp = static_cast<KelTimeStampedEvent*>(event)->GetTimeStamp();
    marshal.WriteString(device);
    marshal.WriteUnsignedLong(stamp);
    marshal.WriteInt(button);
    TraceHeader(1, eventClass);
    if (details)
      std::printf("/RECORD/ SaveState                         device= %s button= %d time=%u\n",
                  device, button, Stamp32(stamp));
  } else if (event->IsAKindOf("KelUpdateEvent")) {
    // The durations of the frame before this one: the viewer's as they stand.
    const unsigned long stamp = static_cast<KelUpdateEvent*>(event)->GetTimeStamp();
    marshal.WriteUnsignedLong(stamp);
    marshal.WriteFloat(LastUpdateTotalDuration);
    marshal.WriteFloat(LastUpdateCullingDuration);
    marshal.WriteFloat(LastUpdateDrawDuration);
    TraceHeader(1, eventClass);
    if (details) {
      std::printf(
          "/RECORD/ SaveState                         LastUpdateTotalDuration= %f "
          "LastUpdateCullingDuration= %f\n",
          LastUpdateTotalDuration, LastUpdateCullingDuration);
      std::printf(
          "/RECORD/ SaveState                         LastUpdateDrawDuration= %f time= %u\n",
          LastUpdateDrawDuration, Stamp32(stamp));
    }
  } else if (event->IsAKindOf("KelResizeEvent")) {
    const auto* resize = static_cast<KelResizeEvent*>(event);
    marshal.WriteFloat(resize->GetWidth());
    marshal.WriteFloat(resize->GetHeight());
    TraceHeader(1, eventClass);
    if (details)
      std::printf("/RECORD/ SaveState                         width= %f height= %f\n",
                  resize->GetWidth(), resize->GetHeight());
  } else {
    return 2;
  }
  std::fflush(stdout);
  return 0;
}

int KelViewer::RestoreState(const char* eventClass, KelMarshal& marshal) {
  const std::string kind = eventClass ? eventClass : "";
  const bool details = GetRecordTraceLevel() >= TraceDetails;
  if (kind == "KelMotionEvent" || kind == "KelPressEvent" || kind == "KelReleaseEvent") {
    std::string deviceName;
    unsigned long stamp = 0;
    float x = 0.0f, y = 0.0f;
    int button = 0;
    marshal.ReadString(deviceName);
    marshal.ReadUnsignedLong(stamp);
    const bool motion = kind == "KelMotionEvent";
    if (motion) {
      marshal.ReadFloat(x);
      marshal.ReadFloat(y);
    } else {
      marshal.ReadInt(button);
    }
    // A damaged record: the service says so.
    if (marshal.GetError()) return 0;
    TraceHeader(0, kind.c_str());
    if (details) {
      if (motion)
        std::printf("/REPLAY/ RestoreState                      device= %s x,y= %f,%f time=%u\n",
                    deviceName.c_str(), x, y, Stamp32(stamp));
      else
        std::printf("/REPLAY/ RestoreState                      device= %s button= %d time=%u\n",
                    deviceName.c_str(), button, Stamp32(stamp));
      std::fflush(stdout);
    }
    if (motion && (!IsCoordinate(x) || !IsCoordinate(y))) {
      std::fprintf(stderr,
                   "KelViewer::RestoreState: a motion to (%g, %g) lies off any window; the "
                   "record is dropped.\n",
                   x, y);
      return 0;
    }
    KelDevice* device = FindDevice(deviceName.c_str());
    if (!device) {
      std::fprintf(stderr,
                   "KelViewer::RestoreState: viewer \"%s\" has no device \"%s\"; the %s record "
                   "is dropped.\n",
                   GetName().CastToCharPtr(), deviceName.c_str(), kind.c_str());
      return 0;
    }
    KelTimeStampedEvent* event;
    if (motion)
      event = new KelMotionEvent(device, stamp, x, y);
    else if (kind == "KelPressEvent")
      event = new KelPressEvent(device, stamp, button);
    else
      event = new KelReleaseEvent(device, stamp, button);
    _currentViewer = this;
    InterpretViewerSelected(event);
    device->InterpretDeviceEvent(event, this);
    ImmediateDraw();
    delete event;
    return 0;
  }
  if (kind == "KelUpdateEvent") {
    unsigned long stamp = 0;
    float total = 0.0f, culling = 0.0f, draw = 0.0f;
    marshal.ReadUnsignedLong(stamp);
    marshal.ReadFloat(total);
    marshal.ReadFloat(culling);
    marshal.ReadFloat(draw);
    if (marshal.GetError()) return 0;
    TraceHeader(0, kind.c_str());
    if (details) {
      std::printf(
          "/REPLAY/ RestoreState                      LastUpdateTotalDuration= %f "
          "LastUpdateCullingDuration= %f\n",
          total, culling);
      std::printf(
          "/REPLAY/ RestoreState                      LastUpdateDrawDuration= %f time= %u\n", draw,
          Stamp32(stamp));
      std::fflush(stdout);
    }
    LastUpdateTotalDuration = total;
    LastUpdateCullingDuration = culling;
    LastUpdateDrawDuration = draw;
    DispatchViewerUpdate(stamp);
    return 0;
  }
  if (kind == "KelResizeEvent") {
    float width = 0.0f, height = 0.0f;
    marshal.ReadFloat(width);
    marshal.ReadFloat(height);
    if (marshal.GetError()) return 0;
    TraceHeader(0, kind.c_str());
    if (details) {
      std::printf("/REPLAY/ RestoreState                      width= %f height= %f\n", width,
                  height);
      std::fflush(stdout);
    }
    if (!IsSize(width) || !IsSize(height)) {
      std::fprintf(stderr,
                   "KelViewer::RestoreState: a window of %g x %g pixels cannot be; the record "
                   "is dropped.\n",
                   width, height);
      return 0;
    }
    if (_graphicWindow) _graphicWindow->ResizeWindow(width, height);
    return 0;
  }
  return 4;
}

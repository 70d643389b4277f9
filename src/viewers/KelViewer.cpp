#include <kel/viewers/KelViewer.h>

#include <kel/framework/KelCallbackManager.h>

KEL_IMPLEMENT_META(KelViewer, KelDlgFrame)

list<KelViewer*> KelViewer::_viewers;
int KelViewer::_viewerCursor = 0;
KelViewer* KelViewer::_currentViewer = nullptr;

const char* KelViewer::GENERAL_MODIFIERS_MODIFIED() {
  return "GENERAL_MODIFIERS_MODIFIED";
}
const char* KelViewer::VIEWER_UPDATE() {
  return "VIEWER_UPDATE";
}
const char* KelViewer::VIEWER_SELECTED() {
  return "VIEWER_SELECTED";
}

KelViewer::KelViewer(KelDialog* father, const KelString& name, unsigned long style, int, int,
                     unsigned long flags)
    : KelDlgFrame(father, name, style),
      _callbackManager(new KelCallbackManager),
      _creationFlags(flags),
      _currentPath(static_cast<KelViewpoint*>(nullptr)) {
  _viewers.Append(this);
}

KelViewer::~KelViewer() {
  _viewers.Remove(this);
  if (_currentViewer == this) _currentViewer = nullptr;
  delete _callbackManager;
}

void KelViewer::InitViewerClassList() {
  _viewerCursor = 0;
}
KelViewer* KelViewer::GetNextClassElement() {
  return _viewerCursor < _viewers.Count() ? _viewers[_viewerCursor++] : nullptr;
}
KelViewer* KelViewer::GetCurrentViewer() {
  return _currentViewer;
}

int KelViewer::SaveState(KelNotification*, KelMarshal&) {
  return 2;
}
int KelViewer::RestoreState(const char*, KelMarshal&) {
  return 4;
}
void KelViewer::Draw() {}
void KelViewer::Reframe() {}
void KelViewer::DrawElement(KelRepPath&) {}
void KelViewer::UndrawElement(KelRepPath&) {}
void KelViewer::SetPreselectModeOn() {}
void KelViewer::SetPreselectModeOff() {}
KelManipulator* KelViewer::ChooseManipulator(KelPickPathList&, KelPickPath&) {
  return nullptr;
}
void KelViewer::SetViewpointEditor(KelViewpointEditor* editor) {
  _viewpointEditor = editor;
}
int KelViewer::Preactivate(KelManipulator*, KelDevice*) {
  return 0;
}
int KelViewer::Move(KelManipulator*, KelDevice*) {
  return 0;
}
int KelViewer::EndPreactivate(KelManipulator*, KelDevice*) {
  return 0;
}
int KelViewer::Activate(KelManipulator*, KelDevice*) {
  return 0;
}
int KelViewer::BeginManipulate(KelManipulator*, KelDevice*) {
  return 0;
}
int KelViewer::Manipulate(KelManipulator*, KelDevice*) {
  return 0;
}
int KelViewer::EndManipulate(KelManipulator*, KelDevice*) {
  return 0;
}
int KelViewer::EndActivate(KelManipulator*, KelDevice*) {
  return 1;
}
int KelViewer::Context(KelManipulator*, KelDevice*) {
  return 0;
}
int KelViewer::EndContext(KelManipulator*, KelDevice*) {
  return 0;
}
int KelViewer::Edit(KelManipulator*, KelDevice*) {
  return 0;
}
void KelViewer::SetDefaultCursor() {}
int KelViewer::SetManipulatingCursor(int type) {
  const int previous = _cursorType;
  _cursorType = type;
  return previous;
}
void KelViewer::SetPointingCursor() {}
void KelViewer::ReceiveKeyEvent(KelKeyboardEvent&) {}
void KelViewer::SetGeneralModifiers(int modifiers, KelViewerEvent*) {
  _generalModifiers = modifiers;
}
int KelViewer::GetGeneralModifiers() const {
  return _generalModifiers;
}
int KelViewer::IsIconFrame() const {
  return 0;
}
void KelViewer::SetFullScreen() {}
void KelViewer::SetNormalWindowSize() {}
int KelViewer::IsFullScreen() const {
  return _fullScreen;
}
void KelViewer::SetBackgroundColor(float, float, float) {}
float KelViewer::GetLastUpdateDuration() const {
  return LastUpdateTotalDuration;
}
void KelViewer::GetLastUpdateDuration(float& total, float& culling, float& draw) const {
  total = LastUpdateTotalDuration;
  culling = LastUpdateCullingDuration;
  draw = LastUpdateDrawDuration;
}
void KelViewer::InitializeCurrentEvents() {}
void KelViewer::DeleteCurrentEvents() {}
void KelViewer::InterpretDeviceEvent(const char*, KelCallbackManager*, KelNotification*, void*,
                                     long) {}
void KelViewer::InterpretUpdate(const char*, KelCallbackManager*, KelNotification*, void*, long) {}
void KelViewer::UnsetFullScreen(KelCommand*, KelNotification*, void*) {}
void KelViewer::UpdateLayout() {}
void KelViewer::Create(KelCommand*, KelNotification*, void*) {}
void KelViewer::InitializeDevices() {}
void KelViewer::DeleteDevices() {}
void KelViewer::ImmediateDraw() {}
void KelViewer::DrawElement(list<KelRepPath*>&) {}
void KelViewer::UndrawElement(list<KelRepPath*>&) {}
void KelViewer::LockDraw() {}
void KelViewer::UnlockDraw() {}
void KelViewer::AddBackGroundViewpoint(KelViewpoint*) {}
void KelViewer::AddForeGroundViewpoint(KelViewpoint*) {}
void KelViewer::RemoveViewpoint(KelViewpoint*) {}
Kel3DViewpoint* KelViewer::GetMain3DViewpoint() const {
  return nullptr;
}
Kel2DViewpoint* KelViewer::GetMain2DViewpoint() const {
  return nullptr;
}
KelOverlayViewpoint* KelViewer::GetOverlayViewpoint() const {
  return nullptr;
}
void KelViewer::AddRepOverlay(Kel2DRep*) {}
void KelViewer::RemoveRepOverlay(Kel2DRep*) {}
void KelViewer::AddRepFurtiveOverlay(Kel2DRep*) {}
void KelViewer::RemoveRepFurtiveOverlay(Kel2DRep*) {}
void KelViewer::SetModelWindowSL(const KelLightSourceSet&) {}
void KelViewer::GetBackgroundColor(float*, float*, float*) const {}
void KelViewer::InitializeGlobalAmbientLight(float, float, float) {}
void KelViewer::SetGlobalAmbientLight(float, float, float) {}
void KelViewer::GetGlobalAmbientLight(float*, float*, float*) const {}
KelColorMap* KelViewer::GetKelColormap() const {
  return nullptr;
}
void KelViewer::SetMesh(int) {}
void KelViewer::SetOutLine(int) {}
void KelViewer::SetEdge(int) {}
float KelViewer::GetMMInSupportUnit() const {
  return 0.0f;
}
void KelViewer::GetGraphicSize(float*, float*) const {}
void KelViewer::GetMousePosition(int*, int*) const {}
KelPixelImage* KelViewer::GrabPixelImage() {
  return nullptr;
}
KelPixelImage* KelViewer::GrabPixelImage(int, int, int, int) {
  return nullptr;
}
int KelViewer::IsStereoAvailable() const {
  return 0;
}
int KelViewer::IsStereoActivate(int*, float*) const {
  return 0;
}
void KelViewer::ActivateStereoMode(int, float) {}
void KelViewer::DeactivateStereoMode() {}
void KelViewer::GenerateUpdateEvent() {}
void KelViewer::GetViewpointCoordinatesFromPixel(Kelpoint3f&, Kelpoint3f&, const KelViewpoint&,
                                                 float, float) const {}
void KelViewer::ComputeModelFromDeviceEvent(Kelpoint3f&, Kelpoint3f&, KelViewpoint&,
                                            KelDeviceEvent&) const {}
void KelViewer::Pick(float, float, KelPickPathList&) {}
void KelViewer::IncrementPick(float, float, KelPickPathList&, int) {}
int KelViewer::GetPickWindowSize() const {
  return 0;
}
void KelViewer::InterpretViewerSelected(KelNotification*) {}
void KelViewer::InterpretContextEvent(KelCommand*, KelNotification*, void*) {}
void KelViewer::ViewpointModified(const char*, KelCallbackManager*, KelNotification*, void*, long) {
}
void KelViewer::ResizeWindow(KelCommand*, KelNotification*, void*) {}
void KelViewer::SetDebugModeOn() {}
void KelViewer::SetDebugModeOff() {}
void KelViewer::SetManipulatorToActive(KelManipulator* m) {
  _manipulatorToActive = m;
}
void KelViewer::RemoveManipulatorToActive() {
  _manipulatorToActive = nullptr;
}
void KelViewer::CheckAutomaticBehavior() {}
void KelViewer::UnreferenceManipulator(KelManipulator*) {}
void KelViewer::AddIconFrame(KelDlgFrame*) {}
void KelViewer::ShowIconFrame() {}
void KelViewer::HideIconFrame() {}
void KelViewer::UnsetFullScreen() {}
int KelViewer::GetRecordTraceLevel() {
  return 0;
}
KelDevice* KelViewer::FindDevice(const char*) const {
  return nullptr;
}
KelMouseDevice* KelViewer::GetMouseDevice() const {
  return nullptr;
}
void KelViewer::CopyRotatedPick(KelPickPathList&, int) {}
void KelViewer::ResetLastPick() {}
void KelViewer::DispatchViewerUpdate(unsigned long) {}
void KelViewer::ReplayGoesOn() {}
void KelViewer::TraceHeader(int, const char*) const {}

#include <kel/aids/Kel2DDashboardRep.h>
#include <kel/aids/Kel3DVisibilityPopup.h>
#include <kel/aids/KelEditPanelPopup.h>
#include <kel/aids/KelGaugeRep.h>
#include <kel/aids/KelPopup.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelDlgCheckButton.h>
#include <kel/framework/KelDlgCombo.h>
#include <kel/framework/KelDlgConstants.h>
#include <kel/framework/KelDlgFrame.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/navigation/Kel3DMouse.h>
#include <kel/navigation/KelBasic3DViewpointEditor.h>
#include <kel/navigation/KelNavigation3DViewer.h>
#include <kel/navigation/KelViewpointIndicator.h>
#include <kel/reps/Kel3DAxisRep.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelMouseDevice.h>
#include <kel/viewers/KelPressEvent.h>
#include <kel/viewers/KelReleaseEvent.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "KelViewpointHistoryGate.h"

KEL_IMPLEMENT_META(KelNavigation3DViewer, Kel3DViewer)

#ifndef KEL_ICON_DIR
#define KEL_ICON_DIR "icons"
#endif
#ifndef KEL_LIB_TO_ICONS
#define KEL_LIB_TO_ICONS "../share/kelvis/icons"
#endif

// clang-format off
const char* KelNavigation3DViewer::NAVIGATION_WALK_ACTIVATED() { return "NAVIGATION_WALK_ACTIVATED"; }
const char* KelNavigation3DViewer::NAVIGATION_FLY_ACTIVATED() { return "NAVIGATION_FLY_ACTIVATED"; }
const char* KelNavigation3DViewer::NAVIGATION_TURN_AROUND_ACTIVATED() { return "NAVIGATION_TURN_AROUND_ACTIVATED"; }
const char* KelNavigation3DViewer::NAVIGATION_GROUND_ACTIVATED() { return "NAVIGATION_GROUND_ACTIVATED"; }
const char* KelNavigation3DViewer::NAVIGATION_GROUND_DEACTIVATED() { return "NAVIGATION_GROUND_DEACTIVATED"; }
const char* KelNavigation3DViewer::NAVIGATION_PERFO_ACTIVATED() { return "NAVIGATION_PERFO_ACTIVATED"; }
const char* KelNavigation3DViewer::NAVIGATION_PERFO_DEACTIVATED() { return "NAVIGATION_PERFO_DEACTIVATED"; }
const char* KelNavigation3DViewer::NAVIGATION_SENSITIVITY_CHANGED() { return "NAVIGATION_SENSITIVITY_CHANGED"; }
const char* KelNavigation3DViewer::NAVIGATION_VIEWPOINT_ACTION_ENDED() { return "NAVIGATION_VIEWPOINT_ACTION_ENDED"; }
const char* KelNavigation3DViewer::NAVIGATION_LIGHT_SOURCES_EDITOR_ON_OFF() { return "NAVIGATION_LIGHT_SOURCES_EDITOR_ON_OFF"; }
// clang-format on

namespace {

void* Data(intptr_t value) {
  return reinterpret_cast<void*>(value);
}

void Place(KelDialog* dialog, int row) {
  dialog->SetHorizontalAttachment(1, KelDlgAttachTab);
  dialog->SetVerticalAttachment(row, KelDlgAttachTab);
}

template <class D>
D* Control(KelDialog* frame, const char* name, const char* title, const char* icon, int row) {
  D* control = new D(frame, KelString(name));
  control->SetTitle(KelString(title));
  if (icon)
    control->SetIconName(KelString(
        (std::string(KelNavigation3DViewer::GetIconDirectory()) + "/" + icon + ".xpm").c_str()));
  Place(control, row);
  return control;
}

// The single-action mode of each action button.
const KelBasic3DViewpointEditorMode kActionModes[5] = {ROTATE_MODE, LOOK_AT_MODE, TRANSLATE_MODE,
                                                       ZOOM_MODE, TURN_HEAD_MODE};

// The axis board: arrows of this length (screen millimetres), their origin
// this many pixels in from the bottom left corner.
const int kAxisMM = 8;
const float kAxisCorner = 45.0f;

// The default editor's mode of each navigation style.
const KelBasic3DViewpointEditorMode kStyleModes[3] = {EXAMINE_MODE, WALK_MODE, FLY_MODE};

}  // namespace

const char* KelNavigation3DViewer::GetIconDirectory() {
  // An installed library finds the icons installed beside it, wherever the
  // prefix was moved; the build tree's library uses the source tree's.
  static const std::string directory = [] {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&KelNavigation3DViewer::GetIconDirectory), &info) &&
        info.dli_fname) {
      std::string library(info.dli_fname);
      const std::size_t slash = library.rfind('/');
      const std::string installed =
          (slash == std::string::npos ? std::string(".") : library.substr(0, slash)) + "/" +
          KEL_LIB_TO_ICONS;
      if (access(installed.c_str(), R_OK | X_OK) == 0) return installed;
    }
    return std::string(KEL_ICON_DIR);
  }();
  return directory.c_str();
}

KelNavigation3DViewer::KelNavigation3DViewer(KelDialog* father, const KelString& name,
                                             unsigned long style, const int size1, const int size2,
                                             const unsigned long flags)
    : Kel3DViewer(father, name, style, size1, size2, flags) {
  InitNavigationFrame(this);
  Create(nullptr, nullptr, nullptr);
}

KelNavigation3DViewer::~KelNavigation3DViewer() {
  RemoveCallback(GetCallbackManager(), _mouseCallback);
  delete _mouse;
  _mouse = nullptr;
  StopViewpointManipulation();
  // An editor installed over the default one gave it back to this viewer.
  if (_defaultEditor && GetViewpointEditor() != _defaultEditor) delete _defaultEditor;
  _defaultEditor = nullptr;
  RemoveDashboard();
  RemoveAxisboard();
  if (KelGraphicWindow* window = GetGraphicWindow()) RemoveCallback(window, _resizeCallback);
  if (_gauges) {
    RemoveCallback(GetCallbackManager(), _gaugeCallback);
    RemoveRepOverlay(_gauges);
    _gauges->Destroy();
  }
  if (_ground) {
    RemoveRep(_ground);
    _ground->Destroy();
  }
  KelPopup** popups[2] = {&_visibilityPopup, &_lightPopup};
  long callbacks[2] = {_visibilityCallback, _lightCallback};
  for (int i = 0; i < 2; ++i)
    if (KelPopup* popup = *popups[i]) {
      RemoveCallback(popup->GetCallbackManager(), callbacks[i]);
      *popups[i] = nullptr;
      delete popup;
    }
  if (Kel3DViewpoint* main = GetMain3DViewpoint())
    for (long callback : _viewpointCallbacks) RemoveCallback(main->GetCallbackManager(), callback);
}

void KelNavigation3DViewer::InitNavigationFrame(KelDialog* father) {
  if (!father || _frames[0]) return;
  for (int i = 0; i < 4; ++i) {
    _frames[i] = new KelDlgFrame(father, KelString(("iconFrame" + std::to_string(i)).c_str()));
    AddIconFrame(_frames[i]);
  }
  _styleCombo = new KelDlgCombo(_frames[0], KelString("NavigationStyle"));
  for (const char* line : {"Examine", "Walk", "Fly"}) _styleCombo->AddLine(KelString(line));
  _styleCombo->SetSelect(0);
  Place(_styleCombo, 1);
  AddAnalyseNotificationCB(_styleCombo, KelDlgNotification::DLG_SELECT(),
                           &KelNavigation3DViewer::ChangeNavigationStyle, nullptr);

  _actionButtons[ViewpointLookAt] =
      ActionButton(_frames[1], "LookAt", "Look at", "i3n4d054", ViewpointLookAt);
  _actionButtons[ViewpointZoom] =
      ActionButton(_frames[1], "Zoom", "Zoom", "i3std011", ViewpointZoom);
  _actionButtons[ViewpointRotate] =
      ActionButton(_frames[1], "Rotate", "Rotate", "i3n4d034", ViewpointRotate);
  _actionButtons[ViewpointTranslate] =
      ActionButton(_frames[1], "Translate", "Translate", "i3n4d026", ViewpointTranslate);
  _actionButtons[ViewpointTurnHead] =
      ActionButton(_frames[1], "TurnHead", "Turn head", nullptr, ViewpointTurnHead);

  _previousButton = Control<KelDlgPushButton>(_frames[2], "Previous", "Previous", "i3n4d002", 1);
  _nextButton = Control<KelDlgPushButton>(_frames[2], "Next", "Next", "i3n4d008", 2);
  _reframeButton = Control<KelDlgPushButton>(_frames[2], "Reframe", "Reframe", "i3std019", 3);
  AddAnalyseNotificationCB(_previousButton, KelDlgNotification::DLG_ACTIVATE(),
                           &KelNavigation3DViewer::PreviousViewpoint, nullptr);
  AddAnalyseNotificationCB(_nextButton, KelDlgNotification::DLG_ACTIVATE(),
                           &KelNavigation3DViewer::NextViewpoint, nullptr);
  AddAnalyseNotificationCB(_reframeButton, KelDlgNotification::DLG_ACTIVATE(),
                           &KelNavigation3DViewer::ActivateReframe, nullptr);

  _lightButton = Control<KelDlgCheckButton>(_frames[3], "Light", "Light", "i3n4d046", 1);
  _visibilityButton =
      Control<KelDlgCheckButton>(_frames[3], "Visibility", "Visibility", "i3n4d053", 2);
  _groundButton = Control<KelDlgCheckButton>(_frames[3], "Ground", "Ground", "i3n4d052", 3);
  AddAnalyseNotificationCB(_lightButton, KelDlgNotification::DLG_MODIFY(),
                           &KelNavigation3DViewer::ActivateLight, nullptr);
  AddAnalyseNotificationCB(_visibilityButton, KelDlgNotification::DLG_MODIFY(),
                           &KelNavigation3DViewer::ActivateVisibility, nullptr);
  AddAnalyseNotificationCB(_groundButton, KelDlgNotification::DLG_MODIFY(),
                           &KelNavigation3DViewer::ActivateGround, nullptr);
  UpdateHistoryButtons();
}

KelDlgCheckButton* KelNavigation3DViewer::ActionButton(KelDialog* frame, const char* name,
                                                       const char* title, const char* icon,
                                                       ViewpointManipulationType type) {
  static const int rows[5] = {3, 1, 4, 2, 5};  // look at, zoom, rotate, translate, turn head
  auto* button = Control<KelDlgCheckButton>(frame, name, title, icon, rows[type]);
  AddAnalyseNotificationCB(button, KelDlgNotification::DLG_MODIFY(),
                           &KelNavigation3DViewer::SetViewpointManip, Data(type));
  return button;
}

void KelNavigation3DViewer::Create(KelCommand*, KelNotification*, void*) {
  Kel3DViewpoint* main = GetMain3DViewpoint();
  if (!main || _defaultEditor) return;
  _defaultEditor = new KelBasic3DViewpointEditor(KelString("3DViewerDefaultViewpointEditor"), *main,
                                                 EXAMINE_MODE);
  SetViewpointEditor(_defaultEditor);
  _sensitivityCallback = AddCallback(_defaultEditor->GetCallbackManager(),
                                     KelViewpointEditor::TRANSLATION_SENSITIVITY_CHANGED(),
                                     &KelNavigation3DViewer::SensitivityChanged, nullptr);
  _groundCallback = AddCallback(GetCallbackManager(), NAVIGATION_GROUND_CHANGE(),
                                &KelNavigation3DViewer::GroundChanged, nullptr);
  if (KelGraphicWindow* window = GetGraphicWindow())
    _resizeCallback = AddCallback(window, KelGraphicWindow::GRAPHICWINDOW_RESIZE(),
                                  &KelNavigation3DViewer::GraphicSizeChanged, nullptr);
  KelCallbackManager* camera = main->GetCallbackManager();
  _viewpointCallbacks[0] = AddCallback(camera, KelViewpoint::VIEWPOINT_ANIMATION_STARTED(),
                                       &KelNavigation3DViewer::ViewpointChanged, Data(1));
  // Data 0 is null: the dispatch's own (null) data comes instead.
  _viewpointCallbacks[1] = AddCallback(camera, KelViewpoint::VIEWPOINT_MODIFIED(),
                                       &KelNavigation3DViewer::ViewpointChanged, nullptr);
  _viewpointCallbacks[2] = AddCallback(camera, KelViewpoint::VIEWPOINT_ANIMATION_STOPED(),
                                       &KelNavigation3DViewer::ViewpointChanged, Data(-1));
  SetAxisboardOn();
  _mouse = new Kel3DMouse(this);
  _mouseCallback = AddCallback(GetCallbackManager(), VIEWER_UPDATE(),
                               &KelNavigation3DViewer::Connect3DMouse, nullptr);
}

void KelNavigation3DViewer::SetDefaultEditor(KelBasic3DViewpointEditor* editor) {
  if (!editor || editor == _defaultEditor || !_defaultEditor) return;
  const int style = GetNavigationStyle();
  RemoveCallback(_defaultEditor->GetCallbackManager(), _sensitivityCallback);
  KelBasic3DViewpointEditor* old = _defaultEditor;
  _defaultEditor = editor;
  // An editor installed over the default one stays.
  if (GetViewpointEditor() == old) SetViewpointEditor(editor);
  delete old;
  _sensitivityCallback = AddCallback(editor->GetCallbackManager(),
                                     KelViewpointEditor::TRANSLATION_SENSITIVITY_CHANGED(),
                                     &KelNavigation3DViewer::SensitivityChanged, nullptr);
  editor->SetMode(kStyleModes[style]);
}

void KelNavigation3DViewer::Dispatch(const char* event) {
  if (!GetCallbackManager()) return;
  KelNotification notification(0, event);
  GetCallbackManager()->DispatchCallbacks(event, &notification, nullptr);
}

// ---- Navigation style

int KelNavigation3DViewer::GetNavigationStyle() const {
  if (!_defaultEditor) return 0;
  switch (_defaultEditor->GetMode()) {
    case WALK_MODE:
      return 1;
    case FLY_MODE:
      return 2;
    default:
      return 0;
  }
}

void KelNavigation3DViewer::SetNavigationStyle(const int style) {
  static const char* (*const events[3])() = {NAVIGATION_TURN_AROUND_ACTIVATED,
                                             NAVIGATION_WALK_ACTIVATED, NAVIGATION_FLY_ACTIVATED};
  if (!_defaultEditor || style < 0 || style > 2) return;
  _defaultEditor->SetMode(kStyleModes[style]);
  if (_styleCombo) _styleCombo->SetSelect(style);
  Dispatch(events[style]());
}

void KelNavigation3DViewer::ChangeNavigationStyle(KelCommand*, KelNotification* notification,
                                                  void*) {
  if (auto* selected = dynamic_cast<KelDlgNotification*>(notification))
    SetNavigationStyle(static_cast<int>(selected->GetValue()));
}

// ---- Single camera actions

void KelNavigation3DViewer::SetViewpointManip(KelCommand*, KelNotification* notification,
                                              void* data) {
  auto* switched = dynamic_cast<KelDlgNotification*>(notification);
  if (!switched) return;
  auto* button = dynamic_cast<KelDlgCheckButton*>(switched->GetDialog());
  const auto type = static_cast<ViewpointManipulationType>(reinterpret_cast<intptr_t>(data));
  if (!button || type < 0 || type > 4) return;
  if (button->GetState()) {
    if (_runningButton && _runningButton != button) _runningButton->SetState(0);
    StartViewpointManipulation(type);
    _runningButton = button;
  } else if (button == _runningButton) {
    StopViewpointManipulation();
    _runningButton = nullptr;
  }
}

void KelNavigation3DViewer::StartViewpointManipulation(const ViewpointManipulationType type) {
  Kel3DViewpoint* main = GetMain3DViewpoint();
  if (!main || type < 0 || type > 4) return;
  StopViewpointManipulation();
  _actionEditor = new KelBasic3DViewpointEditor(KelString("ViewpointAction"), *main, EXAMINE_MODE);
  _actionEditor->SetMode(kActionModes[type]);
  _actionEditor->SetViewer(this);
  _savedForegroundIndicator = GetForegroundIndicator();
  _actionIndicator =
      new KelViewpointIndicator(this, KelString("ViewpointIndicator"), main, _actionEditor);
  SetForegroundIndicator(_actionIndicator);
  _indicatorAnalyser =
      AddAnalyseNotificationCB(_actionIndicator, KelManipulator::GetKelEndManipulate(),
                               &KelNavigation3DViewer::EndManipulate, nullptr);
}

void KelNavigation3DViewer::StopViewpointManipulation() {
  if (!_actionIndicator) return;
  RemoveAnalyseNotificationCB(_indicatorAnalyser);
  _indicatorAnalyser = 0;
  // The devices may still hold the indicator until its destruction: it no
  // longer reaches the editor deleted here.
  _actionIndicator->ForgetEditor();
  UnreferenceManipulator(_actionIndicator);
  _actionIndicator->RequestDelayedDestruction();
  _actionIndicator = nullptr;
  delete _actionEditor;
  _actionEditor = nullptr;
  SetForegroundIndicator(_savedForegroundIndicator);
  _savedForegroundIndicator = nullptr;
}

void KelNavigation3DViewer::EndManipulate(KelCommand*, KelNotification*, void*) {
  if (_defaultEditor && _defaultEditor->GetMode() == WALK_MODE) _defaultEditor->LockHorizontal();
  StopViewpointManipulation();
  if (_runningButton) _runningButton->SetState(0);
  _runningButton = nullptr;
  Dispatch(NAVIGATION_VIEWPOINT_ACTION_ENDED());
}

// ---- History

void KelNavigation3DViewer::UpdateHistoryButtons() {
  if (_previousButton) _previousButton->SetSensitivity(IsPreviousViewpoint());
  if (_nextButton) _nextButton->SetSensitivity(IsNextViewpoint());
}

void KelNavigation3DViewer::SaveViewpoint() {
  Kel3DViewer::SaveViewpoint();
  UpdateHistoryButtons();
}

void KelNavigation3DViewer::DisplayPreviousViewpoint() {
  Kel3DViewer::DisplayPreviousViewpoint();
  UpdateHistoryButtons();
}

void KelNavigation3DViewer::DisplayNextViewpoint() {
  Kel3DViewer::DisplayNextViewpoint();
  UpdateHistoryButtons();
}

void KelNavigation3DViewer::PreviousViewpoint(KelCommand*, KelNotification*, void*) {
  DisplayPreviousViewpoint();
}

void KelNavigation3DViewer::NextViewpoint(KelCommand*, KelNotification*, void*) {
  DisplayNextViewpoint();
}

void KelNavigation3DViewer::ActivateReframe(KelCommand*, KelNotification*, void*) {
  Reframe();
}

void KelNavigation3DViewer::Reframe() {
  Kel3DViewer::Reframe();
  Draw();
}

void KelNavigation3DViewer::ViewpointChanged(const char*, KelCallbackManager*, KelNotification*,
                                             void* data, long) {
  if (_dashboard) FeedDashboard(reinterpret_cast<intptr_t>(data) == 1);
  if (!data) ModifyAxis();
  if (!IsHistoryRecording()) return;
  if (kelnav::SaveAfterViewpointNotice(reinterpret_cast<intptr_t>(data), _animationCounter,
                                       _changedInAnimation))
    SaveViewpoint();
}

void KelNavigation3DViewer::InterpretDeviceEvent(const char* name, KelCallbackManager* publisher,
                                                 KelNotification* event, void* data,
                                                 long callback) {
  // Mouse buttons 1 to 5; a gesture runs from the first press to the last
  // release.
  auto bit = [](int button) { return button >= 1 && button <= 5 ? 1 << button : 0; };
  auto* press = dynamic_cast<KelPressEvent*>(event);
  if (press && dynamic_cast<KelMouseDevice*>(press->GetDevice())) {
    if (!_buttonsDown && bit(press->GetButton()))
      ViewpointChanged(nullptr, nullptr, nullptr, Data(1), 0);
    _buttonsDown |= bit(press->GetButton());
  }
  Kel3DViewer::InterpretDeviceEvent(name, publisher, event, data, callback);
  auto* release = dynamic_cast<KelReleaseEvent*>(event);
  if (release && _buttonsDown && dynamic_cast<KelMouseDevice*>(release->GetDevice())) {
    _buttonsDown &= ~bit(release->GetButton());
    if (!_buttonsDown) ViewpointChanged(nullptr, nullptr, nullptr, Data(-1), 0);
  }
}

// ---- Aids

void KelNavigation3DViewer::SetDashboardOn() {
  if (_dashboard || !GetMain3DViewpoint()) return;
  _dashboard = new Kel2DDashboardRep;
  FeedDashboard(1);
  AddRepOverlay(_dashboard);
  Draw();
}

void KelNavigation3DViewer::SetDashboardOff() {
  if (!_dashboard) return;
  RemoveDashboard();
  Draw();
}

void KelNavigation3DViewer::RemoveDashboard() {
  if (!_dashboard) return;
  RemoveRepOverlay(_dashboard);
  _dashboard->Destroy();
  _dashboard = nullptr;
}

void KelNavigation3DViewer::FeedDashboard(int sphere) {
  Kel3DViewpoint* main = GetMain3DViewpoint();
  if (!_dashboard || !main) return;
  float width = 0.0f, height = 0.0f;
  GetGraphicSize(&width, &height);
  _dashboard->SetGraphicSize(width, height);
  if (_defaultEditor)
    _dashboard->SetSpeeds(_defaultEditor->GetFlySpeed(),
                          KelViewpointEditor::GetTranslationSensitivity());
  if (sphere) _dashboard->SetBoundingSphere(main->GetBoundingSphere());
  _dashboard->SetVertical(GetVertical());
  _dashboard->SetNorth(GetNorth());
  _dashboard->SetViewpoint(*main);
}

void KelNavigation3DViewer::GraphicSizeChanged(const char*, KelCallbackManager*, KelNotification*,
                                               void*, long) {
  FeedDashboard(0);
  ModifyAxis();
}

void KelNavigation3DViewer::SetAxisboardOn() {
  KelGraphicWindow* window = GetGraphicWindow();
  if (_axisViewpoint || !window || !GetMain3DViewpoint()) return;
  _axisViewpoint = new Kel3DViewpoint;
  _axisViewpoint->SetProjectionType(PARALLEL_PROJECTION);
  Kel4x4Matrix frame;
  _axisRep = new Kel3DAxisRep(frame, kAxisMM, 0);
  KelGraphicAttributeSet attributes = _axisRep->GetGraphicAttributeSet();
  attributes.flags |= KelGraphicAttributeSet::NOT_PICKABLE;
  _axisRep->SetGraphicAttributeSet(attributes);
  _axisViewpoint->AddRep(_axisRep);
  ModifyAxis();
  window->AddViewpoint(_axisViewpoint, 1);
  Draw();
}

void KelNavigation3DViewer::SetAxisboardOff() {
  if (!_axisViewpoint) return;
  RemoveAxisboard();
  Draw();
}

void KelNavigation3DViewer::RemoveAxisboard() {
  if (!_axisViewpoint) return;
  if (KelGraphicWindow* window = GetGraphicWindow()) window->RemoveViewpoint(_axisViewpoint);
  _axisViewpoint->RemoveRep(_axisRep);
  _axisRep->Destroy();
  _axisRep = nullptr;
  delete _axisViewpoint;
  _axisViewpoint = nullptr;
}

void KelNavigation3DViewer::ModifyAxis() {
  Kel3DViewpoint* main = GetMain3DViewpoint();
  if (!_axisViewpoint || !main) return;
  // The axes' origin (the model's) shows kAxisCorner pixels in from the
  // bottom left corner: the camera looks at a point that far to the right
  // of and above it, from the main camera's direction.
  float width = 0.0f, height = 0.0f;
  GetGraphicSize(&width, &height);
  if (!(width > 0.0f && height > 0.0f)) width = height = 2.0f * kAxisCorner;
  const Keldirection3f s = main->GetSightDirection(), u = main->GetUpDirection();
  const float r[3] = {s.y * u.z - s.z * u.y, s.z * u.x - s.x * u.z, s.x * u.y - s.y * u.x};
  const float focus = 100.0f;
  _axisViewpoint->BeginModification();
  _axisViewpoint->SetFocus(focus);
  // Model lengths of a pixel across and up at the focus (parallel view).
  const float ratio = GetGraphicWindow() ? GetGraphicWindow()->GetRatioWH() : 1.0f;
  const float across = focus * _axisViewpoint->GetScaleFactor(width, height, 1.0f, ratio);
  const float up = focus * _axisViewpoint->GetScaleFactor(width, height, 1.0f, 1.0f);
  const float a = (0.5f * width - kAxisCorner) * across, b = (0.5f * height - kAxisCorner) * up;
  _axisViewpoint->Set(
      Kelpoint3f(-focus * s.x + a * r[0] + b * u.x, -focus * s.y + a * r[1] + b * u.y,
                 -focus * s.z + a * r[2] + b * u.z),
      s, u);
  _axisViewpoint->EndModification();
}

void KelNavigation3DViewer::DisplayPerformanceGauges() {
  if (_gauges) return;
  _gauges = new KelGaugeRep;
  AddRepOverlay(_gauges);
  _gaugeCallback = AddCallback(GetCallbackManager(), VIEWER_UPDATE(),
                               &KelNavigation3DViewer::UpdatePerformanceGauges, nullptr);
  Dispatch(NAVIGATION_PERFO_ACTIVATED());
  Draw();
}

void KelNavigation3DViewer::HidePerformanceGauges() {
  if (!_gauges) return;
  RemoveCallback(GetCallbackManager(), _gaugeCallback);
  RemoveRepOverlay(_gauges);
  _gauges->Destroy();
  _gauges = nullptr;
  Dispatch(NAVIGATION_PERFO_DEACTIVATED());
  Draw();
}

void KelNavigation3DViewer::UpdatePerformanceGauges(const char*, KelCallbackManager*,
                                                    KelNotification*, void*, long) {
  // Shown by the next frame: asking for one here would redraw for ever.
  float total = 0.0f, culling = 0.0f, draw = 0.0f;
  GetLastUpdateDuration(total, culling, draw);
  if (_gauges) _gauges->SetDuration(total, culling, draw);
}

void KelNavigation3DViewer::DisplayGround(GroundStyle style) {
  if (_ground) return;
  _ground = new KelGroundRep(GetGlobalBoundingSphere(), style, GetVertical());
  AddRep(_ground);
  if (_groundButton) _groundButton->SetState(1);
  Dispatch(NAVIGATION_GROUND_ACTIVATED());
  Draw();
}

void KelNavigation3DViewer::HideGround() {
  if (!_ground) return;
  RemoveRep(_ground);
  _ground->Destroy();
  _ground = nullptr;
  if (_groundButton) _groundButton->SetState(0);
  Dispatch(NAVIGATION_GROUND_DEACTIVATED());
  Draw();
}

void KelNavigation3DViewer::GroundChanged(const char*, KelCallbackManager*, KelNotification*, void*,
                                          long) {
  if (_ground) _ground->SetVertical(GetVertical());
  FeedDashboard(0);
  if (_ground || _dashboard) Draw();
}

void KelNavigation3DViewer::ActivateGround(KelCommand*, KelNotification*, void*) {
  if (!_groundButton) return;
  if (_groundButton->GetState())
    DisplayGround(GroundGridOnFloor);
  else
    HideGround();
}

void KelNavigation3DViewer::SetLightSourcesEditor(const int on) {
  if (on && !_lightPopup) {
    _lightPopup =
        new KelEditPanelPopup(this, KelString("LightSourceSettings"), KelDlgSettingsPopup, this);
    _lightPopup->SetTitle(KelString("Light Source Editor"));
    _lightPopup->SetVisibility(KelDlgShown);
    _lightCallback =
        AddCallback(_lightPopup->GetCallbackManager(), KelPopup::EDIT_PANEL_POPUP_DESTROYED(),
                    &KelNavigation3DViewer::LightEditPanelPopupDestroyed, nullptr);
  } else if (!on && _lightPopup) {
    RemoveCallback(_lightPopup->GetCallbackManager(), _lightCallback);
    _lightPopup->RequestDelayedDestruction();
    _lightPopup = nullptr;
  } else {
    return;
  }
  if (_lightButton) _lightButton->SetState(on ? 1 : 0);
  Dispatch(NAVIGATION_LIGHT_SOURCES_EDITOR_ON_OFF());
}

void KelNavigation3DViewer::ActivateLight(KelCommand*, KelNotification*, void*) {
  if (_lightButton) SetLightSourcesEditor(_lightButton->GetState());
}

void KelNavigation3DViewer::LightEditPanelPopupDestroyed(const char*, KelCallbackManager*,
                                                         KelNotification*, void*, long) {
  _lightPopup = nullptr;
  if (_lightButton) _lightButton->SetState(0);
  Dispatch(NAVIGATION_LIGHT_SOURCES_EDITOR_ON_OFF());
}

void KelNavigation3DViewer::ActivateVisibility(KelCommand*, KelNotification*, void*) {
  if (!_visibilityButton) return;
  if (_visibilityButton->GetState() && !_visibilityPopup) {
    _visibilityPopup =
        new Kel3DVisibilityPopup(this, KelString("VisibilitySettings"), KelDlgSettingsPopup, this);
    _visibilityPopup->SetTitle(KelString("Visibility settings"));
    _visibilityPopup->SetVisibility(KelDlgShown);
    _visibilityCallback =
        AddCallback(_visibilityPopup->GetCallbackManager(), KelPopup::EDIT_PANEL_POPUP_DESTROYED(),
                    &KelNavigation3DViewer::VisibilityPopupDestroyed, nullptr);
  } else if (!_visibilityButton->GetState() && _visibilityPopup) {
    RemoveCallback(_visibilityPopup->GetCallbackManager(), _visibilityCallback);
    _visibilityPopup->RequestDelayedDestruction();
    _visibilityPopup = nullptr;
  }
}

void KelNavigation3DViewer::VisibilityPopupDestroyed(const char*, KelCallbackManager*,
                                                     KelNotification*, void*, long) {
  _visibilityPopup = nullptr;
  if (_visibilityButton) _visibilityButton->SetState(0);
}

void KelNavigation3DViewer::SensitivityChanged(const char*, KelCallbackManager*, KelNotification*,
                                               void*, long) {
  Dispatch(NAVIGATION_SENSITIVITY_CHANGED());
}

void KelNavigation3DViewer::CalcConstrainedViewpoint(Kel3DViewpoint& from, Kel3DViewpoint& to) {
  if (_defaultEditor) _defaultEditor->ComputeConstrainedViewpoint(from, to);
}

// ---- 3D mouse

void KelNavigation3DViewer::Connect3DMouse(const char*, KelCallbackManager*, KelNotification*,
                                           void*, long) {
  if (_mouse && GetGraphicWindow()) _mouse->Connect(GetGraphicWindow()->GetDrawingAreaWidget());
}

int KelNavigation3DViewer::Is3DMouseConnected() const {
  return _mouse && _mouse->IsConnected();
}

void KelNavigation3DViewer::Set3DMouseSensitivities(float translation, float rotation) {
  if (std::isfinite(translation) && translation >= 0.0f) _mouseTranslation = translation;
  if (std::isfinite(rotation) && rotation >= 0.0f) _mouseRotation = rotation;
}

void KelNavigation3DViewer::Interpret3DMouseButton(int button, int press) {
  if (button == 0 && press) Reframe();
}

void KelNavigation3DViewer::Interpret3DMouseMotion(const int translation[3], const int rotation[3],
                                                   unsigned int periodMs) {
  Kel3DViewpoint* camera = GetMain3DViewpoint();
  if (!camera) return;
  const bool rest = !translation[0] && !translation[1] && !translation[2] && !rotation[0] &&
                    !rotation[1] && !rotation[2];
  if (rest) {
    if (_mouseAnimation) camera->StopAnimation(this);
    _mouseAnimation = 0;
    return;
  }
  if (!_mouseAnimation) camera->StartAnimation(this);
  _mouseAnimation = 1;
  const double full = 350.0, pi = 3.14159265358979323846;
  const double dt = std::min(periodMs, 250u) / 1000.0;
  double radius = GetGlobalBoundingSphere().GetRadius();
  if (!(radius > 0.0) || !std::isfinite(radius)) radius = 1.0;
  const double move = radius * dt * _mouseTranslation / full;
  const double turn = 0.5 * pi * dt * _mouseRotation / full;

  // The camera's frame: right, up, back (towards the user).
  const Keldirection3f sd = camera->GetSightDirection(), ud = camera->GetUpDirection();
  const double s[3] = {sd.x, sd.y, sd.z}, u[3] = {ud.x, ud.y, ud.z};
  const double frame[3][3] = {
      {s[1] * u[2] - s[2] * u[1], s[2] * u[0] - s[0] * u[2], s[0] * u[1] - s[1] * u[0]},
      {u[0], u[1], u[2]},
      {-s[0], -s[1], -s[2]}};
  // The model turns by the cap's rotation about the target: the camera by
  // the opposite one (Rodrigues), its eye kept at the focus distance.
  double axis[3] = {0.0, 0.0, 0.0};
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < 3; ++i) axis[i] += rotation[k] * frame[k][i];
  const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
  auto rotate = [&](const double v[3], double out[3]) {
    if (length == 0.0) {
      for (int i = 0; i < 3; ++i) out[i] = v[i];
      return;
    }
    const double angle = -length * turn;
    const double k[3] = {axis[0] / length, axis[1] / length, axis[2] / length};
    const double c = std::cos(angle), sn = std::sin(angle);
    const double kv = k[0] * v[0] + k[1] * v[1] + k[2] * v[2];
    const double cross[3] = {k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2],
                             k[0] * v[1] - k[1] * v[0]};
    for (int i = 0; i < 3; ++i) out[i] = v[i] * c + cross[i] * sn + k[i] * kv * (1.0 - c);
  };
  double sight[3], up[3];
  rotate(s, sight);
  rotate(u, up);
  const Kelpoint3f target = camera->GetTarget();
  const double focus = camera->GetFocusDistance();
  double eye[3] = {target.x - focus * sight[0], target.y - focus * sight[1],
                   target.z - focus * sight[2]};
  // The model moves with the cap: the camera the other way.
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < 3; ++i) eye[i] -= translation[k] * move * frame[k][i];
  camera->BeginModification();
  camera->Set(Kelpoint3f(float(eye[0]), float(eye[1]), float(eye[2])),
              Keldirection3f(float(sight[0]), float(sight[1]), float(sight[2])),
              Keldirection3f(float(up[0]), float(up[1]), float(up[2])));
  camera->EndModification();
}

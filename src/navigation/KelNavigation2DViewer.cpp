#include <kel/aids/KelGaugeRep.h>
#include <kel/framework/KelDlgConstants.h>
#include <kel/framework/KelDlgFrame.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/navigation/Kel2DViewpointEditor.h>
#include <kel/navigation/KelNavigation2DViewer.h>
#include <kel/navigation/KelNavigation3DViewer.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include <cstdint>
#include <string>

#include "KelViewpointHistoryGate.h"

KEL_IMPLEMENT_META(KelNavigation2DViewer, Kel2DViewer)

namespace {

KelDlgPushButton* Button(KelDialog* frame, const char* name, const char* icon, int row) {
  auto* button = new KelDlgPushButton(frame, KelString(name));
  button->SetTitle(KelString(name));
  button->SetIconName(KelString(
      (std::string(KelNavigation3DViewer::GetIconDirectory()) + "/" + icon + ".xpm").c_str()));
  button->SetHorizontalAttachment(1, KelDlgAttachTab);
  button->SetVerticalAttachment(row, KelDlgAttachTab);
  return button;
}

}  // namespace

KelNavigation2DViewer::KelNavigation2DViewer(KelDialog* father, const KelString& name,
                                             unsigned long style, const int size1, const int size2,
                                             const unsigned long flags)
    : Kel2DViewer(father, name, style, size1, size2, flags) {
  _frame = new KelDlgFrame(this, KelString("iconFrame1"));
  AddIconFrame(_frame);
  _previousButton = Button(_frame, "Previous", "i3n4d002", 1);
  _nextButton = Button(_frame, "Next", "i3n4d008", 2);
  _reframeButton = Button(_frame, "Reframe", "i3std019", 3);
  AddAnalyseNotificationCB(_previousButton, KelDlgNotification::DLG_ACTIVATE(),
                           &KelNavigation2DViewer::PreviousViewpoint, nullptr);
  AddAnalyseNotificationCB(_nextButton, KelDlgNotification::DLG_ACTIVATE(),
                           &KelNavigation2DViewer::NextViewpoint, nullptr);
  AddAnalyseNotificationCB(_reframeButton, KelDlgNotification::DLG_ACTIVATE(),
                           &KelNavigation2DViewer::ActivateReframe, nullptr);
  Create(nullptr, nullptr, nullptr);
}

KelNavigation2DViewer::~KelNavigation2DViewer() {
  // An editor installed over the default one gave it back to this viewer.
  if (_defaultEditor && GetViewpointEditor() != _defaultEditor) delete _defaultEditor;
  _defaultEditor = nullptr;
  if (_gauges) {
    RemoveCallback(GetCallbackManager(), _gaugeCallback);
    RemoveRepOverlay(_gauges);
    _gauges->Destroy();
  }
  if (Kel2DViewpoint* main = GetMain2DViewpoint())
    for (long callback : _viewpointCallbacks) RemoveCallback(main->GetCallbackManager(), callback);
  for (Kel2DViewpoint*& entry : _history) {
    delete entry;
    entry = nullptr;
  }
}

void KelNavigation2DViewer::Create(KelCommand*, KelNotification*, void*) {
  Kel2DViewpoint* main = GetMain2DViewpoint();
  if (!main || _defaultEditor) return;
  _defaultEditor = new Kel2DViewpointEditor(KelString("Default2DViewpointEditor"), *main);
  SetViewpointEditor(_defaultEditor);
  KelCallbackManager* camera = main->GetCallbackManager();
  _viewpointCallbacks[0] =
      AddCallback(camera, KelViewpoint::VIEWPOINT_ANIMATION_STARTED(),
                  &KelNavigation2DViewer::ViewpointChanged, reinterpret_cast<void*>(intptr_t(1)));
  // Data 0 is null: the dispatch's own (null) data comes instead.
  _viewpointCallbacks[1] = AddCallback(camera, KelViewpoint::VIEWPOINT_MODIFIED(),
                                       &KelNavigation2DViewer::ViewpointChanged, nullptr);
  _viewpointCallbacks[2] =
      AddCallback(camera, KelViewpoint::VIEWPOINT_ANIMATION_STOPED(),
                  &KelNavigation2DViewer::ViewpointChanged, reinterpret_cast<void*>(intptr_t(-1)));
  UpdateHistoryButtons();
}

// ---- History

const Kel2DViewpoint* KelNavigation2DViewer::GetHistoryEntry(int back) const {
  if (back < 0 || back >= _historyCount) return nullptr;
  return _history[(_historyLast - back + HistorySize) % HistorySize];
}

void KelNavigation2DViewer::UpdateHistoryButtons() {
  _previousButton->SetSensitivity(IsPreviousViewpoint());
  _nextButton->SetSensitivity(IsNextViewpoint());
}

void KelNavigation2DViewer::SaveViewpoint() {
  Kel2DViewpoint* main = GetMain2DViewpoint();
  if (!main) return;
  if (_historyBack > 0) {
    // The views ahead of the shown one give way to the new one.
    const int shown = (_historyLast - _historyBack + HistorySize) % HistorySize;
    for (int k = 1; k <= _historyBack; ++k) {
      Kel2DViewpoint*& entry = _history[(shown + k) % HistorySize];
      delete entry;
      entry = nullptr;
    }
    _historyCount -= _historyBack;
    _historyLast = shown;
    _historyBack = 0;
  }
  if (_historyCount > 0) _historyLast = (_historyLast + 1) % HistorySize;
  Kel2DViewpoint*& slot = _history[_historyLast];
  if (slot) {
    *slot = *main;  // the oldest of a full ring
  } else {
    slot = new Kel2DViewpoint(*main);
    ++_historyCount;
  }
  UpdateHistoryButtons();
}

void KelNavigation2DViewer::ShowEntry() {
  Kel2DViewpoint* main = GetMain2DViewpoint();
  const Kel2DViewpoint* entry = GetHistoryEntry(_historyBack);
  if (main && entry) {
    _historyRecording = 0;
    *main = *entry;
    _historyRecording = 1;
  }
  UpdateHistoryButtons();
}

void KelNavigation2DViewer::DisplayPreviousViewpoint() {
  if (!IsPreviousViewpoint()) return;
  ++_historyBack;
  ShowEntry();
}

void KelNavigation2DViewer::DisplayNextViewpoint() {
  if (!IsNextViewpoint()) return;
  --_historyBack;
  ShowEntry();
}

void KelNavigation2DViewer::ViewpointChanged(const char*, KelCallbackManager*, KelNotification*,
                                             void* data, long) {
  if (!_historyRecording) return;
  if (kelnav::SaveAfterViewpointNotice(reinterpret_cast<intptr_t>(data), _animationCounter,
                                       _changedInAnimation))
    SaveViewpoint();
}

void KelNavigation2DViewer::PreviousViewpoint(KelCommand*, KelNotification*, void*) {
  DisplayPreviousViewpoint();
}

void KelNavigation2DViewer::NextViewpoint(KelCommand*, KelNotification*, void*) {
  DisplayNextViewpoint();
}

void KelNavigation2DViewer::ActivateReframe(KelCommand*, KelNotification*, void*) {
  Reframe();
  Draw();
}

// ---- Gauges

void KelNavigation2DViewer::DisplayPerformanceGauges() {
  if (_gauges) return;
  _gauges = new KelGaugeRep;
  AddRepOverlay(_gauges);
  _gaugeCallback = AddCallback(GetCallbackManager(), VIEWER_UPDATE(),
                               &KelNavigation2DViewer::UpdatePerformanceGauges, nullptr);
  Draw();
}

void KelNavigation2DViewer::UpdatePerformanceGauges(const char*, KelCallbackManager*,
                                                    KelNotification*, void*, long) {
  float total = 0.0f, culling = 0.0f, draw = 0.0f;
  GetLastUpdateDuration(total, culling, draw);
  if (_gauges) _gauges->SetDuration(total, culling, draw);
}

void KelNavigation2DViewer::HidePerformanceGauges() {
  if (!_gauges) return;
  RemoveCallback(GetCallbackManager(), _gaugeCallback);
  RemoveRepOverlay(_gauges);
  _gauges->Destroy();
  _gauges = nullptr;
  Draw();
}

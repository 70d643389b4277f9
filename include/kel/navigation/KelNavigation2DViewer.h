// The 2D viewer with navigation: a tool frame "iconFrame1" with the push
// buttons "Previous", "Next" and "Reframe", a history of the last 20 views
// used as a ring, performance gauges in the overlay, and a
// Kel2DViewpointEditor ("Default2DViewpointEditor") that pans and zooms with
// the middle button.
//
// History: a camera change outside an animation is saved at once, an
// animation (a drag) once at its end; the animation counter never drops
// below 0. Saving while an older view is shown drops the views ahead of it.
// Stepping through an empty history does nothing. "Previous" and "Next" are
// sensitive exactly when there is a view to go to, from the start.
//
// Ownership: the viewer owns its tool frame, its history entries and its
// gauges; the editor is owned as every viewer owns its editor.
#pragma once

#include <kel/viewers/Kel2DViewer.h>

class Kel2DViewpoint;
class Kel2DViewpointEditor;
class KelDlgFrame;
class KelDlgPushButton;
class KelGaugeRep;

class KelNavigation2DViewer : public Kel2DViewer {
 public:
  static const int HistorySize = 20;

  KelNavigation2DViewer(KelDialog* father, const KelString& name, unsigned long style,
                        const int size1, const int size2, const unsigned long flags);
  ~KelNavigation2DViewer() override;

  KEL_DECLARE_META(KelNavigation2DViewer);

  void Create(KelCommand* sender, KelNotification* notification, void* data);

  void SaveViewpoint();
  int IsPreviousViewpoint() const { return _historyBack < _historyCount - 1; }
  int IsNextViewpoint() const { return _historyBack > 0; }
  void DisplayPreviousViewpoint();
  void DisplayNextViewpoint();
  int GetHistoryCount() const { return _historyCount; }
  int IsHistoryRecording() const { return _historyRecording; }
  int GetAnimationCounter() const { return _animationCounter; }
  // Entry `back` steps behind the last saved one, or null.
  const Kel2DViewpoint* GetHistoryEntry(int back) const;

  void ViewpointChanged(const char* name, KelCallbackManager* publisher,
                        KelNotification* notification, void* data, long callback);
  int IsPerformanceGauges() const { return _gauges != nullptr; }
  void DisplayPerformanceGauges();
  void UpdatePerformanceGauges(const char* name, KelCallbackManager* publisher,
                               KelNotification* notification, void* data, long callback);
  void HidePerformanceGauges();
  KelGaugeRep* GetGaugeRep() const { return _gauges; }

  void ActivateReframe(KelCommand* sender, KelNotification* notification, void* data);
  void PreviousViewpoint(KelCommand* sender, KelNotification* notification, void* data);
  void NextViewpoint(KelCommand* sender, KelNotification* notification, void* data);

  Kel2DViewpointEditor* GetDefaultEditor() const { return _defaultEditor; }
  KelDlgPushButton* GetPreviousButton() const { return _previousButton; }
  KelDlgPushButton* GetNextButton() const { return _nextButton; }
  KelDlgPushButton* GetReframeButton() const { return _reframeButton; }

 private:
  void ShowEntry();
  void UpdateHistoryButtons();

  KelDlgFrame* _frame = nullptr;
  KelDlgPushButton* _previousButton = nullptr;
  KelDlgPushButton* _nextButton = nullptr;
  KelDlgPushButton* _reframeButton = nullptr;
  Kel2DViewpointEditor* _defaultEditor = nullptr;

  Kel2DViewpoint* _history[HistorySize] = {};
  int _historyCount = 0;
  int _historyLast = 0;
  int _historyBack = 0;
  int _historyRecording = 1;
  int _animationCounter = 0;
  int _changedInAnimation = 0;

  KelGaugeRep* _gauges = nullptr;
  long _gaugeCallback = 0;
  long _viewpointCallbacks[3] = {0, 0, 0};
};

// The 3D viewer for moving freely in a scene. At the left of the drawing area
// it lays out four tool frames: "iconFrame0" with the navigation-style combo
// "NavigationStyle" (Examine, Walk, Fly), "iconFrame1" with the check buttons
// of the five single camera actions ("LookAt", "Zoom", "Rotate", "Translate",
// "TurnHead"), "iconFrame2" with the push buttons "Previous", "Next" and
// "Reframe", and "iconFrame3" with the check buttons "Light", "Visibility"
// and "Ground". Its viewpoint editor is a KelBasic3DViewpointEditor in
// examine mode; it keeps the viewpoint history of Kel3DViewer, and shows on
// demand a dashboard (Kel2DDashboardRep) and performance gauges in the
// overlay and a ground. "Light" opens the light-source panel
// (KelEditPanelPopup), "Visibility" the fog and face settings
// (Kel3DVisibilityPopup). What the user does
// is published on GetCallbackManager() under the NAVIGATION_... events, with
// a plain notification.
//
// History: one entry per gesture. A camera change outside an animation is
// saved at once; the changes of an animation, and those of a mouse drag
// (press to release of the drawing area's buttons, which the editors do not
// bracket as an animation), are saved once at their end, and only when the
// camera changed. The animation counter never drops below 0, so a stop
// without its start cannot silence the later starts.
//
// The widgets are created at once (not on the drawing area's creation), so
// the controls exist before the viewer is shown. The icons are XPM files of
// the source tree (src/navigation/icons), named as the controls' icon names;
// a control whose icon is missing shows its title.
//
// Ownership: the viewer owns its tool frames (as child dialogs), its editors,
// its indicator, its gauges and ground Reps, and its popups.
#pragma once

#include <kel/aids/KelGroundRep.h>
#include <kel/viewers/Kel3DViewer.h>

class Kel2DDashboardRep;
class Kel3DMouse;
class Kel3DAxisRep;
class Kel3DViewpoint;
class KelBasic3DViewpointEditor;
class KelDlgCheckButton;
class KelDlgCombo;
class KelDlgFrame;
class KelDlgPushButton;
class KelGaugeRep;
class KelIndicator;
class KelPopup;
class KelViewpointIndicator;

// The single camera actions of the "iconFrame1" buttons.
enum ViewpointManipulationType : int {
  ViewpointRotate = 0,
  ViewpointLookAt = 1,
  ViewpointTranslate = 2,
  ViewpointZoom = 3,
  ViewpointTurnHead = 4
};

class KelNavigation3DViewer : public Kel3DViewer {
 public:
  KelNavigation3DViewer(KelDialog* father, const KelString& name, unsigned long style,
                        const int size1, const int size2, const unsigned long flags);
  ~KelNavigation3DViewer() override;

  KEL_DECLARE_META(KelNavigation3DViewer);

  static const char* NAVIGATION_WALK_ACTIVATED();
  static const char* NAVIGATION_FLY_ACTIVATED();
  static const char* NAVIGATION_TURN_AROUND_ACTIVATED();
  static const char* NAVIGATION_GROUND_ACTIVATED();
  static const char* NAVIGATION_GROUND_DEACTIVATED();
  static const char* NAVIGATION_PERFO_ACTIVATED();
  static const char* NAVIGATION_PERFO_DEACTIVATED();
  static const char* NAVIGATION_SENSITIVITY_CHANGED();
  static const char* NAVIGATION_VIEWPOINT_ACTION_ENDED();
  static const char* NAVIGATION_LIGHT_SOURCES_EDITOR_ON_OFF();

  void InitNavigationFrame(KelDialog* father);
  // Installs the default editor and follows the viewer's ground.
  void Create(KelCommand* sender, KelNotification* notification, void* data);

  // 0 examine, 1 walk, 2 fly.
  int GetNavigationStyle() const;
  void SetNavigationStyle(const int style);
  void ChangeNavigationStyle(KelCommand* sender, KelNotification* notification, void* data);

  void StartViewpointManipulation(const ViewpointManipulationType type);
  void StopViewpointManipulation();
  void SetViewpointManip(KelCommand* sender, KelNotification* notification, void* data);
  using Kel3DViewer::EndManipulate;
  void EndManipulate(KelCommand* sender, KelNotification* notification, void* data);
  int IsViewpointManipulation() const { return _actionEditor != nullptr; }

  // The history of Kel3DViewer, with the buttons' sensitivity following it.
  void SaveViewpoint();
  void DisplayPreviousViewpoint();
  void DisplayNextViewpoint();
  void PreviousViewpoint(KelCommand* sender, KelNotification* notification, void* data);
  void NextViewpoint(KelCommand* sender, KelNotification* notification, void* data);
  void ActivateReframe(KelCommand* sender, KelNotification* notification, void* data);
  void Reframe() override;

  // The dashboard (Kel2DDashboardRep) in the overlay, off at construction.
  void SetDashboardOn();
  void SetDashboardOff();
  int IsDashboard() const { return _dashboard != nullptr; }
  Kel2DDashboardRep* GetDashboard() const { return _dashboard; }

  // The axis board, on at construction: the model's axes, turned as the
  // camera turns them, in the bottom left corner of the window (a foreground
  // viewpoint of its own, parallel, over the scene). Never picked.
  void SetAxisboardOn();
  void SetAxisboardOff();
  int IsAxisboard() const { return _axisViewpoint != nullptr; }
  Kel3DViewpoint* GetAxisViewpoint() const { return _axisViewpoint; }
  // Keeps the axis board's camera in step with the main one and the window.
  void ModifyAxis();

  void DisplayPerformanceGauges();
  void HidePerformanceGauges();
  int IsPerformanceGauges() const { return _gauges != nullptr; }
  void DisplayGround(GroundStyle style);
  void HideGround();
  int IsGround() const { return _ground != nullptr; }
  void SetLightSourcesEditor(const int on);
  int IsLightSourcesEditorOn() const { return _lightPopup != nullptr; }
  int IsVisibilityPopup() const { return _visibilityPopup != nullptr; }

  // Followers of the main 3D viewpoint (data 1 animation started, 0
  // modified, -1 animation stopped), of the viewer and of the popups.
  void ViewpointChanged(const char* name, KelCallbackManager* publisher,
                        KelNotification* notification, void* data, long callback);
  void GraphicSizeChanged(const char* name, KelCallbackManager* publisher,
                          KelNotification* notification, void* data, long callback);
  void GroundChanged(const char* name, KelCallbackManager* publisher, KelNotification* notification,
                     void* data, long callback);
  void SensitivityChanged(const char* name, KelCallbackManager* publisher,
                          KelNotification* notification, void* data, long callback);
  void UpdatePerformanceGauges(const char* name, KelCallbackManager* publisher,
                               KelNotification* notification, void* data, long callback);
  void VisibilityPopupDestroyed(const char* name, KelCallbackManager* publisher,
                                KelNotification* notification, void* data, long callback);
  void LightEditPanelPopupDestroyed(const char* name, KelCallbackManager* publisher,
                                    KelNotification* notification, void* data, long callback);
  void ActivateGround(KelCommand* sender, KelNotification* notification, void* data);
  void ActivateLight(KelCommand* sender, KelNotification* notification, void* data);
  void ActivateVisibility(KelCommand* sender, KelNotification* notification, void* data);
  // Forwards to the default editor's ComputeConstrainedViewpoint.
  void CalcConstrainedViewpoint(Kel3DViewpoint& from, Kel3DViewpoint& to);

  // A mouse drag is one gesture of the history.
  void InterpretDeviceEvent(const char* name, KelCallbackManager* publisher, KelNotification* event,
                            void* data, long callback) override;

  // The 3D mouse (Kel3DMouse), connected at the first frame when its daemon
  // runs. The model follows the cap: the cap's axes are the window's (x
  // right, y up, z towards the user); at full deflection (350) it moves the
  // model by the scene's radius, or turns it by a quarter turn about the
  // target, per second (the event's period, at most a quarter of a second),
  // times the sensitivities. A stream of motions, to the rest the daemon
  // sends when the cap is let go, is one camera animation: one history
  // entry. Its first button reframes.
  void Interpret3DMouseMotion(const int translation[3], const int rotation[3],
                              unsigned int periodMs);
  void Interpret3DMouseButton(int button, int press);
  void Set3DMouseSensitivities(float translation, float rotation);
  int Is3DMouseConnected() const;
  void Connect3DMouse(const char* name, KelCallbackManager* publisher,
                      KelNotification* notification, void* data, long callback);

  KelBasic3DViewpointEditor* GetDefaultEditor() const { return _defaultEditor; }
  // Puts `editor` (on the main 3D viewpoint) in the default editor's place,
  // in its navigation style, so that an application's own editor (one that
  // echoes its prompts, say) is the one the tool frames drive. The viewer
  // owns it and deletes the one it replaces.
  void SetDefaultEditor(KelBasic3DViewpointEditor* editor);
  KelGaugeRep* GetGaugeRep() const { return _gauges; }
  KelGroundRep* GetGroundRep() const { return _ground; }
  int GetAnimationCounter() const { return _animationCounter; }
  KelDlgCombo* GetStyleCombo() const { return _styleCombo; }
  KelDlgCheckButton* GetActionButton(ViewpointManipulationType type) const {
    return _actionButtons[type];
  }
  KelDlgPushButton* GetPreviousButton() const { return _previousButton; }
  KelDlgPushButton* GetNextButton() const { return _nextButton; }
  KelDlgPushButton* GetReframeButton() const { return _reframeButton; }
  KelDlgCheckButton* GetLightButton() const { return _lightButton; }
  KelDlgCheckButton* GetVisibilityButton() const { return _visibilityButton; }
  KelDlgCheckButton* GetGroundButton() const { return _groundButton; }

  // Where the tool frames' icons are looked for: share/kelvis/icons of the
  // install the library was loaded from, else the source tree's folder.
  static const char* GetIconDirectory();

 private:
  void Dispatch(const char* event);
  void UpdateHistoryButtons();
  // Gives the dashboard what it shows; `sphere` also the scene's bounds.
  void FeedDashboard(int sphere);
  void RemoveDashboard();
  void RemoveAxisboard();
  KelDlgCheckButton* ActionButton(KelDialog* frame, const char* name, const char* title,
                                  const char* icon, ViewpointManipulationType type);

  KelDlgFrame* _frames[4] = {};
  KelDlgCombo* _styleCombo = nullptr;
  KelDlgCheckButton* _actionButtons[5] = {};
  KelDlgPushButton* _previousButton = nullptr;
  KelDlgPushButton* _nextButton = nullptr;
  KelDlgPushButton* _reframeButton = nullptr;
  KelDlgCheckButton* _lightButton = nullptr;
  KelDlgCheckButton* _visibilityButton = nullptr;
  KelDlgCheckButton* _groundButton = nullptr;

  KelBasic3DViewpointEditor* _defaultEditor = nullptr;
  KelDlgCheckButton* _runningButton = nullptr;
  KelBasic3DViewpointEditor* _actionEditor = nullptr;
  KelViewpointIndicator* _actionIndicator = nullptr;
  KelIndicator* _savedForegroundIndicator = nullptr;
  long _indicatorAnalyser = 0;

  KelPopup* _visibilityPopup = nullptr;
  long _visibilityCallback = 0;
  KelPopup* _lightPopup = nullptr;
  long _lightCallback = 0;

  Kel2DDashboardRep* _dashboard = nullptr;
  Kel3DViewpoint* _axisViewpoint = nullptr;
  Kel3DAxisRep* _axisRep = nullptr;
  long _resizeCallback = 0;
  KelGaugeRep* _gauges = nullptr;
  long _gaugeCallback = 0;
  KelGroundRep* _ground = nullptr;
  long _groundCallback = 0;
  long _sensitivityCallback = 0;

  Kel3DMouse* _mouse = nullptr;
  long _mouseCallback = 0;
  float _mouseTranslation = 1.0f;
  float _mouseRotation = 1.0f;
  int _mouseAnimation = 0;

  int _animationCounter = 0;
  // A camera change seen since the counter left 0.
  int _changedInAnimation = 0;
  // The mouse buttons held down (bit 1 << button): a drag holds one count
  // of the animation counter.
  int _buttonsDown = 0;
  long _viewpointCallbacks[3] = {0, 0, 0};
};

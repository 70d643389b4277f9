// The dialog-toolkit frame that shows Reps. It owns a graphic window (the
// drawing support whose main 3D, main 2D and overlay viewpoints carry the
// Reps), hosted in the dialog "MotifObject", and adopts that window's mouse
// and keyboard. It turns the window's events into its own ("VIEWER_UPDATE",
// "VIEWER_SELECTED", "GENERAL_MODIFIERS_MODIFIED", published on
// GetCallbackManager()), hands each device event to its device, and relays
// the devices' interaction steps to the manipulators (preactivate, activate,
// manipulate, contextual menu, edit). The state of that interaction (0 idle,
// 1 preactivated, 2 activated, 3 manipulating, 4 contextual menu, 5 editing)
// is shared by devices and manipulators.
//
// Record and replay (KelRecord, docs/record.md): while recording, every
// device event, redraw report and resize is written before it is acted on;
// while replaying, live ones are dropped and each redraw report of the window
// hands the next record instead. Each restored record asks for one more
// redraw, so a replay runs one record per frame to its end without waiting on
// the user. Set "KELRECORDCAPTURE" or "KELRECORDREPLAY" before the viewer is
// made to give the window a fixed pixel geometry, and "RECORD_TRACE" to 1 or 2
// for the trace lines. A record naming a device class the viewer does not
// have is dropped with one message.
//
// The contextual menu ("context", button 3) is live input: it is neither
// recorded nor replayed, and a replay ignores it.
//
// Ownership: the viewer owns its graphic window (and through it the main
// viewpoints and the devices), the devices' current events, its callback
// manager, its model-window lights and the viewpoint editor installed last
// (ended and destroyed with the viewer; an editor that SetViewpointEditor
// replaces goes back to the caller). It does not own its indicators. When it
// dies, every manipulator that a device drives, points at or keeps for
// activation, and the indicators, forget it. Destroy a viewer through
// RequestDelayedDestruction, or delete it when no notification runs.
#pragma once

#include <kel/framework/KelDlgFrame.h>
#include <kel/framework/list.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/viewers/KelViewerEditMode.h>

class Kel2DRep;
class Kel2DViewpoint;
class Kel3DViewpoint;
class KelCallbackManager;
class KelColorMap;
class KelDevice;
class KelDeviceEvent;
class KelDlgCheckItem;
class KelDlgContextualMenu;
class KelDlgDialog;
class KelDlgMotif;
class KelGraphicWindow;
class KelIndicator;
class KelKeyboardEvent;
class KelLightSourceSet;
class KelManipulator;
class KelMarshal;
class KelMouseDevice;
class KelOverlayViewpoint;
class KelPixelImage;
class KelRepPath;
class KelViewerEvent;
class KelViewpoint;
class KelViewpointEditor;
class Kelpoint3f;

class KelViewer : public KelDlgFrame {
 public:
  // The most icon frames a viewer lays out; AddIconFrame refuses more.
  static constexpr int MaxIconFrames = 10;

  // `size1` and `size2`: width and height of the drawing area in pixels.
  // `flags` is kept for the derived viewers (GetCreationFlags).
  KelViewer(KelDialog* father, const KelString& name, unsigned long style, int size1, int size2,
            unsigned long flags);
  ~KelViewer() override;
  KelViewer(const KelViewer&) = delete;
  KelViewer& operator=(const KelViewer&) = delete;

  KEL_DECLARE_META(KelViewer);

  // Events published on GetCallbackManager().
  static const char* GENERAL_MODIFIERS_MODIFIED();
  static const char* VIEWER_UPDATE();
  static const char* VIEWER_SELECTED();
  KelCallbackManager* GetCallbackManager() const { return _callbackManager; }

  // Every viewer alive, in the order of construction.
  static void InitViewerClassList();
  static KelViewer* GetNextClassElement();
  // The viewer that received the last device event, or null.
  static KelViewer* GetCurrentViewer();

  // ---- Virtual operations, in slot order.

  // Record and replay of device events (KelPressEvent, KelReleaseEvent,
  // KelMotionEvent), redraw reports (KelUpdateEvent) and resizes
  // (KelResizeEvent). SaveState answers 0 written, 1 null event, 2 any other
  // class; RestoreState 0, or 4 for another class.
  int SaveState(KelNotification* event, KelMarshal& marshal) override;
  int RestoreState(const char* eventClass, KelMarshal& marshal) override;
  // A deferred redraw (KelGraphicWindow::DrawRequest).
  virtual void Draw();
  // Nothing here; the 2D and 3D viewers reframe their main viewpoint.
  virtual void Reframe();
  // Draws (or draws again, to undraw) one path over the current frame.
  virtual void DrawElement(KelRepPath& path);
  virtual void UndrawElement(KelRepPath& path);
  // Handed to every pointing device. Preselection is on once the drawing
  // area exists.
  virtual void SetPreselectModeOn();
  virtual void SetPreselectModeOff();
  // The manipulator of the first candidate of `pickList` that has one (see
  // the source); `path` and the current path become that candidate's path.
  virtual KelManipulator* ChooseManipulator(KelPickPathList& pickList, KelPickPath& path);
  // Ends the previous editor's activation, gives `editor` this viewer and
  // starts it. Null removes the editor. The viewer owns the editor it holds.
  virtual void SetViewpointEditor(KelViewpointEditor* editor);

  // The relay of the devices' interaction steps to `manipulator`, with the
  // device's current event; each answers the manipulator's answer (0 when
  // there is none to call).
  virtual int Preactivate(KelManipulator* manipulator, KelDevice* device);
  virtual int Move(KelManipulator* manipulator, KelDevice* device);
  virtual int EndPreactivate(KelManipulator* manipulator, KelDevice* device);
  // Ends the running activation, then activates `manipulator` when it is
  // the pointing device's pointed one, and plugs it into the device.
  virtual int Activate(KelManipulator* manipulator, KelDevice* device);
  virtual int BeginManipulate(KelManipulator* manipulator, KelDevice* device);
  virtual int Manipulate(KelManipulator* manipulator, KelDevice* device);
  virtual int EndManipulate(KelManipulator* manipulator, KelDevice* device);
  // Ends the activation of the device's plugged manipulator and unplugs it;
  // answers 1 when the device had none.
  virtual int EndActivate(KelManipulator* manipulator, KelDevice* device);
  virtual int Context(KelManipulator* manipulator, KelDevice* device);
  virtual int EndContext(KelManipulator* manipulator, KelDevice* device);
  virtual int Edit(KelManipulator* manipulator, KelDevice* device);

  // Cursors of the graphic window: 0 the default, SetManipulatingCursor
  // answers the previous type.
  virtual void SetDefaultCursor();
  virtual int SetManipulatingCursor(int type);
  virtual void SetPointingCursor();
  // Arrow keys, handed to every mouse device.
  virtual void ReceiveKeyEvent(KelKeyboardEvent& event);
  // Stores the modifier bits (1 Shift, 4 Control), writes them into the
  // device event of `event` and publishes "GENERAL_MODIFIERS_MODIFIED" with
  // that device event.
  virtual void SetGeneralModifiers(int modifiers, KelViewerEvent* event);
  virtual int GetGeneralModifiers() const;
  virtual int IsIconFrame() const;
  // The drawing area moves into a full-screen dialog named like the viewer
  // (a child of the viewer, so that it lives no longer than the viewer),
  // and back.
  virtual void SetFullScreen();
  virtual void SetNormalWindowSize();
  virtual int IsFullScreen() const;
  // Components 0 to 1. Colour-map entry 253 (lines and texts drawn in the
  // default colour) becomes white on a dark background and black on a light
  // one.
  virtual void SetBackgroundColor(float r, float g, float b);
  virtual float GetLastUpdateDuration() const;
  virtual void GetLastUpdateDuration(float& total, float& culling, float& draw) const;
  virtual void InitializeCurrentEvents();
  virtual void DeleteCurrentEvents();
  // "DEVICE_ACTION" of the graphic window.
  virtual void InterpretDeviceEvent(const char* name, KelCallbackManager* publisher,
                                    KelNotification* event, void* data, long callback);
  // "GRAPHICWINDOW_UPDATE" of the graphic window.
  virtual void InterpretUpdate(const char* name, KelCallbackManager* publisher,
                               KelNotification* event, void* data, long callback);
  // The "FullScreen" item of the contextual menu.
  virtual void UnsetFullScreen(KelCommand* sender, KelNotification* notification, void* data);
  // Places the drawing area and the icon frames on the frame's tabulations:
  // the icon frames one under the other at the left, the drawing area
  // beside them all.
  virtual void UpdateLayout();

  // ---- Creation.

  // The drawing area exists (its creation notification): subscriptions, the
  // window's widget, the devices, preselection on.
  void Create(KelCommand* sender, KelNotification* notification, void* data);
  // Adopts the graphic window's devices, gives each its current event and
  // this viewer, and installs the viewpoint editor again.
  void InitializeDevices();
  // Ends and destroys the viewpoint editor; forgets the devices.
  void DeleteDevices();
  list<KelDevice*>& GetDevices() { return _devices; }
  unsigned long GetCreationFlags() const { return _creationFlags; }

  // ---- Drawing.

  // Redraws and swaps at once.
  void ImmediateDraw();
  void DrawElement(list<KelRepPath*>& paths);
  void UndrawElement(list<KelRepPath*>& paths);
  // Kept for old callers: they only print that they will go.
  void LockDraw();
  void UnlockDraw();
  void AddBackGroundViewpoint(KelViewpoint* viewpoint);
  void AddForeGroundViewpoint(KelViewpoint* viewpoint);
  void RemoveViewpoint(KelViewpoint* viewpoint);
  Kel3DViewpoint* GetMain3DViewpoint() const;
  Kel2DViewpoint* GetMain2DViewpoint() const;
  KelOverlayViewpoint* GetOverlayViewpoint() const;
  void AddRepOverlay(Kel2DRep* rep);
  void RemoveRepOverlay(Kel2DRep* rep);
  void AddRepFurtiveOverlay(Kel2DRep* rep);
  void RemoveRepFurtiveOverlay(Kel2DRep* rep);
  // The default lights of the main 3D viewpoint: copied into the viewer's
  // own set, whose Rep lies in that viewpoint.
  void SetModelWindowSL(const KelLightSourceSet& lights);
  KelLightSourceSet* GetModelWindowSL() const { return _modelWindowLights; }
  void GetBackgroundColor(float* r, float* g, float* b) const;
  void InitializeGlobalAmbientLight(float r, float g, float b);
  void SetGlobalAmbientLight(float r, float g, float b);
  void GetGlobalAmbientLight(float* r, float* g, float* b) const;
  KelColorMap* GetKelColormap() const;
  void SetMesh(int on);
  void SetOutLine(int on);
  void SetEdge(int on);
  float GetMMInSupportUnit() const;
  void GetGraphicSize(float* width, float* height) const;
  void GetMousePosition(int* x, int* y) const;
  KelPixelImage* GrabPixelImage();
  KelPixelImage* GrabPixelImage(int x, int y, int width, int height);
  int IsStereoAvailable() const;
  int IsStereoActivate(int* mode, float* eyeDistance) const;
  void ActivateStereoMode(int mode, float eyeDistance);
  void DeactivateStereoMode();
  int GetInteractiveState() const { return _interactiveState; }
  void GenerateUpdateEvent();
  KelGraphicWindow* GetGraphicWindow() const { return _graphicWindow; }
  KelDlgMotif* GetDrawingArea() const { return _drawingArea; }

  // ---- Conversions: the near and far model points under a window pixel.

  void GetViewpointCoordinatesFromPixel(Kelpoint3f& P, Kelpoint3f& Q, const KelViewpoint& viewpoint,
                                        float x, float y) const;
  // For a KelMouseEvent, at its position; other events give nothing.
  void ComputeModelFromDeviceEvent(Kelpoint3f& P, Kelpoint3f& Q, KelViewpoint& viewpoint,
                                   KelDeviceEvent& event) const;

  // ---- Picking.

  // What lies under pixel (x, y), sorted, then an empty path for "nothing";
  // a copy is kept as the last pick.
  void Pick(float x, float y, KelPickPathList& pickList);
  // Step 0 picks; -1 shows the next candidate of the last pick first, 1 the
  // previous one (the empty path first before the first candidate).
  void IncrementPick(float x, float y, KelPickPathList& pickList, int step);
  int GetPickWindowSize() const;
  KelPickPath& GetCurrentPath() { return _currentPath; }
  const KelPickPathList& GetLastPick() const { return _lastPick; }
  int GetPickIndex() const { return _pickIndex; }

  // ---- Events and interaction.

  // A KelPressEvent of a pointing device publishes "VIEWER_SELECTED".
  void InterpretViewerSelected(KelNotification* event);
  // Visibility of the contextual menu.
  void InterpretContextEvent(KelCommand* sender, KelNotification* notification, void* data);
  // "VIEWPOINT_MODIFIED" of the main and overlay viewpoints.
  void ViewpointModified(const char* name, KelCallbackManager* publisher,
                         KelNotification* notification, void* data, long callback);
  // Resize of the drawing area.
  void ResizeWindow(KelCommand* sender, KelNotification* notification, void* data);
  // Handed to every pointing device.
  void SetDebugModeOn();
  void SetDebugModeOff();
  KelDlgContextualMenu* GetContextualMenu() const { return _contextualMenu; }
  void SetEditMode(KelViewerEditMode mode) { _editMode = mode; }
  KelViewerEditMode GetEditMode() const { return _editMode; }
  int GetCursorType() const { return _cursorType; }

  // Automatic activation: a manipulator made during a drag over its Rep
  // takes the drag over at the next press.
  void SetManipulatorToActive(KelManipulator* manipulator);
  void RemoveManipulatorToActive();
  KelManipulator* GetManipulatorToActive() const { return _manipulatorToActive; }
  void CheckAutomaticBehavior();
  // No device, indicator or field of this viewer keeps `manipulator`.
  void UnreferenceManipulator(KelManipulator* manipulator);

  KelViewpointEditor* GetViewpointEditor() const { return _viewpointEditor; }
  // Not owned. The foreground indicator takes every interaction, the
  // background one those that hit nothing.
  void SetBackgroundIndicator(KelIndicator* indicator) { _backgroundIndicator = indicator; }
  KelIndicator* GetBackgroundIndicator() const { return _backgroundIndicator; }
  void SetForegroundIndicator(KelIndicator* indicator) { _foregroundIndicator = indicator; }
  KelIndicator* GetForegroundIndicator() const { return _foregroundIndicator; }

  // ---- Icon frames, laid out at the left of the drawing area.

  // At most MaxIconFrames; a message refuses more, and a frame added twice
  // counts once.
  void AddIconFrame(KelDlgFrame* frame);
  int GetIconFrameCount() const { return _iconFrameCount; }
  void ShowIconFrame();
  void HideIconFrame();
  void UnsetFullScreen();

 protected:
  // Which trace lines record and replay print ("RECORD_TRACE").
  static int GetRecordTraceLevel();

 private:
  // The first device whose class name is `className`, or null.
  KelDevice* FindDevice(const char* className) const;
  // The mouse device among the devices, or null.
  KelMouseDevice* GetMouseDevice() const;
  // `_lastPick` rotated so that entry `first` comes first.
  void CopyRotatedPick(KelPickPathList& pickList, int first);
  void ResetLastPick();
  void DispatchViewerUpdate(unsigned long timeStamp);
  // One record was restored: the next frame hands the next one.
  void ReplayGoesOn();
  void TraceHeader(int save, const char* eventClass) const;

  int _interactiveState = 0;
  list<KelDevice*> _devices;
  long _updateCallback = 0;
  long _deviceCallback = 0;
  KelCallbackManager* _callbackManager = nullptr;
  unsigned long _creationFlags = 0;
  int _generalModifiers = 0;
  KelDlgFrame* _iconFrames[MaxIconFrames] = {};
  int _iconFrameCount = 0;
  int _iconFramesShown = 1;
  int _fullScreen = 0;
  KelDlgDialog* _fullScreenDialog = nullptr;
  KelLightSourceSet* _modelWindowLights = nullptr;
  KelDlgMotif* _drawingArea = nullptr;
  int _tabTop = 1;
  int _tabLeft = 1;
  int _tabBottom = 3;
  int _tabRight = 3;
  KelGraphicWindow* _graphicWindow = nullptr;
  KelIndicator* _backgroundIndicator = nullptr;
  KelIndicator* _foregroundIndicator = nullptr;
  KelViewpointEditor* _viewpointEditor = nullptr;
  KelDlgContextualMenu* _contextualMenu = nullptr;
  KelViewerEditMode _editMode = KelViewerNoEdit;
  int _cursorType = 0;
  KelPickPath _currentPath;
  KelPickPathList _lastPick;
  int _pickIndex = 0;
  KelManipulator* _manipulatorToActive = nullptr;
  KelManipulator* _previousPointedManipulator = nullptr;
  float LastUpdateTotalDuration = 0.0f;
  float LastUpdateCullingDuration = 0.0f;
  float LastUpdateDrawDuration = 0.0f;
  long _viewpointCallbacks[3] = {0, 0, 0};

  // The "FullScreen" item while the contextual menu offers it.
  KelDlgCheckItem* _fullScreenItem = nullptr;
  // The drawing area's creation was handled.
  int _created = 0;

  static list<KelViewer*> _viewers;
  static int _viewerCursor;
  static KelViewer* _currentViewer;
};

// The drawing support bound to an X window: it creates the drawing-area widget
// ("OrvexArea", class XgDrawingArea) with the visual and colour map the driver
// chose, owns the main 3D, main 2D and overlay viewpoints, turns X input into
// device events published as "DEVICE_ACTION", and redraws when the client
// message it sends itself ("AtomID") comes back through the event loop, so
// that any number of DrawRequest calls give one redraw per window. Redraws
// report their durations in "GRAPHICWINDOW_UPDATE"; every draw job ends with a
// KelGlobalUpdateNotification through the class dispatcher.
//
// Multi-processor mode (_mult, the application's to set after the first window
// is made; the OpenGL driver leaves it 0) splits a frame across two messages:
// the first culls into one of each viewpoint's two display lists, the second
// draws it while the next frame may cull into the other. Everything runs on
// the X event-loop thread.
//
// The window owns its devices, its widget, GC and cursors; deleting it removes
// it from every pending redraw, releases the primitive lock a waiting culled
// frame holds, and lets the other windows have the redraw message it was to
// receive. The driver (libGR7OGL) makes the concrete class through
// createGraphicWindow.
#pragma once

#include <kel/render/KelSupport.h>
#include <kel/viewers/KelMotionEvent.h>
#include <kel/viewers/KelPressEvent.h>
#include <kel/viewers/KelReleaseEvent.h>
#include <kel/viewers/KelResizeEvent.h>
#include <kel/viewers/KelUpdateEvent.h>

#include <X11/Intrinsic.h>
#include <X11/Xutil.h>

#include <memory>
#include <vector>

class Kel2DViewpoint;
class Kel3DViewpoint;
class KelColorMap;
class KelDevice;
class KelDialog;
class KelKeyboardDevice;
class KelMouseDevice;
class KelNotificationDispatcher;
class KelOverlayViewpoint;
class KelPickPathList;
class KelPixelImage;
class KelRepPath;

class KelGraphicWindow : public KelSupport {
 public:
  KelGraphicWindow(int width, int height);
  ~KelGraphicWindow() override;
  KelGraphicWindow(const KelGraphicWindow&) = delete;
  KelGraphicWindow& operator=(const KelGraphicWindow&) = delete;

  KEL_DECLARE_META(KelGraphicWindow);

  // Records a redraw of this window for the next draw job. Before the window
  // is first exposed the request waits, and the message is sent then.
  virtual void DrawRequest();
  virtual void ActivateStereoMode(int mode, float eyeDistance);
  virtual void DeactivateStereoMode();
  // Creates the widget under `parent` (once).
  virtual void Create(Widget parent);
  // The window less its top two rows; null without a window or when nothing
  // is left of it.
  virtual KelPixelImage* GrabPixelImage();
  // The window region of that size whose top left pixel is (x, y), y down,
  // clipped to the window; redrawn first. Null when the region misses it.
  virtual KelPixelImage* GrabPixelImage(int x, int y, int width, int height);
  virtual void SwitchBack();
  virtual void SwitchFront();
  virtual void ClearLeft();
  virtual void ClearRight();
  virtual void SwapStereo();
  virtual void SwitchFrontLeft();
  virtual void SwitchFrontRight();
  // The driver's hooks, called after every expose (once the window exists)
  // and after every resize.
  virtual void Exposed();
  virtual void Resized();

  // The main viewpoints stay in the list, drawn first (3D, then 2D) and the
  // overlay last: these calls ignore them. Foreground viewpoints go before
  // the overlay.
  void AddViewpoint(KelViewpoint* viewpoint, int last) override;
  void RemoveViewpoint(KelViewpoint* viewpoint) override;
  // One immediate frame (culling and drawing, no swap) with its durations in
  // the update event; nothing without an X window.
  void Draw() override;
  void Drawing(list<KelViewpoint*>& viewpoints) override;

  void DoSwap();
  // The new size in pixels, given to the widget (once it exists) and to the
  // driver; "GRAPHICWINDOW_RESIZE" follows. An unchanged size does nothing.
  void ResizeWindow(float width, float height);
  // Fills `list` with what lies under pixel (x, y), sorted.
  void Pick(float x, float y, KelPickPathList& list);
  // Draws only these paths over the current frame (furtive feedback).
  void DrawRepPath(KelRepPath& path);
  void DrawRepPath(list<KelRepPath*>& paths);
  void UnDrawRepPath(KelRepPath& path);
  void UnDrawRepPath(list<KelRepPath*>& paths);
  void CullingRepPath(KelRender& render, KelRepPath& path, KelViewpoint& viewpoint);
  // 0 the parent's cursor, 1 an arrow (cursor-font shape 60), 2 "Interdit",
  // 4, 6, 32, 42, 50, 52, 90, 120, 128 the cursor-font shape of that number;
  // other values change nothing.
  void SetCursorType(int type);
  void GetMousePosition(int* x, int* y) const;
  int IsStereoActivate(int* mode, float* eyeDistance) const;
  int IsStereoAvailable() const { return _stereoAvailable; }
  // Entry 254 of the colour map, and the X window's background with it.
  void SetBackgroundColor(float r, float g, float b);

  list<KelDevice*>& GetDevices() { return _devices; }
  void CreateDevices();
  void ConnectDevices() {}
  KelMouseDevice* GetMouseDevice() const { return _mouseDevice; }
  KelKeyboardDevice* GetKeyboardDevice() const { return _keyboardDevice; }
  void SetComponent(KelDialog* component) { _component = component; }
  KelDialog* GetComponent() const { return _component; }
  static KelNotificationDispatcher* GetDispatcher() { return _classDispatcher; }
  static const char* GetConnexion();
  Kel2DViewpoint* GetMain2DViewpoint() const { return _main2D; }
  Kel3DViewpoint* GetMain3DViewpoint() const { return _main3D; }
  KelOverlayViewpoint* GetOverlayViewpoint() const { return _overlay; }
  // Half the side of the pick square in pixels; 3 by default (a 7 x 7 square,
  // about 2 mm on a common screen).
  void SetPickWindowSize(int size) { _pickWindowSize = size; }
  int GetPickWindowSize() const { return _pickWindowSize; }
  void InitializeGlobalAmbientLight(float r, float g, float b);
  // The same, shown at the next frame.
  void SetGlobalAmbientLight(float r, float g, float b);
  void GetGlobalAmbientLight(float* r, float* g, float* b) const;

  Widget GetDrawingAreaWidget() const { return _widget; }
  Display* GetDisplay() const { return _display; }
  // 0 until the first expose and after the widget's destruction.
  Window GetWindow() const { return _window; }
  GC GetGC() const { return _gc; }
  const KelUpdateEvent& GetUpdateEvent() const { return _updateEvent; }

  // Multi-processor frames.
  void PrepareThreadCulling();
  void SetListOfCulledViewpoint(list<KelViewpoint*>& viewpoints);
  void DuplicateFromCullToDrawList();
  void DrawLastCulling();
  void ResetLastDrawInformation();
  int HasLastDrawInformation() const { return _hasLastDrawInformation; }

  static void DoDrawJob();
  void GenerateUpdateEvent();
  static void DispatchGlobalUpdateNotification();

  // X callbacks; the client data is the window.
  static void InterpretInputEvent(Widget w, XtPointer window, XtPointer callData);
  static void InterpretMotionEvent(Widget w, XtPointer window, XEvent* event, Boolean* go_on);
  static void InterpretKeyboardEvent(Widget w, XtPointer window, XEvent* event, Boolean* go_on);
  static void InterpretClientMessageEvent(Widget w, XtPointer window, XEvent* event,
                                          Boolean* go_on);
  static void InterpretExposeEvent(Widget w, XtPointer window, XtPointer callData);
  static void InterpretDestroyEvent(Widget w, XtPointer window, XtPointer callData);
  // An extension event (type at or above LASTEvent) goes through the toolkit
  // as a client message whose message type is the event's type. Answers 1
  // when it was one.
  static int DispatchExtensionEvents(XEvent* event);

  static const char* DEVICE_ACTION();
  static const char* GRAPHICWINDOW_RESIZE();
  static const char* GRAPHICWINDOW_UPDATE();

  static int _mult;
  static int _updateState;
  static int _onCulling;
  static int _doUpdateSent;
  static list<KelGraphicWindow*> _graphicWindowToDraw;
  static list<KelGraphicWindow*> _graphicWindowCulled;
  static float _cullingTime;
  static XVisualInfo* _visual;
  static unsigned long _colormap;
  static KelNotificationDispatcher* _classDispatcher;
  static int _initDone;

 protected:
  // Draws the display lists of `viewpoints` into the current buffer, both
  // eyes in stereo, without clearing (DrawRepPath).
  void DrawOver(list<KelViewpoint*>& viewpoints);

  int _stereoActive = 0;
  int _stereoMode = 0;
  int _stereoAvailable = 0;
  float _eyeDistance = 0.05f;
  // The region GrabPixelImage reads, for the driver's ReadPixels: x and y of
  // its bottom left pixel with y up, and the image to fill.
  KelPixelImage* _grabImage = nullptr;
  int _grabX = 0;
  int _grabY = 0;

 private:
  // The display of the dialog toolkit's inter-client connection.
  static Display* OpenDisplay();
  // Pixels per millimetre and pixel shape of the default screen; the shared
  // font's X fonts on the first display.
  void SetScreenGeometry(Display* display);
  void Dispatch(const char* event, KelNotification* notification);
  // Each viewpoint's display list and its brother change places.
  void ExchangeDisplayLists();
  void HandleButton(XEvent* event);
  void RemoveCallbacks();
  // Leaves every class list; hands on a redraw message addressed to this window.
  void Forget();
  // Sends the redraw message to this window, or to another window waiting,
  // when one of them exists on the screen; answers 1 when one was sent.
  static int SendRedrawMessage(KelGraphicWindow* preferred);
  static void DrawSingle();
  static void DrawMulti();
  // Each window's update event, in order, skipping windows deleted meanwhile.
  static void AnnounceUpdates(const list<KelGraphicWindow*>& windows);

  KelPressEvent _pressEvent;
  KelMotionEvent _motionEvent;
  KelReleaseEvent _releaseEvent;
  KelUpdateEvent _updateEvent;
  KelResizeEvent _resizeEvent;
  Widget _widget = nullptr;
  Display* _display = nullptr;
  Window _window = 0;
  GC _gc = nullptr;
  Atom _atomID = 0;
  Atom _atomPick = 0;
  unsigned long _drawStartTime = 0;
  int _hasLastDrawInformation = 0;
  int _destroyed = 0;
  int _pickWindowSize = 3;
  list<KelDevice*> _devices;
  KelMouseDevice* _mouseDevice = nullptr;
  KelKeyboardDevice* _keyboardDevice = nullptr;
  Kel3DViewpoint* _main3D = nullptr;
  Kel2DViewpoint* _main2D = nullptr;
  KelOverlayViewpoint* _overlay = nullptr;
  list<KelViewpoint*> _culledViewpoints;
  list<KelViewpoint*> _drawViewpoints;
  list<KelViewpoint*> _drawOrigins;  // the viewpoint each clone was made from
  float _ambient[3] = {0.0f, 0.0f, 0.0f};
  std::unique_ptr<KelColorMap> _ownColorMap;
  KelDialog* _component = nullptr;
  // The window the redraw message in the X queue was sent to.
  static KelGraphicWindow* _messageWindow;
  // The windows of the running draw jobs that have yet to announce their frame.
  static std::vector<list<KelGraphicWindow*>*> _announcing;
};

// A 3D mouse (a cap that pushes and twists along six axes) reaching a
// navigation viewer through the 3D-mouse daemon's X11 client messages
// ("MotionEvent", "ButtonPressEvent", "ButtonReleaseEvent", read with
// libspnav). Connect registers the viewer's drawing area with the daemon;
// without a daemon it answers 0, and nothing changes. The daemon sends to one
// window of the process at a time: the last one connected, or the last one
// the pointer entered.
#pragma once

class KelNavigation3DViewer;
typedef struct _WidgetRec* Widget;
typedef union _XEvent XEvent;
typedef char Boolean;
typedef void* XtPointer;

class Kel3DMouse {
 public:
  explicit Kel3DMouse(KelNavigation3DViewer* viewer);
  // Gives the daemon back the root window when this one held it.
  ~Kel3DMouse();
  Kel3DMouse(const Kel3DMouse&) = delete;
  Kel3DMouse& operator=(const Kel3DMouse&) = delete;

  // Once per drawing-area widget (a full-screen switch makes another): 1
  // when the daemon now sends its events to that widget's window.
  int Connect(Widget drawingArea);
  int IsConnected() const { return _widget != nullptr; }

 private:
  static void Receive(Widget widget, XtPointer self, XEvent* event, Boolean* goOn);
  static void Forget(Widget widget, XtPointer self, XtPointer);

  KelNavigation3DViewer* _viewer;
  Widget _tried = nullptr;     // the last widget Connect was given
  Widget _widget = nullptr;    // the widget whose events this receives
  static Kel3DMouse* _holder;  // whose window the daemon sends to
};

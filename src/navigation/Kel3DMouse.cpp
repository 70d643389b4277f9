#include <kel/navigation/Kel3DMouse.h>

#include <kel/navigation/KelNavigation3DViewer.h>

#include <X11/Intrinsic.h>
#include <X11/StringDefs.h>
#include <spnav.h>

Kel3DMouse* Kel3DMouse::_holder = nullptr;

namespace {

// libspnav keeps one connection for the process.
bool connected = false;

// Has the daemon send its events to `widget`'s window; false without one
// (its atoms or its window are missing).
bool Register(Widget widget) {
  const Window window = XtWindow(widget);
  if (!window) return false;
  if (connected) return spnav_x11_window(window) != -1;
  connected = spnav_x11_open(XtDisplay(widget), window) != -1;
  return connected;
}

}  // namespace

Kel3DMouse::Kel3DMouse(KelNavigation3DViewer* viewer) : _viewer(viewer) {}

Kel3DMouse::~Kel3DMouse() {
  if (_widget) {
    XtRemoveEventHandler(_widget, EnterWindowMask, True, &Kel3DMouse::Receive, this);
    XtRemoveCallback(_widget, XtNdestroyCallback, &Kel3DMouse::Forget, this);
  }
  if (_holder != this) return;
  _holder = nullptr;
  spnav_close();
  connected = false;
}

int Kel3DMouse::Connect(Widget drawingArea) {
  if (!drawingArea || drawingArea == _tried) return IsConnected();
  _tried = drawingArea;
  if (!Register(drawingArea)) return 0;
  _holder = this;
  _widget = drawingArea;
  // Client messages are not maskable: they come with the enter events.
  XtAddEventHandler(drawingArea, EnterWindowMask, True, &Kel3DMouse::Receive, this);
  XtAddCallback(drawingArea, XtNdestroyCallback, &Kel3DMouse::Forget, this);
  return 1;
}

void Kel3DMouse::Forget(Widget, XtPointer self, XtPointer) {
  // The widget takes its handlers with it (a full-screen switch makes another).
  auto* mouse = static_cast<Kel3DMouse*>(self);
  mouse->_widget = mouse->_tried = nullptr;
}

void Kel3DMouse::Receive(Widget widget, XtPointer self, XEvent* event, Boolean*) {
  auto* mouse = static_cast<Kel3DMouse*>(self);
  if (event->type == EnterNotify) {
    if (_holder != mouse && Register(widget)) _holder = mouse;
    return;
  }
  spnav_event received;
  switch (spnav_x11_event(event, &received)) {
    case SPNAV_EVENT_MOTION: {
      const int translation[3] = {received.motion.x, received.motion.y, received.motion.z};
      const int rotation[3] = {received.motion.rx, received.motion.ry, received.motion.rz};
      mouse->_viewer->Interpret3DMouseMotion(translation, rotation, received.motion.period);
      break;
    }
    case SPNAV_EVENT_BUTTON:
      mouse->_viewer->Interpret3DMouseButton(received.button.bnum, received.button.press);
      break;
    default:
      break;
  }
}

#include <kel/navigation/Kel3DMouse.h>

#include <kel/navigation/KelNavigation3DViewer.h>

#include <X11/Intrinsic.h>
#include <spnav.h>

Kel3DMouse* Kel3DMouse::_holder = nullptr;

namespace {

// libspnav keeps one connection for the process.
bool open = false;

}  // namespace

Kel3DMouse::Kel3DMouse(KelNavigation3DViewer* viewer) : _viewer(viewer) {}

Kel3DMouse::~Kel3DMouse() {
  if (_widget) XtRemoveEventHandler(_widget, EnterWindowMask, True, &Kel3DMouse::Receive, this);
  if (_holder != this) return;
  _holder = nullptr;
  spnav_close();
  open = false;
}

int Kel3DMouse::Connect(Widget drawingArea) {
  if (!drawingArea || drawingArea == _tried) return IsConnected();
  _tried = drawingArea;
  // The old widget went with its handlers.
  _widget = nullptr;
  const Window window = XtWindow(drawingArea);
  if (!window) return 0;
  if (!open) {
    // Without a daemon its atoms or its window are missing: this fails.
    if (spnav_x11_open(XtDisplay(drawingArea), window) == -1) return 0;
    open = true;
  } else if (spnav_x11_window(window) == -1) {
    return 0;
  }
  _holder = this;
  _widget = drawingArea;
  // Client messages are not maskable: they come with the enter events.
  XtAddEventHandler(drawingArea, EnterWindowMask, True, &Kel3DMouse::Receive, this);
  return 1;
}

void Kel3DMouse::Receive(Widget widget, XtPointer self, XEvent* event, Boolean*) {
  auto* mouse = static_cast<Kel3DMouse*>(self);
  if (event->type == EnterNotify) {
    if (_holder != mouse && open && spnav_x11_window(XtWindow(widget)) != -1) _holder = mouse;
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

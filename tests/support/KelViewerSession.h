// Viewer sessions of the x11 tests: a document showing one KelViewer, the
// interaction notifications its manipulators send, and raw device events
// handed to it as the graphic window hands X input (with time stamps the test
// chooses); and, without a display, a viewer on the recording driver whose
// manipulators are fed scripted events.
#pragma once

#include <kel/framework/KelCommand.h>
#include <kel/framework/KelEventSubscriber.h>
#include <kel/framework/Kelpoint2f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/picking/KelPickPath.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewerEvent.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Kel2DViewpoint;
class Kel3DBagRep;
class Kel3DViewpoint;
class KelDialog;
class KelDlgDocument;
class KelRep;
class KelString;
class KelViewer;
typedef struct _WidgetRec* Widget;

namespace keltest {

// The father command of the test's manipulators: it records every
// interaction notification that reaches it.
class NotificationLog : public KelCommand {
 public:
  struct Entry {
    std::string text;      // "<manipulator name>:<notification class>"
    std::string cause;     // class of the cause, "" without one
    Kelpoint2f position;   // of the cause's mouse event, when it has one
    Kelpoint3f nearPoint;  // of a KelIndicateEvent cause
    Kelpoint3f farPoint;
  };

  NotificationLog();
  void Record(KelCommand* sender, KelNotification* notification, void*);
  // Runs the event loop until `text` has been recorded `count` times.
  bool WaitFor(const std::string& text, int count = 1);
  int Count(const std::string& text) const;
  std::vector<std::string> Texts() const;
  const Entry* Last(const std::string& text) const;

  std::vector<Entry> entries;
};

// Makes the viewer of a session under `father` (a KelViewer when none is
// given): a 2D or 3D viewer, with its creation flags.
using ViewerFactory =
    std::function<KelViewer*(KelDialog* father, const KelString& name, int width, int height)>;
// The factory of a viewer of class `V` built with the creation flags `flags`.
template <class V, int flags = 0>
KelViewer* MakeViewer(KelDialog* father, const KelString& name, int width, int height) {
  return new V(father, name, 0, width, height, flags);
}

// The father of 3D manipulators that move a bag, as an application is: at
// the start of a drag it gives the manipulator the bag's matrix as the object
// position, and it gives the bag every matrix the manipulator sends, then asks
// `viewer` (when given) to redraw.
class BagMover : public KelCommand {
 public:
  explicit BagMover(Kel3DBagRep* bag, KelViewer* viewer = nullptr);
  void Began(KelCommand* sender, KelNotification* notification, void*);
  void Moved(KelCommand* sender, KelNotification* notification, void*);

  Kel3DBagRep* bag;
  KelViewer* viewer;
};

// A document "<name>Document" holding the viewer `name` of that drawing
// size, shown, its first frame drawn (unless `wait` is false: then call
// WaitReady once the scene is set).
class ViewerSession : public KelEventSubscriber {
 public:
  ViewerSession(const char* name, int width, int height, bool wait = true,
                const ViewerFactory& make = nullptr);
  ~ViewerSession() override;
  ViewerSession(const ViewerSession&) = delete;
  ViewerSession& operator=(const ViewerSession&) = delete;

  // Whether the viewer exists and drew its first frame.
  bool Ready() const { return _ready; }
  bool WaitReady();
  KelViewer* viewer = nullptr;
  KelDlgDocument* document = nullptr;

  // "VIEWER_UPDATE"s so far, and waiting for `count` more.
  int Updates() const { return _updates; }
  bool WaitUpdates(int count = 1);
  Widget Area() const;  // the graphic window's widget
  // Gives the drawing area the keyboard.
  void Focus();

  // Raw events of the window's mouse and keyboard, through "DEVICE_ACTION".
  void Press(int button, unsigned long stamp);
  void Release(int button, unsigned long stamp);
  void Motion(float x, float y, unsigned long stamp);
  void Key(int key, bool press, unsigned long stamp);

  void Updated(const char*, KelCallbackManager*, KelNotification*, void*, long);

 private:
  void Send(KelNotification& event);
  int _updates = 0;
  bool _ready = false;
};

// The base of the x11 tests of one viewer session: the display is required,
// the interactive state and the pointer start at rest, and a test leaves no
// X error behind. Objects of the fixture that outlive the session go in
// Close(), which runs once the session is closed.
class ViewerX11Test : public testing::Test {
 protected:
  // Requires the display, counts X errors, puts the state and pointer at
  // rest; false when there is no display (the test is then skipped or failed).
  bool Start();
  // Start(), then `session` with its first frame drawn; false otherwise.
  bool Open(const char* name, int width, int height, const ViewerFactory& make = nullptr);
  void TearDown() override;
  virtual void Close() {}

  // The main 3D camera at (0, 0, 20) looking down -z, up along y, in
  // parallel projection framed on the scene, centred on x = y = 0.
  void LookDownZ();
  // The window pixel showing a model point through the main 3D camera.
  Kelpoint2f Pixel(const Kelpoint3f& model) const;
  // The real pointer and buttons over the drawing area; what they cause is
  // handled before these return.
  void PointerTo(float x, float y);
  void PointerTo(const Kelpoint2f& p) { PointerTo(p.x, p.y); }
  void Button(int button, bool press);

  int errorsBefore = 0;
  std::unique_ptr<ViewerSession> session;
};

// A viewer for dragging manipulators without a window on the screen: its
// graphic window is the recording driver's, of a size the test chooses, and
// its main 3D camera looks down -z from (0, 0, 20) in parallel projection,
// up along y, so that a window pixel maps to model x and y by hand:
//   x = (px - W / 2) * Ratio() / PixelsPerUnit(),  y = (H / 2 - py) / PixelsPerUnit()
// where PixelsPerUnit() = zoom * H / 10 (a view 10 units high at zoom 1).
// The main 2D camera shows one model unit per half window height about its
// centre. Device events are made here and live as long as the fixture.
// `make` makes another kind of viewer (a father of null is given).
class DragViewer {
 public:
  DragViewer(int width = 200, int height = 100, const ViewerFactory& make = nullptr);
  ~DragViewer();
  DragViewer(const DragViewer&) = delete;
  DragViewer& operator=(const DragViewer&) = delete;

  // The recording driver loaded and the viewer made.
  bool Ready() const { return viewer != nullptr; }
  void SetZoom(float zoom);
  float PixelsPerUnit() const;
  // The graphic window's pixel width-to-height ratio (1 without a display).
  float Ratio() const;
  // The pixel showing model point (x, y) of the 3D camera.
  Kelpoint2f Pixel(float x, float y) const;

  // A mouse at pixel (x, y) with `modifiers`; its pick path, in `viewpoint`
  // (the main 3D one by default), holds `rep` hit at `hit`, or nothing.
  KelViewerEvent& Mouse(const Kelpoint2f& pixel, KelRep* rep = nullptr,
                        const Kelpoint3f& hit = Kelpoint3f(), int modifiers = 0,
                        KelViewpoint* viewpoint = nullptr);
  // A key of the keyboard device's table, on the same pick path.
  KelViewerEvent& Key(int key, KelRep* rep = nullptr);

  KelViewer* viewer = nullptr;
  Kel3DViewpoint* viewpoint3D = nullptr;
  Kel2DViewpoint* viewpoint2D = nullptr;

 private:
  struct Step {
    explicit Step(KelViewpoint* v) : path(v) {}
    KelMouseEvent mouse;
    KelKeyboardEvent key;
    KelPickPath path;
    KelViewerEvent event;
  };
  Step& NewStep(KelRep* rep, KelViewpoint* viewpoint);

  int _width, _height;
  std::deque<Step> _steps;
};

}  // namespace keltest

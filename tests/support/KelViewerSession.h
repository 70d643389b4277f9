// Viewer sessions of the x11 tests: a document showing one KelViewer, the
// interaction notifications its manipulators send, and raw device events
// handed to it as the graphic window hands X input (with time stamps the test
// chooses).
#pragma once

#include <kel/framework/KelCommand.h>
#include <kel/framework/KelEventSubscriber.h>
#include <kel/framework/Kelpoint2f.h>
#include <kel/framework/Kelpoint3f.h>

#include <functional>
#include <string>
#include <vector>

class KelDialog;
class KelDlgDocument;
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
  int _updates = 0;
  bool _ready = false;
};

}  // namespace keltest

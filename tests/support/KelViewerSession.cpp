#include "KelViewerSession.h"

#include <kel/controller/KelVueNotification.h>
#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelDlgDocument.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelIndicateEvent.h>
#include <kel/viewers/KelKeyboardDevice.h>
#include <kel/viewers/KelMouseDevice.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewers/KelViewerEvent.h>

#include <string>

#include "KelXInput.h"

namespace keltest {

NotificationLog::NotificationLog() : KelCommand(KelString("notificationLog")) {
  AddAnalyseNotificationCB(nullptr, "KelManipulatorNotification", &NotificationLog::Record,
                           nullptr);
}

void NotificationLog::Record(KelCommand* sender, KelNotification* notification, void*) {
  Entry e;
  e.text =
      std::string(sender ? sender->GetName().CastToCharPtr() : "?") + ":" + notification->IsA();
  auto* vue = dynamic_cast<KelVueNotification*>(notification);
  KelNotification* cause = vue ? vue->GetDataNotification() : nullptr;
  if (cause) {
    e.cause = cause->IsA();
    if (auto* viewerEvent = dynamic_cast<KelViewerEvent*>(cause))
      if (auto* mouse = dynamic_cast<KelMouseEvent*>(viewerEvent->GetDeviceEvent()))
        e.position = mouse->GetPosition();
    if (auto* indicate = dynamic_cast<KelIndicateEvent*>(cause)) {
      e.nearPoint = indicate->GetNearPoint();
      e.farPoint = indicate->GetFarPoint();
    }
  }
  entries.push_back(e);
}

bool NotificationLog::WaitFor(const std::string& text, int count) {
  return PumpUntil([&] { return Count(text) >= count; }, 10000);
}

int NotificationLog::Count(const std::string& text) const {
  int n = 0;
  for (const Entry& e : entries) n += e.text == text;
  return n;
}

std::vector<std::string> NotificationLog::Texts() const {
  std::vector<std::string> texts;
  for (const Entry& e : entries) texts.push_back(e.text);
  return texts;
}

const NotificationLog::Entry* NotificationLog::Last(const std::string& text) const {
  for (auto e = entries.rbegin(); e != entries.rend(); ++e)
    if (e->text == text) return &*e;
  return nullptr;
}

ViewerSession::ViewerSession(const char* name, int width, int height, bool wait,
                             const ViewerFactory& make) {
  if (!TestDisplay()) return;
  document = new KelDlgDocument(nullptr, KelString((std::string(name) + "Document").c_str()));
  viewer = make ? make(document, KelString(name), width, height)
                : new KelViewer(document, KelString(name), 0, width, height, 0);
  viewer->AttachOnSides();
  AddCallback(viewer->GetCallbackManager(), KelViewer::VIEWER_UPDATE(), &ViewerSession::Updated,
              nullptr);
  document->SetVisibility(2);
  if (wait) WaitReady();
}

bool ViewerSession::WaitReady() {
  _ready = viewer && viewer->GetGraphicWindow() && PumpUntil([&] { return _updates >= 1; }, 20000);
  return _ready;
}

ViewerSession::~ViewerSession() {
  delete document;  // the viewer with it
}

void ViewerSession::Updated(const char*, KelCallbackManager*, KelNotification*, void*, long) {
  ++_updates;
}

bool ViewerSession::WaitUpdates(int count) {
  const int target = _updates + count;
  return PumpUntil([&] { return _updates >= target; }, 20000);
}

Widget ViewerSession::Area() const {
  return viewer->GetGraphicWindow()->GetDrawingAreaWidget();
}

void ViewerSession::Focus() {
  Display* d = TestDisplay();
  XSetInputFocus(d, XtWindow(Area()), RevertToParent, CurrentTime);
  PumpPending();
}

void ViewerSession::Press(int button, unsigned long stamp) {
  KelGraphicWindow* w = viewer->GetGraphicWindow();
  KelPressEvent e(w->GetMouseDevice(), stamp, button);
  w->DispatchCallbacks(KelGraphicWindow::DEVICE_ACTION(), &e, nullptr);
}

void ViewerSession::Release(int button, unsigned long stamp) {
  KelGraphicWindow* w = viewer->GetGraphicWindow();
  KelReleaseEvent e(w->GetMouseDevice(), stamp, button);
  w->DispatchCallbacks(KelGraphicWindow::DEVICE_ACTION(), &e, nullptr);
}

void ViewerSession::Motion(float x, float y, unsigned long stamp) {
  KelGraphicWindow* w = viewer->GetGraphicWindow();
  KelMotionEvent e(w->GetMouseDevice(), stamp, x, y);
  w->DispatchCallbacks(KelGraphicWindow::DEVICE_ACTION(), &e, nullptr);
}

void ViewerSession::Key(int key, bool press, unsigned long stamp) {
  KelGraphicWindow* w = viewer->GetGraphicWindow();
  KelDevice* keyboard = w->GetKeyboardDevice();
  if (press) {
    KelPressEvent e(keyboard, stamp, key);
    w->DispatchCallbacks(KelGraphicWindow::DEVICE_ACTION(), &e, nullptr);
  } else {
    KelReleaseEvent e(keyboard, stamp, key);
    w->DispatchCallbacks(KelGraphicWindow::DEVICE_ACTION(), &e, nullptr);
  }
}

}  // namespace keltest

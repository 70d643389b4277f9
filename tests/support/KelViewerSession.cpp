#include "KelViewerSession.h"

#include <kel/controller/KelVueNotification.h>
#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelDlgDocument.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelVue.h>
#include <kel/manipulators/Kel3DManipulator.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelIndicateEvent.h>
#include <kel/viewers/KelKeyboardDevice.h>
#include <kel/viewers/KelMouseDevice.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewers/KelViewerEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <string>

#include "KelTestDriver.h"
#include "KelTestEnv.h"
#include "KelXInput.h"
#include "KelXSession.h"

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

BagMover::BagMover(Kel3DBagRep* b, KelViewer* v)
    : KelCommand(KelString("bagMover")), bag(b), viewer(v) {
  AddAnalyseNotificationCB(nullptr, KelManipulator::GetKelBeginManipulate(), &BagMover::Began,
                           nullptr);
  AddAnalyseNotificationCB(nullptr, KelManipulator::GetKelManipulate(), &BagMover::Moved, nullptr);
}

void BagMover::Began(KelCommand* sender, KelNotification*, void*) {
  auto* m = dynamic_cast<Kel3DManipulator*>(sender);
  if (m) m->SetObjectPosition(bag->GetMatrix() ? *bag->GetMatrix() : Kel4x4Matrix());
}

void BagMover::Moved(KelCommand* sender, KelNotification* notification, void*) {
  auto* m = static_cast<KelManipulator*>(sender);
  auto* matrix = static_cast<Kel4x4Matrix*>(
      m->SendCommandSpecificObject(Kel4x4Matrix::ClassName(), notification));
  if (!matrix) return;
  bag->SetMatrix(*matrix);
  if (viewer) viewer->Draw();
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

void ViewerSession::Send(KelNotification& event) {
  viewer->GetGraphicWindow()->DispatchCallbacks(KelGraphicWindow::DEVICE_ACTION(), &event, nullptr);
}

void ViewerSession::Press(int button, unsigned long stamp) {
  KelPressEvent e(viewer->GetGraphicWindow()->GetMouseDevice(), stamp, button);
  Send(e);
}

void ViewerSession::Release(int button, unsigned long stamp) {
  KelReleaseEvent e(viewer->GetGraphicWindow()->GetMouseDevice(), stamp, button);
  Send(e);
}

void ViewerSession::Motion(float x, float y, unsigned long stamp) {
  KelMotionEvent e(viewer->GetGraphicWindow()->GetMouseDevice(), stamp, x, y);
  Send(e);
}

void ViewerSession::Key(int key, bool press, unsigned long stamp) {
  KelDevice* keyboard = viewer->GetGraphicWindow()->GetKeyboardDevice();
  KelPressEvent down(keyboard, stamp, key);
  KelReleaseEvent up(keyboard, stamp, key);
  Send(press ? static_cast<KelNotification&>(down) : up);
}

DragViewer::DragViewer(int width, int height, const ViewerFactory& make)
    : _width(width), _height(height) {
  if (!LoadTestDriver()) return;
  viewer = make ? make(nullptr, KelString("dragViewer"), width, height)
                : new KelViewer(nullptr, KelString("dragViewer"), 0, width, height, 0);
  if (!viewer->GetGraphicWindow()) {
    delete viewer;
    viewer = nullptr;
    return;
  }
  viewpoint3D = viewer->GetMain3DViewpoint();
  viewpoint3D->SetProjectionType(PARALLEL_PROJECTION);
  viewpoint3D->Set(Kelpoint3f(0, 0, 20), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  viewpoint3D->SetAngle(45.0f);
  viewpoint3D->SetFocus(5.0f);
  SetZoom(1.0f);
  viewpoint2D = viewer->GetMain2DViewpoint();
  viewpoint2D->SetZoomType(ZOOM_WINDOW_HEIGHT);
  viewpoint2D->SetOrigin(Kelpoint2f(0, 0));
  viewpoint2D->SetZoom(1.0f);
}

DragViewer::~DragViewer() {
  delete viewer;
}

void DragViewer::SetZoom(float zoom) {
  viewpoint3D->SetZoom(zoom);
}

float DragViewer::PixelsPerUnit() const {
  // Half the view's height is focus * tan(45) / zoom = 5 / zoom units.
  return viewpoint3D->GetZoom() * static_cast<float>(_height) / 10.0f;
}

float DragViewer::Ratio() const {
  return viewer->GetGraphicWindow()->GetRatioWH();
}

Kelpoint2f DragViewer::Pixel(float x, float y) const {
  return Kelpoint2f(0.5f * _width + x * PixelsPerUnit() / Ratio(),
                    0.5f * _height - y * PixelsPerUnit());
}

DragViewer::Step& DragViewer::NewStep(KelRep* rep, KelViewpoint* viewpoint) {
  Step& s = _steps.emplace_back(viewpoint ? viewpoint : viewpoint3D);
  if (rep) s.path.Load(rep);
  s.event.SetViewer(viewer);
  s.event.SetPickPath(&s.path);
  s.event.SetPickPathUnder(&s.path);
  return s;
}

KelViewerEvent& DragViewer::Mouse(const Kelpoint2f& pixel, KelRep* rep, const Kelpoint3f& hit,
                                  int modifiers, KelViewpoint* viewpoint) {
  Step& s = NewStep(rep, viewpoint);
  s.path.SetIntersection(hit);
  s.mouse.SetPosition(pixel);
  s.mouse.SetModifiers(modifiers);
  s.event.SetDeviceEvent(&s.mouse);
  return s.event;
}

KelViewerEvent& DragViewer::Key(int key, KelRep* rep) {
  Step& s = NewStep(rep, nullptr);
  s.key.SetKey(key);
  s.event.SetDeviceEvent(&s.key);
  return s.event;
}

bool ViewerX11Test::Start() {
  [] { KEL_REQUIRE(TestDisplay() != nullptr, "an X display"); }();
  if (!TestDisplay()) return false;
  errorsBefore = KelDlgICC::GetXErrorCount();
  KelVue::SetInteractiveState(0);
  keltest::PointerTo(0, 0);
  return true;
}

bool ViewerX11Test::Open(const char* name, int width, int height, const ViewerFactory& make) {
  if (!Start()) return false;
  session = std::make_unique<ViewerSession>(name, width, height, true, make);
  EXPECT_TRUE(session->Ready()) << "no first frame";
  return session->Ready();
}

void ViewerX11Test::TearDown() {
  session.reset();
  Close();
  if (TestDisplay()) {
    Settle();
    EXPECT_EQ(KelDlgICC::GetXErrorCount(), errorsBefore) << "X errors";
  }
}

void ViewerX11Test::LookDownZ() {
  KelViewer* viewer = session->viewer;
  Kel3DViewpoint* v = viewer->GetMain3DViewpoint();
  v->Set(Kelpoint3f(0, 0, 20), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  v->SetProjectionType(PARALLEL_PROJECTION);
  float w = 0, h = 0;
  viewer->GetGraphicSize(&w, &h);
  v->Reframe(w, h, viewer->GetMMInSupportUnit(), viewer->GetGraphicWindow()->GetRatioWH());
  v->Set(Kelpoint3f(0, 0, 20), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
}

Kelpoint2f ViewerX11Test::Pixel(const Kelpoint3f& model) const {
  KelViewer* viewer = session->viewer;
  float w = 0, h = 0;
  viewer->GetGraphicSize(&w, &h);
  Kelpoint2f p;
  viewer->GetMain3DViewpoint()->ComputePixelFromModel(model, p, w, h, viewer->GetMMInSupportUnit(),
                                                      viewer->GetGraphicWindow()->GetRatioWH());
  return p;
}

void ViewerX11Test::PointerTo(float x, float y) {
  keltest::PointerTo(session->Area(), static_cast<int>(x), static_cast<int>(y));
  Settle();
}

void ViewerX11Test::Button(int button, bool press) {
  press ? PressButton(button) : ReleaseButton(button);
  Settle();
}

}  // namespace keltest

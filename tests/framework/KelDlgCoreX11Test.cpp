// The toolkit's windows, frames and hosted widgets on a real X server: when
// creation and resizes are told, where the grid puts children, full screen,
// moving a hosted widget between windows, closing and destruction.
#include <gtest/gtest.h>

#include <kel/framework/KelDlgDialog.h>
#include <kel/framework/KelDlgFrame.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelDlgMotif.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/framework/KelDlgWindow.h>

#include <X11/IntrinsicP.h>
#include <Xm/DrawingA.h>

#include <map>
#include <string>
#include <vector>

#include "KelDlgRecorder.h"
#include "KelTestEnv.h"
#include "KelXInput.h"

namespace {

using keltest::DlgRecorder;
const char* CREATE = KelDlgNotification::DLG_CREATE();
const char* RESIZE = KelDlgNotification::DLG_RESIZE();

class DlgCore : public ::testing::Test {
 protected:
  void SetUp() override {
    KEL_REQUIRE(keltest::TestDisplay(), "an X display");
    _errors = KelDlgICC::GetXErrorCount();
    _warnings = KelDlgICC::GetWarningCount();
    Display* display = keltest::TestDisplay();
    screenWidth = DisplayWidth(display, DefaultScreen(display));
    screenHeight = DisplayHeight(display, DefaultScreen(display));
  }
  void TearDown() override {
    if (!keltest::TestDisplay()) return;
    keltest::PumpPending();
    EXPECT_EQ(KelDlgICC::GetXErrorCount(), _errors) << "X errors";
    EXPECT_EQ(KelDlgICC::GetWarningCount(), _warnings) << "toolkit warnings";
  }
  int _errors = 0, _warnings = 0, screenWidth = 0, screenHeight = 0;
};

// Geometry of a widget's X window as the server has it.
struct Geometry {
  int x, y, width, height;
  Window parent;
};
Geometry ServerGeometry(Widget w) {
  Display* display = XtDisplay(w);
  Window root, parent, *children = nullptr;
  unsigned count = 0, width = 0, height = 0, border = 0, depth = 0;
  int x = 0, y = 0;
  XGetGeometry(display, XtWindow(w), &root, &x, &y, &width, &height, &border, &depth);
  XQueryTree(display, XtWindow(w), &root, &parent, &children, &count);
  if (children) XFree(children);
  return {x, y, static_cast<int>(width), static_cast<int>(height), parent};
}

std::vector<int> Rect(const KelDialog* d) {
  int x = 0, y = 0, w = 0, h = 0;
  d->GetRectDimensions(x, y, w, h);
  return {x, y, w, h};
}

TEST_F(DlgCore, CreationIsToldFromTheLoopFatherFirstAndTheHostedWidgetFillsItsPlace) {
  DlgRecorder recorder;
  auto* window = new KelDlgWindow(&recorder, "window");
  auto* frame = new KelDlgFrame(window, "frame");
  auto* area = new KelDlgMotif(frame, "MotifObject", 0, 1, 1, 200, 150);
  window->SetVisibility(KelDlgShown);
  // An analyser set after the constructors still hears the creation, which
  // carries the size the window's layout gave.
  EXPECT_EQ(recorder.Count(CREATE), 0);
  ASSERT_TRUE(recorder.WaitFor(CREATE, "MotifObject"));
  std::vector<std::string> creations;
  for (const std::string& e : recorder.Sequence())
    if (e.find(CREATE) != std::string::npos) creations.push_back(e);
  EXPECT_EQ(creations, (std::vector<std::string>{"recorder:DLG_CREATE", "window:DLG_CREATE",
                                                 "frame:DLG_CREATE", "MotifObject:DLG_CREATE"}));
  // Placed at (1, 1) in the frame, by its rectangle.
  EXPECT_EQ(recorder.Last(CREATE, "frame")->width, 201);
  EXPECT_EQ(recorder.Last(CREATE, "MotifObject")->width, 200);
  EXPECT_EQ(recorder.Last(CREATE, "MotifObject")->height, 150);

  Widget own = XtVaCreateManagedWidget("own", xmDrawingAreaWidgetClass, area->GetFatherWidget(),
                                       XmNwidth, 10, XmNheight, 10, nullptr);
  ASSERT_TRUE(keltest::WaitViewable(own));
  const Geometry g = ServerGeometry(own);
  EXPECT_EQ(g.width, 200);
  EXPECT_EQ(g.height, 150);
  EXPECT_EQ(g.parent, XtWindow(area->GetFatherWidget()));
  delete window;
}

TEST_F(DlgCore, GridPlacesByTabulationsAndStretchedChildrenFollowResizes) {
  DlgRecorder recorder;
  auto* window = new KelDlgWindow(&recorder, "window");
  window->SetRectDimensions(0, 0, 400, 300);
  // Natural sizes are the rectangles'; the panel has margins of 6 and a
  // spacing of 4.
  auto* a = new KelDlgMotif(window, "a", 0, 0, 0, 50, 20);
  auto* b = new KelDlgMotif(window, "b", 0, 0, 0, 70, 30);
  auto* c = new KelDlgMotif(window, "c", 0, 0, 0, 40, 40);
  auto* d = new KelDlgMotif(window, "d", 0, 100, 200, 30, 10);
  a->SetHorizontalAttachment(1, KelDlgAttachTab);
  a->SetVerticalAttachment(1, KelDlgAttachTab);
  b->SetHorizontalAttachment(2, KelDlgAttachTab, 3, KelDlgAttachStretch);
  b->SetVerticalAttachment(1, KelDlgAttachTab);
  c->SetHorizontalAttachment(1, KelDlgAttachTab);
  c->SetVerticalAttachment(2, KelDlgAttachTab, 3, KelDlgAttachStretch);
  window->SetVisibility(KelDlgShown);
  ASSERT_TRUE(keltest::WaitViewable(b->GetWidget()));
  ASSERT_TRUE(recorder.WaitFor(CREATE, "d"));

  EXPECT_EQ(Rect(window), (std::vector<int>{0, 0, 400, 300}));
  EXPECT_EQ(Rect(a), (std::vector<int>{6, 6, 50, 20}));
  EXPECT_EQ(Rect(b), (std::vector<int>{6 + 50 + 4, 6, 400 - 6 - 60, 30}));
  EXPECT_EQ(Rect(c), (std::vector<int>{6, 6 + 30 + 4, 40, 300 - 6 - 40}));
  EXPECT_EQ(Rect(d), (std::vector<int>{100, 200, 30, 10}));
  const Geometry server = ServerGeometry(b->GetWidget());
  EXPECT_EQ(server.x, 60);
  EXPECT_EQ(server.width, 334);

  recorder.events.clear();
  window->SetRectDimensions(0, 0, 500, 260);
  ASSERT_TRUE(recorder.WaitFor(RESIZE, "b"));
  ASSERT_TRUE(recorder.WaitFor(RESIZE, "window"));
  EXPECT_EQ(Rect(b), (std::vector<int>{60, 6, 434, 30}));
  EXPECT_EQ(Rect(c), (std::vector<int>{6, 40, 40, 260 - 6 - 40}));
  EXPECT_EQ(Rect(a), (std::vector<int>{6, 6, 50, 20}));
  EXPECT_EQ(recorder.Count(RESIZE, "a"), 0);
  for (const keltest::DlgEvent& e : recorder.events)
    if (e.notification == RESIZE && e.dialog == "b") {
      EXPECT_EQ(e.width, 434);
      EXPECT_EQ(e.height, 30);
    }
  delete window;
}

TEST_F(DlgCore, FullScreenCoversTheScreenAndGivesTheWindowBack) {
  DlgRecorder recorder;
  auto* window = new KelDlgWindow(&recorder, "window");
  auto* area = new KelDlgMotif(window, "area", 0, 0, 0, 20, 20);
  area->AttachOnSides();
  window->SetRectDimensions(30, 40, 300, 200);
  window->SetVisibility(KelDlgShown);
  ASSERT_TRUE(keltest::WaitViewable(window->GetWidget()));
  ASSERT_TRUE(recorder.WaitFor(CREATE, "area"));

  window->SetFullScreen();
  ASSERT_TRUE(recorder.WaitFor(RESIZE, "area"));
  EXPECT_EQ(Rect(window), (std::vector<int>{0, 0, screenWidth, screenHeight}));
  const Geometry server = ServerGeometry(window->GetWidget());
  EXPECT_EQ(server.width, screenWidth);
  EXPECT_EQ(server.height, screenHeight);
  EXPECT_EQ(Rect(area), (std::vector<int>{6, 6, screenWidth - 12, screenHeight - 12}));

  window->SetFullScreen(0);
  ASSERT_TRUE(recorder.WaitFor(RESIZE, "area", 2));
  EXPECT_EQ(Rect(window), (std::vector<int>{30, 40, 300, 200}));
  EXPECT_EQ(Rect(area), (std::vector<int>{6, 6, 288, 188}));
  delete window;
}

// What a viewer does to go full screen and back: its drawing area moves into
// a full-screen dialog and returns, its X window alive all along.
TEST_F(DlgCore, HostedWidgetGoesFullScreenInADialogAndComesBack) {
  DlgRecorder recorder;
  auto* window = new KelDlgWindow(&recorder, "window");
  auto* area = new KelDlgMotif(window, "MotifObject", 0, 0, 0, 120, 90);
  Widget own =
      XtVaCreateManagedWidget("own", xmDrawingAreaWidgetClass, area->GetFatherWidget(), nullptr);
  window->SetVisibility(KelDlgShown);
  ASSERT_TRUE(keltest::WaitViewable(own));
  const Window ownWindow = XtWindow(own);

  auto* dialog =
      new KelDlgDialog(KelDialog::GetFatherWindow(area), "viewer", KelDlgFullScreenDialog);
  auto* placeholder = new KelDlgPushButton(dialog, "xxx");
  placeholder->AttachOnSides();
  dialog->SetVisibility(KelDlgShown);
  ASSERT_TRUE(keltest::WaitViewable(dialog->GetWidget()));
  ASSERT_EQ(area->Reparent(dialog), 1);
  placeholder->ResetAttachments();
  placeholder->RequestDelayedDestruction();
  area->AttachOnSides();
  dialog->SetFullScreen();
  EXPECT_EQ(area->GetFatherDialog(), dialog);
  EXPECT_EQ(area->GetFather(), dialog);
  ASSERT_TRUE(keltest::PumpUntil([&] { return ServerGeometry(own).width == screenWidth; }));
  Geometry g = ServerGeometry(own);
  EXPECT_EQ(XtWindow(own), ownWindow);
  EXPECT_EQ(g.height, screenHeight);
  EXPECT_EQ(g.parent, XtWindow(area->GetWidget()));
  EXPECT_EQ(area->GetFatherWidget(), XtParent(own));
  EXPECT_EQ(dialog->GetDialogCount(), 1);

  ASSERT_EQ(area->Reparent(window), 1);
  area->ResetAttachments();
  dialog->RequestDelayedDestruction();
  ASSERT_TRUE(keltest::PumpUntil([&] { return ServerGeometry(own).width == 120; }));
  g = ServerGeometry(own);
  EXPECT_EQ(g.parent, XtWindow(area->GetFatherWidget()));
  EXPECT_EQ(g.height, 90);
  EXPECT_EQ(window->GetDialogCount(), 1);
  keltest::PumpPending();
  EXPECT_TRUE(XtIsRealized(own));
  EXPECT_EQ(area->Reparent(area), 0);
  delete window;
}

int framesAlive = 0;
class CountedFrame : public KelDlgFrame {
 public:
  CountedFrame(KelDialog* father, const char* name) : KelDlgFrame(father, name) { ++framesAlive; }
  ~CountedFrame() override { --framesAlive; }
};

// A window that asks for its own destruction when the user closes it.
class ClosingWindow : public KelDlgWindow {
 public:
  explicit ClosingWindow(KelDialog* father) : KelDlgWindow(father, "closing") {
    AddAnalyseNotificationCB(this, KelDlgNotification::DLG_CLOSE(), &ClosingWindow::Close, nullptr);
  }
  void Close(KelCommand*, KelNotification*, void*) { RequestDelayedDestruction(); }
};

TEST_F(DlgCore, ClosingAWindowDestroysItsChildrenAndTheirXResourcesOrHidesIt) {
  auto cycle = [] {
    DlgRecorder recorder;
    auto* window = new ClosingWindow(&recorder);
    auto* outer = new CountedFrame(window, "outer");
    new CountedFrame(outer, "inner");
    new KelDlgMotif(outer, "area", 0, 0, 0, 30, 30);
    window->SetVisibility(KelDlgShown);
    ASSERT_TRUE(keltest::WaitViewable(outer->GetWidget()));
    EXPECT_EQ(framesAlive, 2);
    // Closed by the window manager protocol: the analyser's request takes
    // effect once the notification has been handled.
    keltest::RequestClose(window->GetWidget());
    ASSERT_TRUE(keltest::PumpUntil([] { return framesAlive == 0; }));
    EXPECT_EQ(recorder.GetDialogCount(), 0);
  };
  // The first round fills Motif's shared caches (GCs, colours); the next
  // ones must give back all they take.
  cycle();
  keltest::PumpPending();
  const std::map<std::string, int> before = keltest::OwnXResources();
  ASSERT_GT(before.at("WINDOW"), 0);
  for (int i = 0; i < 2; ++i) cycle();
  keltest::PumpPending();
  EXPECT_EQ(keltest::OwnXResources(), before);

  // Without an analyser, a closed window hides itself.
  auto* lonely = new KelDlgWindow(nullptr, "lonely");
  lonely->SetVisibility(KelDlgShown);
  ASSERT_TRUE(keltest::WaitViewable(lonely->GetWidget()));
  keltest::RequestClose(lonely->GetWidget());
  ASSERT_TRUE(keltest::PumpUntil([&] { return lonely->GetVisibility() == KelDlgHidden; }));
  delete lonely;
}

}  // namespace

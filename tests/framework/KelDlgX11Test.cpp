// The toolkit's windows and widgets on a real X server: when creation and
// resizes are told, where the grid puts children, full screen (a hosted widget
// moving into a full-screen dialog and back: the viewers' full-screen test),
// closing and destruction; widgets driven with real pointer and key events
// (XTest), the notifications that arrive and their order.
#include <gtest/gtest.h>

#include <kel/framework/KelDlgCheckButton.h>
#include <kel/framework/KelDlgCombo.h>
#include <kel/framework/KelDlgContextualMenu.h>
#include <kel/framework/KelDlgDialog.h>
#include <kel/framework/KelDlgEditor.h>
#include <kel/framework/KelDlgFrame.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelDlgMotif.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/framework/KelDlgRadioButton.h>
#include <kel/framework/KelDlgScrollBar.h>
#include <kel/framework/KelDlgSlider.h>
#include <kel/framework/KelDlgWindow.h>

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/ComboBox.h>
#include <Xm/DrawingA.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "KelDlgRecorder.h"
#include "KelTestEnv.h"
#include "KelXInput.h"
#include "KelXSession.h"

namespace {

using keltest::DlgRecorder;
using N = KelDlgNotification;
const char* CREATE = N::DLG_CREATE();
const char* RESIZE = N::DLG_RESIZE();

class Dlg : public ::testing::Test {
 protected:
  void SetUp() override {
    KEL_REQUIRE(keltest::TestDisplay(), "an X display");
    _errors = KelDlgICC::GetXErrorCount();
    _warnings = KelDlgICC::GetWarningCount();
    Display* display = keltest::TestDisplay();
    screenWidth = DisplayWidth(display, DefaultScreen(display));
    screenHeight = DisplayHeight(display, DefaultScreen(display));
    recorder = new DlgRecorder;
    window = new KelDlgWindow(recorder, "window");
  }
  void TearDown() override {
    if (!keltest::TestDisplay()) return;
    delete recorder;
    keltest::PumpPending();
    EXPECT_EQ(KelDlgICC::GetXErrorCount(), _errors) << "X errors";
    EXPECT_EQ(KelDlgICC::GetWarningCount(), _warnings) << "toolkit warnings";
  }
  // Shows the window, waits for every creation, and forgets them.
  void Show() {
    window->SetVisibility(KelDlgShown);
    ASSERT_TRUE(keltest::WaitViewable(window->GetWidget()));
    ASSERT_TRUE(keltest::PumpUntil([&] {
      int created = 0;
      for (const auto& e : recorder->events) created += e.notification == CREATE;
      return created >= CountDialogs(recorder);
    }));
    // The window manager's part: the shown window gets the keyboard.
    XSetInputFocus(XtDisplay(window->GetWidget()), XtWindow(window->GetWidget()), RevertToParent,
                   CurrentTime);
    keltest::PumpPending();
    recorder->events.clear();
  }
  static int CountDialogs(KelDialog* d) {
    int count = 1;
    for (int i = 0; i < d->GetDialogCount(); ++i) count += CountDialogs(d->GetDialog(i));
    return count;
  }
  std::vector<std::string> Sequence() const { return recorder->Sequence(); }
  DlgRecorder* recorder = nullptr;
  KelDlgWindow* window = nullptr;
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

TEST_F(Dlg, CreationIsToldFromTheLoopFatherFirstAndTheHostedWidgetFillsItsPlace) {
  auto* frame = new KelDlgFrame(window, "frame");
  auto* area = new KelDlgMotif(frame, "MotifObject", 0, 1, 1, 200, 150);
  window->SetVisibility(KelDlgShown);
  // An analyser set after the constructors still hears the creation, which
  // carries the size the window's layout gave.
  EXPECT_EQ(recorder->Count(CREATE), 0);
  ASSERT_TRUE(recorder->WaitFor(CREATE, "MotifObject"));
  std::vector<std::string> creations;
  for (const keltest::DlgEvent& e : recorder->events)
    if (e.notification == CREATE) creations.push_back(e.dialog);
  EXPECT_EQ(creations, (std::vector<std::string>{"recorder", "window", "frame", "MotifObject"}));
  // Placed at (1, 1) in the frame, by its rectangle.
  EXPECT_EQ(recorder->Last(CREATE, "frame")->width, 201);
  EXPECT_EQ(recorder->Last(CREATE, "MotifObject")->width, 200);
  EXPECT_EQ(recorder->Last(CREATE, "MotifObject")->height, 150);

  Widget own = XtVaCreateManagedWidget("own", xmDrawingAreaWidgetClass, area->GetFatherWidget(),
                                       XmNwidth, 10, XmNheight, 10, nullptr);
  ASSERT_TRUE(keltest::WaitViewable(own));
  const Geometry g = ServerGeometry(own);
  EXPECT_EQ(g.width, 200);
  EXPECT_EQ(g.height, 150);
  EXPECT_EQ(g.parent, XtWindow(area->GetFatherWidget()));
}

TEST_F(Dlg, GridPlacesByTabulationsAndStretchedChildrenFollowResizes) {
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
  ASSERT_TRUE(recorder->WaitFor(CREATE, "d"));

  EXPECT_EQ(Rect(a), (std::vector<int>{6, 6, 50, 20}));
  EXPECT_EQ(Rect(b), (std::vector<int>{6 + 50 + 4, 6, 400 - 6 - 60, 30}));
  EXPECT_EQ(Rect(c), (std::vector<int>{6, 6 + 30 + 4, 40, 300 - 6 - 40}));
  EXPECT_EQ(Rect(d), (std::vector<int>{100, 200, 30, 10}));
  const Geometry server = ServerGeometry(b->GetWidget());
  EXPECT_EQ(server.x, 60);
  EXPECT_EQ(server.width, 334);

  recorder->events.clear();
  window->SetRectDimensions(0, 0, 500, 260);
  ASSERT_TRUE(recorder->WaitFor(RESIZE, "b"));
  ASSERT_TRUE(recorder->WaitFor(RESIZE, "window"));
  EXPECT_EQ(Rect(b), (std::vector<int>{60, 6, 434, 30}));
  EXPECT_EQ(Rect(c), (std::vector<int>{6, 40, 40, 260 - 6 - 40}));
  EXPECT_EQ(Rect(a), (std::vector<int>{6, 6, 50, 20}));
  EXPECT_EQ(recorder->Count(RESIZE, "a"), 0);
  for (const keltest::DlgEvent& e : recorder->events)
    if (e.notification == RESIZE && e.dialog == "b") {
      EXPECT_EQ(e.width, 434);
      EXPECT_EQ(e.height, 30);
    }
}

TEST_F(Dlg, FullScreenCoversTheScreenAndGivesTheWindowBack) {
  auto* area = new KelDlgMotif(window, "area", 0, 0, 0, 20, 20);
  area->AttachOnSides();
  window->SetRectDimensions(30, 40, 300, 200);
  window->SetVisibility(KelDlgShown);
  ASSERT_TRUE(keltest::WaitViewable(window->GetWidget()));
  ASSERT_TRUE(recorder->WaitFor(CREATE, "area"));

  window->SetFullScreen();
  ASSERT_TRUE(recorder->WaitFor(RESIZE, "area"));
  EXPECT_EQ(Rect(window), (std::vector<int>{0, 0, screenWidth, screenHeight}));
  const Geometry server = ServerGeometry(window->GetWidget());
  EXPECT_EQ(server.width, screenWidth);
  EXPECT_EQ(server.height, screenHeight);

  // (The stretched child follows: the grid test and the viewer's full screen.)
  window->SetFullScreen(0);
  ASSERT_TRUE(recorder->WaitFor(RESIZE, "area", 2));
  EXPECT_EQ(Rect(window), (std::vector<int>{30, 40, 300, 200}));
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
    AddAnalyseNotificationCB(this, N::DLG_CLOSE(), &ClosingWindow::Close, nullptr);
  }
  void Close(KelCommand*, KelNotification*, void*) { RequestDelayedDestruction(); }
};

// A dialog that destroys itself when its Cancel button is pressed.
class SelfDestroyingDialog : public KelDlgDialog {
 public:
  explicit SelfDestroyingDialog(KelDialog* father)
      : KelDlgDialog(father, "perf", KelDlgCancelButton) {
    AddAnalyseNotificationCB(this, N::DLG_CANCEL(), &SelfDestroyingDialog::Go, nullptr);
  }
  ~SelfDestroyingDialog() override { ++destroyed; }
  void Go(KelCommand*, KelNotification*, void*) { RequestDelayedDestruction(); }
  static int destroyed;
};
int SelfDestroyingDialog::destroyed = 0;

// A window closed by the window manager protocol and a dialog destroyed from
// its own Cancel button, each asking for its destruction from its analyser.
TEST_F(Dlg, ClosedWindowsAndDialogsDestroyTheirChildrenAndGiveBackTheirXResources) {
  auto cycle = [](int round) {
    DlgRecorder document;
    auto* window = new ClosingWindow(&document);
    auto* outer = new CountedFrame(window, "outer");
    new CountedFrame(outer, "inner");
    new KelDlgMotif(outer, "area", 0, 0, 0, 30, 30);
    auto* dialog = new SelfDestroyingDialog(&document);
    auto* slider = new KelDlgSlider(dialog, "slider");
    new KelDlgCombo(dialog, "combo");
    auto* icon = new KelDlgCheckButton(dialog, "icon");
    icon->SetIconName(keltest::DataPath("icons/kel-test.xpm").c_str());
    new KelDlgEditor(dialog, "editor");
    new KelDlgContextualMenu(dialog, "menu", KelDlgPopupOnButton3);
    slider->SetVerticalAttachment(2, KelDlgAttachTab);
    window->SetVisibility(KelDlgShown);
    dialog->SetVisibility(KelDlgShown);
    Widget cancel = XtNameToWidget(dialog->GetWidget(), "*Cancel");
    ASSERT_TRUE(keltest::WaitViewable(outer->GetWidget()));
    ASSERT_TRUE(keltest::WaitViewable(cancel));
    EXPECT_EQ(framesAlive, 2);
    // The analysers' requests take effect once the notification is handled.
    keltest::Click(cancel);
    ASSERT_TRUE(keltest::PumpUntil([round] { return SelfDestroyingDialog::destroyed == round; }));
    keltest::RequestClose(window->GetWidget());
    ASSERT_TRUE(keltest::PumpUntil([] { return framesAlive == 0; }));
    EXPECT_EQ(document.GetDialogCount(), 0);
  };
  // The first round fills Motif's shared caches (GCs, colours); the next
  // ones must give back all they take.
  cycle(1);
  keltest::PumpPending();
  const std::map<std::string, int> before = keltest::OwnXResources();
  ASSERT_GT(before.at("WINDOW"), 0);
  cycle(2);
  cycle(3);
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

// The text of a widget's compound string resource.
std::string Text(Widget w, const char* resource) {
  XmString s = nullptr;
  XtVaGetValues(w, resource, &s, nullptr);
  char* text = s ? static_cast<char*>(XmStringUnparse(s, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT,
                                                      nullptr, 0, XmOUTPUT_ALL))
                 : nullptr;
  std::string result = text ? text : "";
  XtFree(text);
  XmStringFree(s);
  return result;
}

TEST_F(Dlg, RadioGroupSwitchesTheOtherOffFirstAndKeepsItsChoice) {
  auto* a = new KelDlgRadioButton(window, "a");
  auto* b = new KelDlgRadioButton(window, "b");
  b->SetVerticalAttachment(2, KelDlgAttachTab);
  a->SetVerticalAttachment(1, KelDlgAttachTab);
  a->SetState(1);
  Show();
  keltest::Click(b->GetWidget());
  ASSERT_TRUE(recorder->WaitFor(N::DLG_MODIFY(), "b"));
  EXPECT_EQ(Sequence(), (std::vector<std::string>{"a:DLG_MODIFY", "b:DLG_MODIFY"}));
  EXPECT_EQ(recorder->events[0].value, 0.0);
  EXPECT_EQ(recorder->events[1].value, 1.0);
  keltest::Click(b->GetWidget());
  keltest::Settle();
  EXPECT_EQ(recorder->events.size(), 2u);
  EXPECT_EQ(a->GetState() * 10 + b->GetState(), 1);
  a->SetState(1);
  EXPECT_EQ(a->GetState() * 10 + b->GetState(), 10);
}

// What the user does is reported, with the new state (the navigation viewer's
// style combo is picked by the pointer in its tests, the panel example's field
// typed into); what the program does shows, but is not reported back.
TEST_F(Dlg, UserChangesAreReportedProgramOnesOnlyShown) {
  auto* check = new KelDlgCheckButton(window, "check");
  auto* combo = new KelDlgCombo(window, "NavigationStyle");
  auto* editor = new KelDlgEditor(window, "editor");
  combo->SetVerticalAttachment(2, KelDlgAttachTab);
  editor->SetVerticalAttachment(3, KelDlgAttachTab);
  combo->SetLines({"Examine", "Walk", "Fly"});
  combo->SetSelect(1);
  Show();
  EXPECT_EQ(Text(combo->GetWidget(), XmNselectedItem), "Walk");
  keltest::Click(check->GetWidget());
  ASSERT_TRUE(recorder->WaitFor(N::DLG_MODIFY(), "check"));
  keltest::Click(check->GetWidget());
  ASSERT_TRUE(recorder->WaitFor(N::DLG_MODIFY(), "check", 2));
  EXPECT_EQ(recorder->events[0].value, 1.0);
  EXPECT_EQ(recorder->events[1].value, 0.0);
  check->SetState(1);
  combo->SetSelect(2);
  editor->SetText("set");
  keltest::Settle();
  EXPECT_TRUE(XmToggleButtonGetState(check->GetWidget()));
  EXPECT_EQ(Text(combo->GetWidget(), XmNselectedItem), "Fly");
  EXPECT_EQ(recorder->events.size(), 2u);
}

TEST_F(Dlg, SliderDragsThenModifiesInUnitsOfItsDecimals) {
  auto* slider = new KelDlgSlider(window, "VisuPerfoLodSlider", KelDlgHorizontal);
  slider->SetDecimals(1);
  slider->SetRange(0.5, 50.0, 100);
  slider->SetValue(0.5);
  slider->SetRectDimensions(0, 0, 300, 0);
  Show();
  Widget bar = XtNameToWidget(slider->GetWidget(), "*Scrollbar");
  ASSERT_NE(bar, nullptr);
  // The thumb sits at the left end of the trough.
  keltest::PointerTo(bar, 12, bar->core.height / 2);
  keltest::PressButton(1);
  for (int dx = 20; dx <= 100; dx += 20) {
    keltest::PointerTo(bar, 12 + dx, bar->core.height / 2);
    ASSERT_TRUE(recorder->WaitFor(N::DLG_DRAG(), nullptr, dx / 20));
  }
  keltest::ReleaseButton(1);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_MODIFY()));
  const auto& events = recorder->events;
  EXPECT_EQ(events.back().notification, N::DLG_MODIFY());
  for (std::size_t i = 1; i + 1 < events.size(); ++i)
    EXPECT_GT(events[i].value, events[i - 1].value);
  for (const auto& e : events) {
    EXPECT_NEAR(e.value * 10, std::round(e.value * 10), 1e-9) << "tenths only";
    EXPECT_GT(e.value, 0.5);
    EXPECT_LE(e.value, 50.0);
  }
  EXPECT_EQ(slider->GetValue(), events.back().value);
  // One key step is one unit of the last decimal.
  slider->SetValue(4.0);
  XmProcessTraversal(bar, XmTRAVERSE_CURRENT);
  recorder->events.clear();
  keltest::TapKey(XK_Right);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_MODIFY()));
  EXPECT_NEAR(recorder->events.back().value, 4.1, 1e-9);
}

TEST_F(Dlg, ScrollBarPagesByItsBoxAndKeepsTheBoxInsideItsRange) {
  auto* bar = new KelDlgScrollBar(window, "ViewerVerticalScrollbar", KelDlgVertical);
  bar->SetRange(KelDlgScrollMinimum, KelDlgScrollMaximum);
  bar->SetBoxSize(100);
  bar->SetPosition(0);
  bar->SetRectDimensions(0, 0, 0, 300);
  Show();
  // Below the box, in the trough: one page down.
  Widget w = bar->GetWidget();
  keltest::Click(w, 1, w->core.width / 2, w->core.height - w->core.width - 10);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_MODIFY()));
  EXPECT_EQ(recorder->events.back().value, 100.0);
  EXPECT_EQ(bar->GetPosition(), 100);
  // Dragging the box.
  recorder->events.clear();
  int x = 0, y = 0;
  keltest::ScreenPosition(w, x, y, w->core.width / 2, 0);
  const int thumbTop = y + w->core.width + 30 + 5;  // arrow, then a third of the box
  keltest::PointerTo(x, thumbTop);
  keltest::PressButton(1);
  keltest::PointerTo(x, thumbTop + 40);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_DRAG()));
  keltest::ReleaseButton(1);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_MODIFY()));
  EXPECT_EQ(recorder->events.front().notification, N::DLG_DRAG());
  EXPECT_GT(bar->GetPosition(), 100);
  EXPECT_EQ(recorder->events.back().value, bar->GetPosition());
  // Clamped as Motif requires: the box within the range, the position
  // within minimum and maximum - box.
  bar->SetBoxSize(2000);
  EXPECT_EQ(bar->GetBoxSize(), 1000);
  EXPECT_EQ(bar->GetPosition(), 0);
  bar->SetBoxSize(100);
  bar->SetPosition(950);
  EXPECT_EQ(bar->GetPosition(), 900);
  // As a 2D viewer sets them, position first: a small box at the end.
  bar->SetPosition(995);
  bar->SetBoxSize(5);
  EXPECT_EQ(bar->GetPosition(), 995);
  int value = 0, size = 0;
  XtVaGetValues(w, XmNvalue, &value, XmNsliderSize, &size, nullptr);
  EXPECT_EQ(value, 995);
  EXPECT_EQ(size, 5);
  testing::internal::CaptureStderr();
  EXPECT_EQ(bar->SetRange(10, 10), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "KelDlgScrollBar::SetRange: Invalid function parameters.\n");
}

TEST_F(Dlg, DialogButtonsReturnAndEscape) {
  auto* dialog =
      new KelDlgDialog(recorder, "dialog", KelDlgOkButton | KelDlgApplyButton | KelDlgCancelButton);
  auto* editor = new KelDlgEditor(dialog, "field");
  dialog->SetVisibility(KelDlgShown);
  Widget apply = XtNameToWidget(dialog->GetWidget(), "*Apply");
  ASSERT_NE(apply, nullptr);
  ASSERT_TRUE(keltest::WaitViewable(apply));
  ASSERT_TRUE(recorder->WaitFor(CREATE, "field"));
  keltest::Click(apply);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_APPLY(), "dialog"));
  EXPECT_EQ(dialog->GetVisibility(), KelDlgShown);

  // Return in the field activates it, then the default button, OK.
  keltest::Click(editor->GetWidget());
  keltest::TapKey(XK_Return);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_VISIBILITY(), "dialog", 2));
  const std::vector<std::string> sequence = Sequence();
  std::vector<std::string> tail(sequence.end() - 3, sequence.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"field:DLG_ACTIVATE", "dialog:DLG_OK",
                                            "dialog:DLG_VISIBILITY"}));
  EXPECT_EQ(dialog->GetVisibility(), KelDlgHidden);

  dialog->SetVisibility(KelDlgShown);
  ASSERT_TRUE(keltest::WaitViewable(apply));
  keltest::Click(editor->GetWidget());
  keltest::TapKey(XK_Escape);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_CANCEL(), "dialog"));
  ASSERT_TRUE(keltest::PumpUntil([&] { return dialog->GetVisibility() == KelDlgHidden; }));
}

TEST_F(Dlg, StatusBarShowsTheTemporaryTextOfAnyDialogInside) {
  auto* button = new KelDlgPushButton(recorder, "inner");
  Widget bar = XtNameToWidget(recorder->GetWidget(), "*statusBar");
  ASSERT_NE(bar, nullptr);
  recorder->SetStatusBarText("Ready");
  button->SetStatusBarTemporaryText("Drag to turn");
  EXPECT_EQ(Text(bar, XmNlabelString), "Drag to turn");
  window->SetStatusBarTemporaryText("ignored: no document holds this window");
  button->SetStatusBarTemporaryText("");
  EXPECT_EQ(Text(bar, XmNlabelString), "Ready");
  // However long the message, the window keeps its width.
  recorder->SetVisibility(KelDlgShown);
  ASSERT_TRUE(keltest::WaitViewable(recorder->GetWidget()));
  const Dimension wide = recorder->GetWidget()->core.width;
  button->SetStatusBarTemporaryText(KelUnicodeString(std::string(300, 'x').c_str()));
  keltest::PumpPending();
  EXPECT_EQ(recorder->GetWidget()->core.width, wide);
}

TEST_F(Dlg, IconsComeBackToTheServer) {
  auto* check = new KelDlgCheckButton(window, "LookAt");
  Show();
  const std::map<std::string, int> before = keltest::OwnXResources();
  check->SetIconName(keltest::DataPath("icons/kel-test.xpm").c_str());
  unsigned char type = 0;
  XtVaGetValues(check->GetWidget(), XmNlabelType, &type, nullptr);
  EXPECT_EQ(type, XmPIXMAP);
  EXPECT_EQ(keltest::OwnXResources()["PIXMAP"],
            before.count("PIXMAP") ? before.at("PIXMAP") + 1 : 1);
  testing::internal::CaptureStderr();
  check->SetIconName("no-such-icon");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("no-such-icon"), std::string::npos);
  XtVaGetValues(check->GetWidget(), XmNlabelType, &type, nullptr);
  EXPECT_EQ(type, XmSTRING);
  keltest::PumpPending();
  EXPECT_EQ(keltest::OwnXResources()["PIXMAP"], before.count("PIXMAP") ? before.at("PIXMAP") : 0);
}

TEST_F(Dlg, ReparentedButtonIsBuiltAgainUnderItsNewFatherWithItsState) {
  auto* left = new KelDlgFrame(window, "left");
  auto* right = new KelDlgFrame(window, "right");
  right->SetHorizontalAttachment(2, KelDlgAttachTab);
  auto* button = new KelDlgPushButton(left, "moved");
  button->SetTitle("Moved");
  button->SetSensitivity(0);
  Show();
  ASSERT_EQ(button->Reparent(right), 1);
  EXPECT_EQ(XtParent(button->GetWidget()), right->GetWidget());
  ASSERT_TRUE(recorder->WaitFor(CREATE, "moved"));
  EXPECT_EQ(Text(button->GetWidget(), XmNlabelString), "Moved");
  EXPECT_FALSE(XtIsSensitive(button->GetWidget()));
  button->SetSensitivity(1);
  ASSERT_TRUE(keltest::WaitViewable(button->GetWidget()));
  keltest::Click(button->GetWidget());
  ASSERT_TRUE(recorder->WaitFor(N::DLG_ACTIVATE(), "moved"));
  EXPECT_EQ(left->GetDialogCount(), 0);
}

}  // namespace

// The toolkit's widgets driven with real pointer and key events (XTest): the
// notifications that arrive and their order.
#include <gtest/gtest.h>

#include <kel/framework/KelDlgCheckButton.h>
#include <kel/framework/KelDlgCheckItem.h>
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

class DlgWidgets : public ::testing::Test {
 protected:
  void SetUp() override {
    KEL_REQUIRE(keltest::TestDisplay(), "an X display");
    _errors = KelDlgICC::GetXErrorCount();
    recorder = new DlgRecorder;
    window = new KelDlgWindow(recorder, "panelWindow");
  }
  void TearDown() override {
    if (!keltest::TestDisplay()) return;
    delete recorder;
    keltest::PumpPending();
    EXPECT_EQ(KelDlgICC::GetXErrorCount(), _errors) << "X errors";
  }
  // Shows the window, waits for every creation, and forgets them.
  void Show() {
    window->SetVisibility(KelDlgShown);
    ASSERT_TRUE(keltest::WaitViewable(window->GetWidget()));
    ASSERT_TRUE(keltest::PumpUntil([&] {
      int created = 0;
      for (const auto& e : recorder->events) created += e.notification == N::DLG_CREATE();
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
  int _errors = 0;
};

TEST_F(DlgWidgets, CheckButtonReportsUserTogglesNotProgramOnes) {
  auto* check = new KelDlgCheckButton(window, "check");
  Show();
  keltest::Click(check->GetWidget());
  ASSERT_TRUE(recorder->WaitFor(N::DLG_MODIFY(), "check"));
  keltest::Click(check->GetWidget());
  ASSERT_TRUE(recorder->WaitFor(N::DLG_MODIFY(), "check", 2));
  EXPECT_EQ(recorder->events[0].value, 1.0);
  EXPECT_EQ(recorder->events[1].value, 0.0);
  check->SetState(1);
  keltest::Settle();
  EXPECT_EQ(recorder->Count(N::DLG_MODIFY()), 2);
}

TEST_F(DlgWidgets, RadioGroupSwitchesTheOtherOffFirstAndKeepsItsChoice) {
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

TEST_F(DlgWidgets, ComboSelectionByThePointerGivesTheLineIndex) {
  auto* combo = new KelDlgCombo(window, "NavigationStyle");
  combo->SetLines({"Examine", "Walk", "Fly"});
  combo->SetSelect(0);
  Show();
  EXPECT_EQ(Text(combo->GetWidget(), XmNselectedItem), "Examine");
  // Open the list with the arrow, then pick its second line.
  keltest::Click(combo->GetWidget(), 1, combo->GetWidget()->core.width - 8);
  Widget list = XtNameToWidget(combo->GetWidget(), "*List");
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(keltest::WaitViewable(list));
  Dimension height = 0;
  XtVaGetValues(list, XmNheight, &height, nullptr);
  keltest::Click(list, 1, 10, height / 2);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_SELECT(), "NavigationStyle"));
  EXPECT_EQ(recorder->events.back().value, 1.0);
  EXPECT_EQ(combo->GetSelect(), 1);
  EXPECT_EQ(Text(combo->GetWidget(), XmNselectedItem), "Walk");
  combo->SetSelect(2);
  keltest::Settle();
  EXPECT_EQ(Text(combo->GetWidget(), XmNselectedItem), "Fly");
  EXPECT_EQ(recorder->Count(N::DLG_SELECT()), 1);
}

TEST_F(DlgWidgets, SliderDragsThenModifiesInUnitsOfItsDecimals) {
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

TEST_F(DlgWidgets, ScrollBarPagesByItsBoxAndKeepsTheBoxInsideItsRange) {
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

TEST_F(DlgWidgets, EditorReportsEachTypedChangeAndReturn) {
  auto* editor = new KelDlgEditor(window, "editor");
  editor->SetText("x");
  Show();
  keltest::Click(editor->GetWidget(), 1, editor->GetWidget()->core.width - 4);
  keltest::TypeText("ab1");
  ASSERT_TRUE(recorder->WaitFor(N::DLG_MODIFY(), "editor", 3));
  EXPECT_EQ(editor->GetText(), KelString("xab1"));
  keltest::TapKey(XK_Return);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_ACTIVATE(), "editor"));
  editor->SetText("set");
  keltest::Settle();
  EXPECT_EQ(recorder->Count(N::DLG_MODIFY()), 3);
}

TEST_F(DlgWidgets, DialogButtonsReturnAndEscape) {
  auto* dialog =
      new KelDlgDialog(recorder, "dialog", KelDlgOkButton | KelDlgApplyButton | KelDlgCancelButton);
  auto* editor = new KelDlgEditor(dialog, "field");
  dialog->SetVisibility(KelDlgShown);
  Widget apply = XtNameToWidget(dialog->GetWidget(), "*Apply");
  ASSERT_NE(apply, nullptr);
  ASSERT_TRUE(keltest::WaitViewable(apply));
  ASSERT_TRUE(recorder->WaitFor(N::DLG_CREATE(), "field"));
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

TEST_F(DlgWidgets, ContextualMenuPostsOnButton3OverAChildAndRunsItsItems) {
  auto* frame = new KelDlgFrame(window, "viewer");
  auto* area = new KelDlgMotif(frame, "MotifObject", 0, 0, 0, 150, 100);
  auto* menu = new KelDlgContextualMenu(frame, "context", KelDlgPopupOnButton3);
  new KelDlgPushButton(menu, "Reframe");
  Show();
  // An item added at run time.
  auto* item = new KelDlgCheckItem(menu, "FullScreen");
  // Motif takes a release within a multi-click time of the press for a
  // click that leaves the menu posted; a short time makes the drag below a
  // choice without waiting.
  Display* display = keltest::TestDisplay();
  const int multiClick = XtGetMultiClickTime(display);
  XtSetMultiClickTime(display, 1);
  keltest::PointerTo(area->GetWidget());
  keltest::PressButton(3);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_VISIBILITY(), "context"));
  EXPECT_EQ(recorder->events.back().value, KelDlgShown);
  // Held down onto the item, and let go there.
  ASSERT_TRUE(keltest::WaitViewable(item->GetWidget()));
  keltest::PointerTo(item->GetWidget());
  keltest::PumpPending();
  keltest::ReleaseButton(3);
  ASSERT_TRUE(recorder->WaitFor(N::DLG_MODIFY(), "FullScreen"));
  std::vector<std::string> sequence;
  for (const std::string& e : Sequence())
    if (e.find(N::DLG_CREATE()) == std::string::npos) sequence.push_back(e);
  EXPECT_EQ(sequence, (std::vector<std::string>{"context:DLG_VISIBILITY", "context:DLG_VISIBILITY",
                                                "FullScreen:DLG_MODIFY"}));
  EXPECT_EQ(item->GetState(), 1);
  EXPECT_EQ(menu->GetVisibility(), KelDlgHidden);
  XtSetMultiClickTime(display, multiClick);
}

TEST_F(DlgWidgets, StatusBarShowsTheTemporaryTextOfAnyDialogInside) {
  auto* button = new KelDlgPushButton(recorder, "inner");
  Widget bar = XtNameToWidget(recorder->GetWidget(), "*statusBar");
  ASSERT_NE(bar, nullptr);
  recorder->SetStatusBarText("Ready");
  button->SetStatusBarTemporaryText("Drag to turn");
  EXPECT_EQ(Text(bar, XmNlabelString), "Drag to turn");
  EXPECT_EQ(recorder->GetStatusBarText(), KelUnicodeString("Drag to turn"));
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

TEST_F(DlgWidgets, IconsComeBackToTheServer) {
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

// A dialog that destroys itself when its Cancel button is pressed.
class SelfDestroyingDialog : public KelDlgDialog {
 public:
  explicit SelfDestroyingDialog(KelDialog* father)
      : KelDlgDialog(father, "perf", KelDlgCancelButton) {
    AddAnalyseNotificationCB(this, KelDlgNotification::DLG_CANCEL(), &SelfDestroyingDialog::Go,
                             nullptr);
  }
  ~SelfDestroyingDialog() override { ++destroyed; }
  void Go(KelCommand*, KelNotification*, void*) { RequestDelayedDestruction(); }
  static int destroyed;
};
int SelfDestroyingDialog::destroyed = 0;

TEST_F(DlgWidgets, DialogDestroyedFromItsOwnButtonLeavesNoXResource) {
  auto cycle = [this](int round) {
    auto* dialog = new SelfDestroyingDialog(recorder);
    auto* slider = new KelDlgSlider(dialog, "slider");
    new KelDlgCombo(dialog, "combo");
    auto* icon = new KelDlgCheckButton(dialog, "icon");
    icon->SetIconName(keltest::DataPath("icons/kel-test.xpm").c_str());
    new KelDlgEditor(dialog, "editor");
    new KelDlgContextualMenu(dialog, "menu", KelDlgPopupOnButton3);
    slider->SetVerticalAttachment(2, KelDlgAttachTab);
    dialog->SetVisibility(KelDlgShown);
    Widget cancel = XtNameToWidget(dialog->GetWidget(), "*Cancel");
    ASSERT_TRUE(keltest::WaitViewable(cancel));
    keltest::Click(cancel);
    ASSERT_TRUE(keltest::PumpUntil([round] { return SelfDestroyingDialog::destroyed == round; }));
  };
  // The first round fills Motif's shared caches; the next ones give back
  // all they take.
  cycle(1);
  keltest::PumpPending();
  const std::map<std::string, int> before = keltest::OwnXResources();
  cycle(2);
  cycle(3);
  keltest::PumpPending();
  EXPECT_EQ(keltest::OwnXResources(), before);
}

TEST_F(DlgWidgets, ReparentedButtonIsBuiltAgainUnderItsNewFatherWithItsState) {
  auto* left = new KelDlgFrame(window, "left");
  auto* right = new KelDlgFrame(window, "right");
  right->SetHorizontalAttachment(2, KelDlgAttachTab);
  auto* button = new KelDlgPushButton(left, "moved");
  button->SetTitle("Moved");
  button->SetSensitivity(0);
  Show();
  ASSERT_EQ(button->Reparent(right), 1);
  EXPECT_EQ(XtParent(button->GetWidget()), right->GetWidget());
  ASSERT_TRUE(recorder->WaitFor(N::DLG_CREATE(), "moved"));
  EXPECT_EQ(Text(button->GetWidget(), XmNlabelString), "Moved");
  EXPECT_FALSE(XtIsSensitive(button->GetWidget()));
  button->SetSensitivity(1);
  ASSERT_TRUE(keltest::WaitViewable(button->GetWidget()));
  keltest::Click(button->GetWidget());
  ASSERT_TRUE(recorder->WaitFor(N::DLG_ACTIVATE(), "moved"));
  EXPECT_EQ(left->GetDialogCount(), 0);
}

}  // namespace

// A panel built with every widget of the dialog toolkit. Each notification is
// printed on the standard output and shown in the status bar. Typing "quit"
// and Return in the name field, or closing the window, ends the program.
//
//   kelpanel [--help]
#include <kel/framework/KelDlgCheckButton.h>
#include <kel/framework/KelDlgCheckItem.h>
#include <kel/framework/KelDlgCombo.h>
#include <kel/framework/KelDlgContextualMenu.h>
#include <kel/framework/KelDlgDialog.h>
#include <kel/framework/KelDlgDocument.h>
#include <kel/framework/KelDlgEditor.h>
#include <kel/framework/KelDlgFrame.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelDlgLabel.h>
#include <kel/framework/KelDlgMotif.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/framework/KelDlgRadioButton.h>
#include <kel/framework/KelDlgScrollBar.h>
#include <kel/framework/KelDlgSlider.h>

#include <Xm/DrawingA.h>
#include <Xm/Xm.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Places a dialog in the cell (column, row) of its father's grid; a
// stretching cell follows the window's size.
void Place(KelDialog* d, int column, int row, bool stretchX = false, bool stretchY = false) {
  d->SetHorizontalAttachment(column, KelDlgAttachTab, stretchX ? column + 1 : 0,
                             stretchX ? KelDlgAttachStretch : KelDlgAttachNone);
  d->SetVerticalAttachment(row, KelDlgAttachTab, stretchY ? row + 1 : 0,
                           stretchY ? KelDlgAttachStretch : KelDlgAttachNone);
}

// Paints the application's own widget: what a viewer's drawing area would be.
void PaintView(Widget area, XtPointer, XtPointer) {
  if (!XtIsRealized(area)) return;
  Display* display = XtDisplay(area);
  const Window window = XtWindow(area);
  Dimension width = 0, height = 0;
  XtVaGetValues(area, XmNwidth, &width, XmNheight, &height, nullptr);
  GC gc = XCreateGC(display, window, 0, nullptr);
  XSetForeground(display, gc, BlackPixelOfScreen(XtScreen(area)));
  XFillRectangle(display, window, gc, 0, 0, width, height);
  XSetForeground(display, gc, WhitePixelOfScreen(XtScreen(area)));
  for (int x = 0; x < width; x += 20) XDrawLine(display, window, gc, x, 0, x, height);
  for (int y = 0; y < height; y += 20) XDrawLine(display, window, gc, 0, y, width, y);
  XDrawArc(display, window, gc, width / 4, height / 4, width / 2, height / 2, 0, 360 * 64);
  XFreeGC(display, gc);
}

class Panel : public KelDlgDocument {
 public:
  Panel() : KelDlgDocument(nullptr, "panel") {
    SetTitle("Kelvis panel");
    SetStatusBarText("Button 3 over the view opens its menu.");

    auto* controls = new KelDlgFrame(this, "controls", KelDlgFrameBorder);
    Place(controls, 1, 1, false, true);
    Place(Titled(new KelDlgLabel(controls, "nameLabel"), "Name:"), 1, 1);
    _editor = new KelDlgEditor(controls, "editor");
    _editor->SetText("Type quit");
    Place(_editor, 2, 1, true);
    Place(Titled(new KelDlgLabel(controls, "styleLabel"), "Navigation:"), 1, 2);
    auto* combo = new KelDlgCombo(controls, "NavigationStyle");
    combo->SetLines({"Examine", "Walk", "Fly"});
    combo->SetSelect(0);
    Place(combo, 2, 2, true);
    Place(Titled(new KelDlgLabel(controls, "VisuPerfoLodText"), "Accuracy (pixel):"), 1, 3);
    auto* slider = new KelDlgSlider(controls, "VisuPerfoLodSlider", KelDlgHorizontal);
    slider->SetDecimals(1);
    slider->SetRange(0.5, 50.0, 100);
    slider->SetValue(4.0);
    Place(slider, 2, 3, true);
    auto* ground = new KelDlgCheckButton(controls, "Ground");
    Place(ground, 1, 4);
    auto* light = new KelDlgCheckButton(controls, "Light");
    light->SetIconName(KEL_PANEL_ICON);
    Place(light, 2, 4);
    auto* perspective = new KelDlgRadioButton(controls, "Perspective");
    perspective->SetState(1);
    Place(perspective, 1, 5);
    Place(new KelDlgRadioButton(controls, "Parallel"), 2, 5);
    Place(Titled(new KelDlgPushButton(controls, "open"), "Settings..."), 1, 6);
    Place(new KelDlgPushButton(controls, "Reframe"), 2, 6);

    auto* view = new KelDlgFrame(this, "view", KelDlgFrameBorder);
    Place(view, 2, 1, true, true);
    _area = new KelDlgMotif(view, "MotifObject", 0, 0, 0, 240, 180);
    Place(_area, 1, 1, true, true);
    auto* vertical = new KelDlgScrollBar(view, "ViewerVerticalScrollbar", KelDlgVertical);
    Place(vertical, 2, 1, false, true);
    auto* horizontal = new KelDlgScrollBar(view, "ViewerHorizontalScrollbar", KelDlgHorizontal);
    Place(horizontal, 1, 2, true);
    for (KelDlgScrollBar* bar : {vertical, horizontal}) {
      bar->SetRange(KelDlgScrollMinimum, KelDlgScrollMaximum);
      bar->SetBoxSize(250);
      bar->SetPosition(375);
    }
    auto* menu = new KelDlgContextualMenu(view, "context", KelDlgPopupOnButton3);
    new KelDlgPushButton(menu, "Reframe");
    new KelDlgCheckItem(menu, "FullScreen");

    AddAnalyseNotificationCB(nullptr, "KelDlgNotification", &Panel::Heard, nullptr);
  }

  // Every notification that no nearer analyser took.
  void Heard(KelCommand* sender, KelNotification* notification, void*) {
    auto* n = static_cast<KelDlgNotification*>(notification);
    auto* dialog = static_cast<KelDialog*>(sender);
    const std::string name = dialog->GetName().GetText();
    const char* what = n->GetNotificationName();
    char line[256];
    std::snprintf(line, sizeof line, "%s %s %g", name.c_str(), what, n->GetValue());
    if (dialog == _editor)
      std::snprintf(line, sizeof line, "%s %s \"%s\"", name.c_str(), what,
                    _editor->GetText().CastToCharPtr());
    std::printf("%s\n", line);
    std::fflush(stdout);
    if (std::strcmp(what, KelDlgNotification::DLG_CREATE()) != 0) SetStatusBarTemporaryText(line);

    if (dialog == _area && std::strcmp(what, KelDlgNotification::DLG_CREATE()) == 0) {
      // The application's own widget goes in once the place exists.
      Widget own = XtVaCreateManagedWidget("view", xmDrawingAreaWidgetClass,
                                           _area->GetFatherWidget(), nullptr);
      XtAddCallback(own, XmNexposeCallback, PaintView, nullptr);
      XtAddCallback(own, XmNresizeCallback, PaintView, nullptr);
    } else if (name == "FullScreen" && std::strcmp(what, KelDlgNotification::DLG_MODIFY()) == 0) {
      SetFullScreen(n->GetValue() != 0.0);
    } else if (name == "open" && std::strcmp(what, KelDlgNotification::DLG_ACTIVATE()) == 0) {
      OpenSettings();
    } else if (dialog == _editor && std::strcmp(what, KelDlgNotification::DLG_ACTIVATE()) == 0 &&
               _editor->GetText() == KelString("quit")) {
      KelDlgICC::ExitMainLoop(0);
    } else if (dialog == this && std::strcmp(what, KelDlgNotification::DLG_CLOSE()) == 0) {
      KelDlgICC::ExitMainLoop(0);
    }
  }

 private:
  static KelDialog* Titled(KelDialog* d, const char* title) {
    d->SetTitle(title);
    return d;
  }
  void OpenSettings() {
    if (!_settings) {
      _settings = new KelDlgDialog(this, "settings",
                                   KelDlgOkButton | KelDlgApplyButton | KelDlgCancelButton);
      _settings->SetTitle("Settings");
      Place(Titled(new KelDlgLabel(_settings, "sizeLabel"), "Culling size (pixel):"), 1, 1);
      auto* culling = new KelDlgSlider(_settings, "VisuPerfoCullingSlider", KelDlgHorizontal);
      culling->SetRange(1.0, 100.0, 100);
      culling->SetValue(5.0);
      Place(culling, 2, 1, true);
    }
    _settings->SetVisibility(KelDlgShown);
  }

  KelDlgEditor* _editor = nullptr;
  KelDlgMotif* _area = nullptr;
  KelDlgDialog* _settings = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    std::printf("usage: kelpanel\n%s", std::strcmp(argv[1], "--help") == 0
                                           ? "A panel of every dialog-toolkit widget.\n"
                                           : "");
    return std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
  }
  if (!KelDlgICC::GetXtDisplay()) return 1;
  auto* panel = new Panel;
  panel->SetVisibility(KelDlgShown);
  const int code = KelDlgICC::MainLoop();
  delete panel;
  return code;
}

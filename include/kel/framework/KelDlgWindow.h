// A top-level window: a shell (named after the dialog) holding the grid
// "panel" where the window's children go. Hidden until SetVisibility shows
// it. When the window manager asks it to close, the window sends DLG_CLOSE
// and hides itself unless an analyser took the notification.
#pragma once

#include <kel/framework/KelDialog.h>

class KelDlgWindow : public KelDialog {
 public:
  KelDlgWindow(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgWindow() override;

  KEL_DECLARE_META(KelDlgWindow);

  Widget GetContainerWidget() const override { return _panel; }
  void SetVisibility(int state) override;
  void SetRectDimensions(int x, int y, int width, int height) override;

  // Covers the whole screen, without window-manager decorations; 0 gives the
  // window back the place and size it had.
  void SetFullScreen(int on = 1);
  int IsFullScreen() const { return _fullScreen; }
  // A window given a size by the program, or full screen, keeps its size
  // when its children change.
  int IsSizeFixed() const { return _sizeFixed || _fullScreen; }

 protected:
  // For documents and dialogs, which build their own widgets.
  struct NoBuild {};
  KelDlgWindow(KelDialog* father, const KelString& name, unsigned long style, NoBuild);

  Widget CreateWidgets() override;
  int IsLaidOut() const override { return 0; }
  void ShowTitle() override;
  void WidgetDestroyed() override;

  // Creates the shell, of the given Xt widget class, and listens to it.
  Widget CreateShell(void* widgetClass);
  void SetPanel(Widget panel) { _panel = panel; }
  // Puts the rectangle and the full-screen state on the shell.
  void ApplyGeometry(Widget shell);
  // Whether the program placed the window (SetRectDimensions).
  int IsPlaced() const { return _placed; }

 private:
  void PoppedUp(Widget, void*);
  void PoppedDown(Widget, void*);
  void CloseRequested(Widget, void*);
  void ScreenSize(int& width, int& height) const;

  Widget _panel = nullptr;
  int _fullScreen = 0;
  int _sizeFixed = 0;
  int _placed = 0;
  int _normalRect[5] = {0, 0, 0, 0, 0};  // rectangle and size-fixed flag before full screen
};

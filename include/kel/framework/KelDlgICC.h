// The inter-client connection: the process's one X display and Xt application
// context, opened on first use, and the event loop that runs the dialogs and
// the graphic windows. A KelDlgICC dialog (usually "X11") stands for the
// connection in the dialog tree; it has no widget.
//
// When no display can be opened, GetXtDisplay prints why and answers null;
// dialogs then keep their state without widgets, and the process goes on.
// Each later call tries again. X protocol errors are printed and counted, not
// fatal: a faulty request must not end the host application. The library
// never changes the process's locale.
//
// The application name and class root the X resources (docs/x-resources.md):
// by default the program's name and "Kelvis".
#pragma once

#include <kel/framework/KelDialog.h>

class KelDlgICC : public KelDialog {
 public:
  KelDlgICC(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgICC() override;

  KEL_DECLARE_META(KelDlgICC);

  // The display of the application, opened on first use; null when it
  // cannot be opened.
  static Display* GetXtDisplay();
  static XtAppContext GetXtAppContext();
  // The hidden shell at the root of every window's widget tree.
  static Widget GetApplicationShell();
  // Names the application for X resources; only before the display opens.
  // Answers 0 (and changes nothing) afterwards.
  static int SetApplicationName(const char* name, const char* className);

  // Runs the event loop until ExitMainLoop; answers the code given to it, or
  // -1 at once without a display.
  static int MainLoop();
  static void ExitMainLoop(int code = 0);
  // Dispatches the events and timers already due, without waiting; answers
  // how many. For programs that run their own loop.
  static int ProcessPendingEvents();
  // Waits for and dispatches one event or timer (at most `timeoutMs`
  // milliseconds); answers 1 when one was dispatched, 0 on time-out, -1
  // without a display.
  static int ProcessNextEvent(int timeoutMs);

  // X protocol errors and toolkit warnings seen since the display opened.
  static int GetXErrorCount();
  static int GetWarningCount();

 private:
  friend class KelDialog;
  // The creation and resize notifications go through the event loop.
  static void PostCreation(KelDialog* dialog);
  static void PostResize(KelDialog* dialog);
  static void Unpost(KelDialog* dialog);
  static void Flush(void*, unsigned long*);
};

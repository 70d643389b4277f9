#include <kel/framework/KelCleaner.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelDlgNotification.h>

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/Xm.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

KEL_IMPLEMENT_META(KelDlgICC, KelDialog)

namespace {

enum class Posted { Creation, Resize };
struct Pending {
  KelDialog* dialog;
  Posted what;
};

struct Application {
  bool toolkitReady = false;
  XtAppContext context = nullptr;
  Display* display = nullptr;
  Widget shell = nullptr;
  std::string name;
  std::string className = "Kelvis";
  std::deque<Pending> pending;
  bool timerArmed = false;
  bool exitLoop = false;
  int exitCode = 0;
  int xErrors = 0;
  int warnings = 0;
  bool failureTold = false;
  std::string failedName;
};

// Lives as long as the process: Xt keeps pointers into it.
Application& App() {
  static Application* application = new Application;
  return *application;
}

// Top-level panels breathe a little; users may set other margins.
const char* fallbackResources[] = {"*panel.marginWidth: 6", "*panel.marginHeight: 6", nullptr};

int ReportXError(Display* display, XErrorEvent* error) {
  char text[256] = "";
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "X Error: %s (request %d.%d, resource 0x%lx)\n", text, error->request_code,
               error->minor_code, error->resourceid);
  ++App().xErrors;
  return 0;
}

void ReportWarning(String message) {
  std::fprintf(stderr, "Warning: %s\n", message);
  ++App().warnings;
}

void ArmTimer(XtTimerCallbackProc flush) {
  Application& a = App();
  if (a.timerArmed || !a.context) return;
  a.timerArmed = true;
  XtAppAddTimeOut(a.context, 0, flush, nullptr);
}

void StopLoopAfterTimeout(XtPointer flag, XtIntervalId*) {
  *static_cast<bool*>(flag) = true;
}

}  // namespace

KelDlgICC::KelDlgICC(KelDialog* father, const KelString& name, unsigned long style)
    : KelDialog(father, name, style) {
  GetXtDisplay();
}

KelDlgICC::~KelDlgICC() = default;

int KelDlgICC::SetApplicationName(const char* name, const char* className) {
  Application& a = App();
  if (a.display) return 0;
  if (name && *name) a.name = name;
  if (className && *className) a.className = className;
  return 1;
}

Display* KelDlgICC::GetXtDisplay() {
  Application& a = App();
  if (a.display) return a.display;
  if (!a.toolkitReady) {
    XtToolkitInitialize();
    a.context = XtCreateApplicationContext();
    XtAppSetWarningHandler(a.context, ReportWarning);
    XtAppSetFallbackResources(a.context, const_cast<String*>(fallbackResources));
    a.toolkitReady = true;
  }
  if (a.name.empty()) a.name = program_invocation_short_name;
  static char argument[256];
  std::snprintf(argument, sizeof argument, "%s", a.name.c_str());
  char* argv[] = {argument, nullptr};
  int argc = 1;
  Display* display = XtOpenDisplay(a.context, nullptr, a.name.c_str(), a.className.c_str(), nullptr,
                                   0, &argc, argv);
  if (!display) {
    // Said once for each display name tried, not at every dialog built.
    const char* variable = std::getenv("DISPLAY");
    const std::string name = variable ? variable : "";
    if (!a.failureTold || name != a.failedName)
      std::fprintf(stderr, "KelDlgICC::GetXtDisplay: cannot open the X display \"%s\".\n",
                   name.c_str());
    a.failureTold = true;
    a.failedName = name;
    return nullptr;
  }
  XSetErrorHandler(ReportXError);
  // Never mapped: the root of the widget tree and of the resource names.
  a.shell =
      XtVaAppCreateShell(a.name.c_str(), a.className.c_str(), applicationShellWidgetClass, display,
                         XmNmappedWhenManaged, False, XmNwidth, 1, XmNheight, 1, nullptr);
  XtRealizeWidget(a.shell);
  a.display = display;
  ArmTimer(Flush);
  return display;
}

XtAppContext KelDlgICC::GetXtAppContext() {
  return GetXtDisplay() ? App().context : nullptr;
}

Widget KelDlgICC::GetApplicationShell() {
  return GetXtDisplay() ? App().shell : nullptr;
}

int KelDlgICC::MainLoop() {
  Application& a = App();
  if (!GetXtDisplay()) return -1;
  a.exitLoop = false;
  while (!a.exitLoop) {
    XEvent event;
    XtAppNextEvent(a.context, &event);
    KelCleaner::Processing processing;
    XtDispatchEvent(&event);
  }
  return a.exitCode;
}

void KelDlgICC::ExitMainLoop(int code) {
  App().exitLoop = true;
  App().exitCode = code;
}

int KelDlgICC::ProcessPendingEvents() {
  Application& a = App();
  if (!GetXtDisplay()) return 0;
  // Bounded, so that a timer that keeps re-arming itself cannot hold us.
  int count = 0;
  while (count < 100000 && XtAppPending(a.context)) {
    KelCleaner::Processing processing;
    XtAppProcessEvent(a.context, XtIMAll);
    ++count;
  }
  return count;
}

int KelDlgICC::ProcessNextEvent(int timeoutMs) {
  Application& a = App();
  if (!GetXtDisplay()) return -1;
  bool timedOut = false;
  XtIntervalId timer =
      XtAppAddTimeOut(a.context, static_cast<unsigned long>(timeoutMs > 0 ? timeoutMs : 0),
                      StopLoopAfterTimeout, &timedOut);
  {
    KelCleaner::Processing processing;
    XtAppProcessEvent(a.context, XtIMAll);
  }
  if (timedOut) return 0;
  XtRemoveTimeOut(timer);
  return 1;
}

int KelDlgICC::GetXErrorCount() {
  return App().xErrors;
}

int KelDlgICC::GetWarningCount() {
  return App().warnings;
}

void KelDlgICC::PostCreation(KelDialog* dialog) {
  App().pending.push_back({dialog, Posted::Creation});
  ArmTimer(Flush);
}

void KelDlgICC::PostResize(KelDialog* dialog) {
  auto& pending = App().pending;
  for (const Pending& p : pending)
    if (p.dialog == dialog && p.what == Posted::Resize) return;
  pending.push_back({dialog, Posted::Resize});
  ArmTimer(Flush);
}

void KelDlgICC::Unpost(KelDialog* dialog) {
  auto& pending = App().pending;
  for (auto it = pending.begin(); it != pending.end();)
    it = it->dialog == dialog ? pending.erase(it) : it + 1;
}

void KelDlgICC::Flush(XtPointer, XtIntervalId*) {
  Application& a = App();
  a.timerArmed = false;
  KelCleaner::Processing processing;
  // Posts made by analysers join the queue and go out in this same turn.
  while (!a.pending.empty()) {
    const Pending p = a.pending.front();
    a.pending.pop_front();
    KelDialog* dialog = p.dialog;
    int width = 0, height = 0;
    dialog->CurrentSize(width, height);
    if (p.what == Posted::Creation) {
      dialog->_reportedSize[0] = width;
      dialog->_reportedSize[1] = height;
      dialog->Notify(KelDlgNotification::DLG_CREATE());
    } else if (dialog->_reportedSize[0] >= 0 &&
               (width != dialog->_reportedSize[0] || height != dialog->_reportedSize[1])) {
      // Before its creation is told, a dialog's size goes with the creation.
      dialog->_reportedSize[0] = width;
      dialog->_reportedSize[1] = height;
      dialog->Notify(KelDlgNotification::DLG_RESIZE());
    }
  }
}

// A top-level Motif window showing kelrender's built-in assembly through a
// graphic window of the OpenGL driver. It redraws on expose and on resize;
// closing the window or pressing Escape in it ends the program. The first
// frame drawn is announced on the standard output with the window's id.
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelEventSubscriber.h>
#include <kel/render/KelDriver.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewers/KelDevice.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <Xm/DrawingA.h>
#include <Xm/Protocols.h>
#include <Xm/Xm.h>

#include <cstdio>
#include <memory>

#include "KelAppScene.h"
#include "KelDefaultScene.h"
#include "KelSceneFraming.h"

namespace {

class Listener : public KelEventSubscriber {
 public:
  // Redraws the window after each change of size.
  void Resized(const char*, KelCallbackManager* window, KelNotification*, void*, long) {
    static_cast<KelGraphicWindow*>(window)->DrawRequest();
  }
  void Updated(const char*, KelCallbackManager* window, KelNotification*, void*, long) {
    if (_drawn) return;
    _drawn = true;
    std::printf("kelwindow: drawn window 0x%lx\n",
                static_cast<KelGraphicWindow*>(window)->GetWindow());
    std::fflush(stdout);
  }
  // Escape (key number 11) ends the program.
  void Device(const char*, KelCallbackManager*, KelNotification* event, void*, long) {
    auto* press = dynamic_cast<KelPressEvent*>(event);
    if (press && press->GetDevice() && press->GetDevice()->IsAKindOf("KelKeyboardDevice") &&
        press->GetButton() == 11)
      KelDlgICC::ExitMainLoop(0);
  }

 private:
  bool _drawn = false;
};

void AreaResized(Widget w, XtPointer window, XtPointer) {
  Dimension width = 0, height = 0;
  XtVaGetValues(w, XmNwidth, &width, XmNheight, &height, nullptr);
  static_cast<KelGraphicWindow*>(window)->ResizeWindow(width, height);
}

void Close(Widget, XtPointer, XtPointer) {
  KelDlgICC::ExitMainLoop(0);
}

}  // namespace

int main() {
  Widget application = KelDlgICC::GetApplicationShell();
  if (!application) {
    std::fprintf(stderr, "kelwindow: no X display\n");
    return 1;
  }
  const int width = 640, height = 480;
  Widget shell = XtVaCreatePopupShell("kelwindow", topLevelShellWidgetClass, application, XmNtitle,
                                      "Kelvis window", XmNdeleteResponse, XmDO_NOTHING, nullptr);
  XmAddWMProtocolCallback(shell, XInternAtom(XtDisplay(shell), "WM_DELETE_WINDOW", False), Close,
                          nullptr);

  std::unique_ptr<KelGraphicWindow> window(createGraphicWindow(width, height));
  // kelrender's background.
  window->SetBackgroundColor(46 / 255.0f, 52 / 255.0f, 64 / 255.0f);
  KelAppScene scene;
  KelDefaultScene::Build(scene, 34);
  Kel3DViewpoint* viewpoint = window->GetMain3DViewpoint();
  scene.Attach(*viewpoint);
  Keldirection3f sight, up;
  KelSceneFraming::ViewDirections(30, 25, KEL_UP_Z, sight, up);
  viewpoint->Set(Kelpoint3f(scene.GetRoot()->GetBoundingElement().GetCenter()), sight, up);
  viewpoint->Reframe(width, height, window->GetMMInSupportUnit(), window->GetRatioWH());
  scene.AimLights(*viewpoint);

  Listener listener;
  listener.AddCallback(window.get(), KelGraphicWindow::GRAPHICWINDOW_RESIZE(), &Listener::Resized,
                       nullptr);
  listener.AddCallback(window.get(), KelGraphicWindow::GRAPHICWINDOW_UPDATE(), &Listener::Updated,
                       nullptr);
  listener.AddCallback(window.get(), KelGraphicWindow::DEVICE_ACTION(), &Listener::Device, nullptr);
  window->Create(shell);
  XtAddCallback(window->GetDrawingAreaWidget(), XmNresizeCallback, AreaResized, window.get());
  XtPopup(shell, XtGrabNone);
  const int status = KelDlgICC::MainLoop();
  scene.Detach();
  window.reset();
  XtDestroyWidget(shell);
  return status < 0 ? 1 : status;
}

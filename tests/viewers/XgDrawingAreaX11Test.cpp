// The drawing-area widget of graphic windows: resource conversions, the
// colour-map policy, refused visuals and the overlay check.
#include <gtest/gtest.h>

#include <kel/viewers/XgDrawingArea.h>

#include <X11/Xatom.h>
#include <Xm/Form.h>

#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelXInput.h"
#include "KelXSession.h"

namespace {

std::vector<std::string> gWarnings;

void RecordWarning(String name, String type, String cls, String text, String*, Cardinal*) {
  gWarnings.push_back(std::string(name) + "/" + type + "/" + cls + ": " + text);
}

class XgDrawingAreaX11 : public testing::Test {
 protected:
  void SetUp() override {
    KEL_REQUIRE(keltest::TestDisplay() != nullptr, "an X display");
    display = keltest::TestDisplay();
    shell = keltest::MakeTopLevel("drawingAreaTest", 50, 50);
    form = XmCreateForm(shell, const_cast<char*>("form"), nullptr, 0);
    XtManageChild(form);
    gWarnings.clear();
    previous = XtAppSetWarningMsgHandler(XtWidgetToApplicationContext(shell), RecordWarning);
  }
  void TearDown() override {
    if (!shell) return;
    XtAppSetWarningMsgHandler(XtWidgetToApplicationContext(shell), previous);
    XtDestroyWidget(shell);
    XDeleteProperty(display, DefaultRootWindow(display),
                    XInternAtom(display, "SERVER_OVERLAY_VISUALS", False));
    keltest::Settle();
  }

  Widget Area(const char* name, std::vector<Arg> args = {}) {
    Widget w = XgCreateDrawingArea(form, name, args.data(), static_cast<Cardinal>(args.size()));
    XtManageChild(w);
    return w;
  }
  int Get(Widget w, String resource) {
    int value = -99;
    XtVaGetValues(w, resource, &value, nullptr);
    return value;
  }
  std::vector<Window> ColormapWindows() {
    Window* list = nullptr;
    int count = 0;
    std::vector<Window> windows;
    if (XGetWMColormapWindows(display, XtWindow(shell), &list, &count))
      windows.assign(list, list + count);
    if (list) XFree(list);
    return windows;
  }

  Display* display = nullptr;
  Widget shell = nullptr;
  Widget form = nullptr;
  XtErrorMsgHandler previous = nullptr;
};

TEST_F(XgDrawingAreaX11, PoliciesPlaceWindowsInTheShellsColormapList) {
  Widget a = Area("a", {{XgNwmCmap, XgWM_CMAP_LOW_PRIORITY}});
  Widget b = Area("b");  // high priority by default
  XtRealizeWidget(shell);
  const Window A = XtWindow(a), B = XtWindow(b), S = XtWindow(shell);
  // a alone at first, then b in front with the shell.
  EXPECT_EQ(ColormapWindows(), (std::vector<Window>{B, S, A}));
  XtVaSetValues(a, XgNwmCmap, XgWM_CMAP_HIGH_PRIORITY, nullptr);
  EXPECT_EQ(ColormapWindows(), (std::vector<Window>{A, B, S}));
  XtVaSetValues(a, XgNwmCmap, 7, nullptr);  // refused
  EXPECT_EQ(Get(a, XgNwmCmap), 2);
  XtVaSetValues(a, XgNwmCmap, XgWM_CMAP_NONE, nullptr);
  EXPECT_EQ(ColormapWindows(), (std::vector<Window>{A, B, S}));
  XtVaSetValues(b, XgNwmCmap, XgWM_CMAP_LOW_PRIORITY, nullptr);
  EXPECT_EQ(ColormapWindows(), (std::vector<Window>{A, S, B}));
}

TEST_F(XgDrawingAreaX11, AnUnknownVisualIsDropped) {
  Visual fake = *DefaultVisual(display, DefaultScreen(display));
  fake.visualid = 0x7FFFFF;
  Widget w = Area("fake", {{XgNvisual, reinterpret_cast<XtArgVal>(&fake)}});
  XtRealizeWidget(shell);
  ASSERT_EQ(gWarnings.size(), 1u);
  EXPECT_EQ(gWarnings[0],
            "realizeError/XColormapError/XtToolkitError: Cannot use specified visual");
  Visual* kept = &fake;
  XtVaGetValues(w, XgNvisual, &kept, nullptr);
  EXPECT_EQ(kept, nullptr);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, XtWindow(w), &attributes);
  EXPECT_EQ(attributes.visual, DefaultVisual(display, DefaultScreen(display)));
}

TEST_F(XgDrawingAreaX11, OverlaysMustBeListedByTheServer) {
  const long mine = static_cast<long>(XVisualIDFromVisual(DefaultVisual(display, 0)));
  const Atom property = XInternAtom(display, "SERVER_OVERLAY_VISUALS", False);
  auto publish = [&](std::vector<long> entries) {
    XChangeProperty(display, DefaultRootWindow(display), property, property, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(entries.data()),
                    static_cast<int>(entries.size()));
  };
  auto overlay = [&](const char* name) {
    Widget w = Area(name, {{XgNoverlay, True}});
    XtRealizeWidget(w);
    Boolean on = False;
    int transparent = 0;
    XtVaGetValues(w, XgNoverlay, &on, XgNtransparent, &transparent, nullptr);
    return std::make_pair(int(on), transparent);
  };
  XtRealizeWidget(shell);
  publish({mine + 1, 1, 5, 1, mine, 1, 42, 1});
  EXPECT_EQ(overlay("listed"), std::make_pair(1, 42));
  publish({mine, 2, 42, 1});  // not a transparent pixel
  EXPECT_EQ(overlay("opaque"), std::make_pair(1, -1));
  EXPECT_TRUE(gWarnings.empty());
  publish({mine + 1, 1, 5, 1, mine});  // a cut entry is not read
  EXPECT_EQ(overlay("cut"), std::make_pair(0, -1));
  ASSERT_EQ(gWarnings.size(), 1u);
  EXPECT_EQ(gWarnings[0],
            "realizeError/XColormapError/XtToolkitError: Specified visual does not support "
            "overlays");
}

}  // namespace

// Graphic windows on the X server: real GLX drawing through Mesa, real input
// through XTest, redraws driven by their own client messages.
#include <gtest/gtest.h>

#include <kel/controller/KelGlobalUpdateNotification.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelEventSubscriber.h>
#include <kel/framework/KelNotificationDispatcher.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelDriver.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>
#include <kel/reps/KelRepPath.h>
#include <kel/viewers/KelCharacterFont.h>
#include <kel/viewers/KelColorMap.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelKeyboardDevice.h>
#include <kel/viewers/KelMouseDevice.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelXInput.h"
#include "KelXSession.h"

namespace {

// Writes down what the windows publish.
class Listener : public KelEventSubscriber {
 public:
  void Device(const char*, KelCallbackManager*, KelNotification* n, void*, long) {
    KelDevice* d = nullptr;
    std::string text;
    if (auto* p = dynamic_cast<KelPressEvent*>(n))
      d = p->GetDevice(), text = "press " + std::to_string(p->GetButton());
    else if (auto* r = dynamic_cast<KelReleaseEvent*>(n))
      d = r->GetDevice(), text = "release " + std::to_string(r->GetButton());
    else if (auto* m = dynamic_cast<KelMotionEvent*>(n))
      d = m->GetDevice(),
      text = "motion " + std::to_string(int(m->GetX())) + " " + std::to_string(int(m->GetY()));
    const char* device = !d ? "?" : d->IsAKindOf("KelMouseDevice") ? "mouse " : "keyboard ";
    actions.push_back(device + text);
  }
  void Update(const char*, KelCallbackManager* window, KelNotification*, void*, long) {
    ++updates[window];
  }
  void Global(const char*, KelCallbackManager*, KelNotification* n, void*, long) {
    if (n && n->IsAKindOf("KelGlobalUpdateNotification")) ++globals;
  }

  std::vector<std::string> actions;
  std::map<KelCallbackManager*, int> updates;
  int globals = 0;
};

// Waits for what a window does, by running the event loop.
bool Wait(const std::function<bool()>& done) {
  return keltest::PumpUntil(done, 20000);
}

// Counts the redraw messages a window's widget receives.
void CountMessage(Widget, XtPointer counter, XEvent* event, Boolean*) {
  if (event->type == ClientMessage &&
      event->xclient.message_type == XInternAtom(event->xany.display, "AtomID", True))
    ++*static_cast<int*>(counter);
}

class GraphicWindowX11 : public testing::Test {
 protected:
  struct Shown {
    Widget shell = nullptr;
    KelGraphicWindow* window = nullptr;
    int messages = 0;
  };

  void SetUp() override {
    KEL_REQUIRE(keltest::TestDisplay() != nullptr, "an X display");
    errorsBefore = KelDlgICC::GetXErrorCount();
    KelGraphicWindow::_mult = 0;
  }

  void TearDown() override {
    for (auto& s : shown) Close(*s);
    KelGraphicWindow::_mult = 0;
    if (keltest::TestDisplay()) {
      keltest::Settle();
      EXPECT_EQ(KelDlgICC::GetXErrorCount(), errorsBefore) << "X errors";
    }
  }

  // A window under a shell of its own; shown and drawn once unless `map` is
  // false. `prepare` runs before the widget is made.
  Shown& Make(int width, int height, bool map = true,
              const std::function<void(KelGraphicWindow&)>& prepare = nullptr) {
    shown.push_back(std::make_unique<Shown>());
    Shown& s = *shown.back();
    s.shell = keltest::MakeTopLevel("graphicWindowTest", width, height);
    s.window = createGraphicWindow(width, height);
    listener.AddCallback(s.window, KelGraphicWindow::DEVICE_ACTION(), &Listener::Device, nullptr);
    listener.AddCallback(s.window, KelGraphicWindow::GRAPHICWINDOW_UPDATE(), &Listener::Update,
                         nullptr);
    if (KelGraphicWindow::GetDispatcher() && !subscribed) {
      KelGraphicWindow::GetDispatcher()->Subscribe(&listener, &Listener::Global, nullptr);
      subscribed = true;
    }
    if (prepare) prepare(*s.window);
    s.window->Create(s.shell);
    XtAddEventHandler(s.window->GetDrawingAreaWidget(), NoEventMask, True, CountMessage,
                      &s.messages);
    if (map) Map(s);
    return s;
  }

  void Map(Shown& s) {
    XtPopup(s.shell, XtGrabNone);
    EXPECT_TRUE(Wait([&] { return listener.updates[s.window] > 0; })) << "the first expose draws";
    keltest::Settle();
  }

  void Close(Shown& s) {
    delete s.window;
    s.window = nullptr;
    if (s.shell) XtDestroyWidget(s.shell);
    s.shell = nullptr;
  }

  // Gives the window's widget the keyboard.
  void Focus(Shown& s) {
    Display* d = keltest::TestDisplay();
    XSetInputFocus(d, XtWindow(s.window->GetDrawingAreaWidget()), RevertToParent, CurrentTime);
    keltest::Settle();
  }

  Listener listener;
  bool subscribed = false;
  std::vector<std::unique_ptr<Shown>> shown;
  int errorsBefore = 0;
};

TEST_F(GraphicWindowX11, ClicksWithModifiersAndKeysBecomeDeviceEventsAndCursorsShow) {
  Shown& s = Make(120, 90);
  Focus(s);
  keltest::PointerTo(s.window->GetDrawingAreaWidget(), 30, 40);
  keltest::Settle();
  EXPECT_EQ(listener.actions, std::vector<std::string>{"mouse motion 30 40"});

  // Presses or releases `key`, then clicks `button`: what the windows publish.
  auto click = [&](KeySym key, bool down, int button) {
    keltest::HoldKey(key, down);
    keltest::Settle();
    listener.actions.clear();
    keltest::PressButton(button);
    keltest::ReleaseButton(button);
    keltest::Settle();
    return listener.actions;
  };
  using V = std::vector<std::string>;
  // A click with Shift held: the Shift key reaches the keyboard device around
  // the button, from the click alone.
  EXPECT_EQ(click(XK_Shift_L, true, 1),
            (V{"keyboard press 12", "mouse press 1", "mouse release 1", "keyboard release 12"}));
  // With Shift and Control both held, only Shift is made up.
  EXPECT_EQ(click(XK_Control_L, true, 3),
            (V{"keyboard press 12", "mouse press 3", "mouse release 3", "keyboard release 12"}));
  EXPECT_EQ(click(XK_Shift_L, false, 2),
            (V{"keyboard press 13", "mouse press 2", "mouse release 2", "keyboard release 13"}));
  listener.actions.clear();
  keltest::HoldKey(XK_Control_L, false);
  keltest::Settle();
  EXPECT_EQ(listener.actions, V{"keyboard release 13"});

  // Escape counts on press only; keys without a number are ignored.
  listener.actions.clear();
  for (KeySym k : {XK_Left, XK_Escape, XK_a}) {
    keltest::HoldKey(k, true);
    keltest::HoldKey(k, false);
  }
  keltest::Settle();
  EXPECT_EQ(listener.actions, (V{"keyboard press 1", "keyboard release 1", "keyboard press 11"}));

  // An extension event reaches the widget as a client message of its type.
  int seen = 0;
  auto extension = [](Widget, XtPointer seen, XEvent* e, Boolean*) {
    if (e->type == ClientMessage && e->xclient.message_type == LASTEvent + 3)
      ++*static_cast<int*>(seen);
  };
  XtAddEventHandler(s.window->GetDrawingAreaWidget(), NoEventMask, True, extension, &seen);
  XEvent event{};
  event.type = LASTEvent + 3;
  event.xany.display = keltest::TestDisplay();
  event.xany.window = s.window->GetWindow();
  EXPECT_EQ(KelGraphicWindow::DispatchExtensionEvents(&event), 1);
  EXPECT_EQ(seen, 1);
  event.type = KeyPress;
  EXPECT_EQ(KelGraphicWindow::DispatchExtensionEvents(&event), 0);
  XtRemoveEventHandler(s.window->GetDrawingAreaWidget(), NoEventMask, True, extension, &seen);

  // The pixels, size and hot spot of the cursor the window shows with `type`.
  auto cursor = [&](int type) {
    s.window->SetCursorType(type);
    keltest::Settle();
    XFixesCursorImage* c = XFixesGetCursorImage(keltest::TestDisplay());
    std::vector<unsigned long> pixels;
    if (!c) return pixels;
    pixels.assign(c->pixels, c->pixels + c->width * c->height);
    pixels.insert(pixels.end(), {c->width, c->height, c->xhot, c->yhot});
    XFree(c);
    return pixels;
  };
  const std::vector<unsigned long> interdit = cursor(2);
  ASSERT_EQ(interdit.size(), 32u * 32u + 4u);
  EXPECT_EQ(cursor(3), interdit) << "not a type: unchanged";
  const std::vector<unsigned long> arrow = cursor(1);
  EXPECT_NE(arrow, interdit);
  EXPECT_NE(cursor(0), arrow);
}

TEST_F(GraphicWindowX11, RequestsGiveOneMessageAndOneRedrawPerWindowWhileWindowsGo) {
  Shown& a = Make(80, 60);
  Shown& b = Make(80, 60);
  listener.updates.clear();
  listener.globals = 0;
  a.messages = b.messages = 0;
  a.window->DrawRequest();
  b.window->DrawRequest();
  a.window->DrawRequest();
  ASSERT_TRUE(Wait([&] { return listener.globals > 0; }));
  keltest::Settle();
  EXPECT_EQ(a.messages + b.messages, 1);
  EXPECT_EQ(listener.updates[a.window], 1);
  EXPECT_EQ(listener.updates[b.window], 1);
  EXPECT_EQ(listener.globals, 1);

  // A window deleted with the message leaves the redraw to the others.
  listener.updates.clear();
  a.window->DrawRequest();  // the message goes to a
  b.window->DrawRequest();
  Close(a);
  EXPECT_TRUE(Wait([&] { return listener.updates[b.window] == 1; }));

  // A culled frame waiting when its window goes: the primitive lock is given
  // back and the other windows still redraw.
  KelGraphicWindow::_mult = 1;
  Shown& c = Make(80, 60);
  keltest::Settle();
  listener.updates.clear();
  c.window->DrawRequest();
  ASSERT_TRUE(Wait([&] { return c.window->HasLastDrawInformation() != 0; }));
  EXPECT_EQ(KelGraphicPrimitive::_nb_lock, 1);
  Close(c);
  EXPECT_EQ(KelGraphicPrimitive::_nb_lock, 0);
  keltest::Settle();
  b.window->DrawRequest();
  EXPECT_TRUE(Wait([&] { return listener.updates[b.window] == 1; }));

  // A window whose widget was destroyed under it asks for nothing more.
  KelGraphicWindow::_mult = 0;
  XtDestroyWidget(b.shell);
  b.shell = nullptr;
  keltest::Settle();
  EXPECT_EQ(b.window->GetWindow(), 0ul);
  b.window->DrawRequest();
  EXPECT_EQ(KelGraphicWindow::_graphicWindowToDraw.Count(), 0);
  EXPECT_EQ(KelGraphicWindow::_doUpdateSent, 0);
}

TEST_F(GraphicWindowX11, ARequestBeforeTheFirstExposeWaitsForIt) {
  // Before the widget exists nothing is touched.
  std::unique_ptr<KelGraphicWindow> bare(createGraphicWindow(50, 40));
  bare->ResizeWindow(70, 30);
  EXPECT_EQ(bare->GrabPixelImage(), nullptr);
  bare->DrawRequest();
  EXPECT_EQ(KelGraphicWindow::_doUpdateSent, 0);
  bare.reset();

  Shown& late = Make(80, 60, false);
  late.window->DrawRequest();
  EXPECT_EQ(KelGraphicWindow::_doUpdateSent, 0) << "no message to window 0";
  Map(late);
  EXPECT_GE(listener.updates[late.window], 1);
  // Later requests are still served.
  listener.updates.clear();
  late.window->DrawRequest();
  EXPECT_TRUE(Wait([&] { return listener.updates[late.window] == 1; }));
}

TEST_F(GraphicWindowX11, FirstExposeTakesTheBackgroundFromEntry254AndStereoStaysOff) {
  Shown& s = Make(64, 48, true,
                  [](KelGraphicWindow& w) { w.GetColorMap()->SetColor(254, 0.2f, 0.4f, 0.6f); });
  // The GC's background is the entry's pixel (the masks' arithmetic:
  // KelColorMapTest).
  int pixel = -1;
  s.window->GetColorMap()->GetRGB(254, &pixel);
  XGCValues values;
  ASSERT_TRUE(XGetGCValues(keltest::TestDisplay(), s.window->GetGC(), GCBackground, &values));
  EXPECT_EQ(values.background, static_cast<unsigned long>(pixel));
  // The drawn frame has the same background: 255 x (0.2, 0.4, 0.6) cut.
  std::unique_ptr<KelPixelImage> grab(s.window->GrabPixelImage(10, 10, 1, 1));
  ASSERT_NE(grab, nullptr);
  const unsigned char* p = grab->GetPixelsToRead();
  EXPECT_NEAR(p[0], 51, 1);
  EXPECT_NEAR(p[1], 102, 1);
  EXPECT_NEAR(p[2], 153, 1);

  EXPECT_EQ(s.window->IsStereoAvailable(), 0) << "Mesa's visuals have no stereo buffers";
  testing::internal::CaptureStderr();
  s.window->ActivateStereoMode(1, 0.1f);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("no stereo buffers"), std::string::npos);
  EXPECT_EQ(s.window->IsStereoActivate(nullptr, nullptr), 0);
}

TEST_F(GraphicWindowX11, XFontsMeasureAsTheFontFiles) {
  setenv("ORVEXFONTNAME", "-no-such-font-*", 1);
  setenv("ORVEXGEOMETRICFONTNAME2", "6x13", 1);
  KelCharacterFont font;
  unsetenv("ORVEXFONTNAME");
  unsetenv("ORVEXGEOMETRICFONTNAME2");
  Display* d = keltest::TestDisplay();
  ASSERT_EQ(font.LoadXFonts(d), 5);
  for (int i = 0; i < 5; ++i) {
    XFontStruct* x = XQueryFont(d, font.GetXFont(i));
    ASSERT_NE(x, nullptr) << "font " << i;
    int w = 0, h = 0, descent = 0;
    font.GetCharacterSize(i, &w, &h, &descent);
    EXPECT_EQ(XTextWidth(x, "W", 1), w) << "font " << i;
    EXPECT_EQ(x->ascent + x->descent, h) << "font " << i;
    EXPECT_EQ(x->descent, descent) << "font " << i;
    XFreeFontInfo(nullptr, x, 1);
  }
  font.ReleaseXFonts();
  // A window's GC carries font 0.
  Shown& s = Make(40, 30);
  XGCValues values;
  ASSERT_TRUE(XGetGCValues(d, s.window->GetGC(), GCFont, &values));
  EXPECT_EQ(values.font, s.window->GetCharacterFont()->GetXFont(0));
}

// A box and a ball seen from the front right, framed in the window's main camera.
struct Scene {
  Kel3DBagRep* root = new Kel3DBagRep;
  Kel3DViewpoint* v;
  explicit Scene(KelGraphicWindow& w) : v(w.GetMain3DViewpoint()) {
    root->AddChild(*new Kel3DCuboidRep(Kelpoint3f(-2, -1, -1), Kelvector3f(3, 0, 0),
                                       Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2), 4));
    root->AddChild(*new Kel3DSimpleSphereRep(Kelpoint3f(2, 0, 0.5f), 1.2f, 24));
    v->GetRepList().Append(root);
    v->Set(Kelpoint3f(0, 0, 0), Keldirection3f(-1, 1.3f, -0.8f), Keldirection3f(0, 0, 1));
    float W = 0, H = 0;
    w.GetWidthAndHeight(W, H);
    v->Reframe(W, H, w.GetMMInSupportUnit(), w.GetRatioWH());
  }
  ~Scene() {
    v->GetRepList().Remove(root);
    root->Destroy();
  }
};

TEST_F(GraphicWindowX11, AResizedWindowShowsWhatAnOffScreenSupportDraws) {
  Shown& s = Make(100, 80);
  s.window->ResizeWindow(160, 122);
  Scene scene(*s.window);
  keltest::Settle();
  std::unique_ptr<KelPixelImage> grab(s.window->GrabPixelImage());
  ASSERT_NE(grab, nullptr);
  int gw = 0, gh = 0;
  grab->GetSize(gw, gh);
  EXPECT_EQ(gw, 160);
  EXPECT_EQ(gh, 120);  // the top two rows are left out
  // The geometry went to the card once: the next frame sends none.
  EXPECT_GT(s.window->GetBytesHeldOnGPU(), 0);
  delete s.window->GrabPixelImage();
  EXPECT_EQ(s.window->GetBytesSentToGPU(), 0);

  KelPixelImage full(160, 122, PixelImageRGB);
  std::unique_ptr<KelSupport> offScreen(createSupport(s.window, &full));
  ASSERT_NE(offScreen, nullptr);
  offScreen->Draw();
  // Its bottom 120 rows (stored first) are the grabbed ones.
  KelPixelImage bottom(160, 120, PixelImageRGB);
  std::copy(full.GetPixelsToRead(), full.GetPixelsToRead() + 160 * 120 * 3,
            bottom.GetPixelsToModify());
  EXPECT_LE(keltest::CountDifferentPixels(*grab, bottom, 24), 160 * 120 / 200);
  // Something was drawn: the picture is not all background.
  KelPixelImage empty(160, 120, PixelImageRGB);
  EXPECT_GT(keltest::CountDifferentPixels(*grab, empty, 24), 1000);

  // Regions are clipped to the window.
  std::unique_ptr<KelPixelImage> corner(s.window->GrabPixelImage(150, 110, 40, 40));
  ASSERT_NE(corner, nullptr);
  corner->GetSize(gw, gh);
  EXPECT_EQ(gw, 10);
  EXPECT_EQ(gh, 12);
  EXPECT_EQ(s.window->GrabPixelImage(200, 0, 10, 10), nullptr);
  EXPECT_EQ(s.window->GrabPixelImage(0, -30, 10, 10), nullptr);

  s.window->ResizeWindow(160, 2);
  EXPECT_EQ(s.window->GrabPixelImage(), nullptr) << "nothing is left under the top two rows";
}

TEST_F(GraphicWindowX11, MultiProcessorFramesShowTheSamePictureAndPathsDrawAlone) {
  Shown& s = Make(120, 90);
  Scene scene(*s.window);
  Display* d = keltest::TestDisplay();
  auto shownPixels = [&] {
    XImage* x = XGetImage(d, s.window->GetWindow(), 0, 0, 120, 90, AllPlanes, ZPixmap);
    std::vector<unsigned long> pixels;
    for (int y = 0; x && y < 90; ++y)
      for (int col = 0; col < 120; ++col) pixels.push_back(XGetPixel(x, col, y));
    if (x) XDestroyImage(x);
    return pixels;
  };
  listener.updates.clear();
  s.window->DrawRequest();
  ASSERT_TRUE(Wait([&] { return listener.updates[s.window] == 1; }));
  keltest::Settle();
  const std::vector<unsigned long> single = shownPixels();

  KelGraphicWindow::_mult = 1;
  KelGraphicWindow* w = s.window;
  listener.updates.clear();
  w->DrawRequest();
  // Culled on the first message, drawn and swapped on the second.
  ASSERT_TRUE(Wait([&] { return listener.updates[w] == 1; }));
  EXPECT_EQ(KelGraphicWindow::_onCulling, 1);
  // A request while that frame waits: the next message draws it and culls
  // the new one, the one after draws that.
  w->DrawRequest();
  ASSERT_TRUE(Wait([&] { return listener.updates[w] == 2; }));
  EXPECT_EQ(KelGraphicWindow::_onCulling, 1);
  // An immediate frame meanwhile leaves the waiting one whole.
  delete w->GrabPixelImage();
  ASSERT_TRUE(Wait([&] { return KelGraphicWindow::_onCulling == 0; }));
  keltest::Settle();
  EXPECT_EQ(shownPixels(), single);
  EXPECT_EQ(KelGraphicPrimitive::_nb_lock, 0);

  // A Rep path drawn alone over a frame that shows nothing.
  KelGraphicWindow::_mult = 0;
  Kel3DViewpoint* v = scene.v;
  v->GetRepList().Remove(scene.root);
  listener.updates.clear();
  w->DrawRequest();
  ASSERT_TRUE(Wait([&] { return listener.updates[w] == 1; }));
  KelRepPath path(v);
  path.AddRep(*scene.root);
  path.AddRep(*(*scene.root->GetChildren())[1]);  // the ball
  w->DrawRepPath(path);
  keltest::Settle();
  Kelpoint2f ball, box;
  v->ComputePixelFromModel(Kelpoint3f(2, 0, 0.5f), ball, 120, 90, w->GetMMInSupportUnit(),
                           w->GetRatioWH());
  v->ComputePixelFromModel(Kelpoint3f(-0.5f, 0, 0), box, 120, 90, w->GetMMInSupportUnit(),
                           w->GetRatioWH());
  const std::vector<unsigned long> pixels = shownPixels();
  EXPECT_NE(pixels[int(ball.y) * 120 + int(ball.x)], 0ul) << "the ball is drawn";
  EXPECT_EQ(pixels[int(box.y) * 120 + int(box.x)], 0ul) << "the box is not";
  EXPECT_EQ(KelGraphicPrimitive::_nb_lock, 0);
}

TEST_F(GraphicWindowX11, OpeningAndClosingWindowsLeavesNothingBehind) {
  const int subscriptions = listener.GetSubscriptionCount();
  std::map<std::string, int> resources;
  for (int i = 0; i < 100; ++i) {
    Shown& s = Make(32, 24, i % 10 == 0);
    s.window->DrawRequest();
    Close(s);
    shown.pop_back();
    keltest::Settle();
    // The first windows make what every window shares (cursors, fonts).
    if (i == 9) resources = keltest::OwnXResources();
  }
  EXPECT_EQ(keltest::OwnXResources(), resources);
  EXPECT_EQ(KelGraphicWindow::_graphicWindowToDraw.Count(), 0);
  EXPECT_EQ(KelGraphicWindow::_doUpdateSent, 0);
  EXPECT_EQ(KelGraphicPrimitive::_nb_lock, 0);
  // The class dispatcher's subscription stays; the windows' went with them.
  EXPECT_LE(listener.GetSubscriptionCount(), subscriptions + 1);
}

}  // namespace

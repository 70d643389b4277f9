// kelview as a user meets it: started on a mesh or the built-in assembly,
// driven with xdotool or XTest, read through its --verbose lines, its exit
// status and its --screenshot pictures.
#include <gtest/gtest.h>

#include <kel/images/KelPixelImage.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "KelInputStorm.h"
#include "KelPngImage.h"
#include "KelRenderMeshFiles.h"
#include "KelTestEnv.h"
#include "KelXInput.h"
#include "KelXSession.h"

namespace {

std::string Slurp(const std::string& path) {
  const std::vector<unsigned char> bytes = keltest::ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

bool Shell(const std::string& command) {
  return std::system(command.c_str()) == 0;
}

// One kelview process; its standard output is read line by line, its errors
// go to a file. `timeout` bounds its life, so no read waits forever.
class KelView {
 public:
  KelView(const std::string& name, const std::string& args, int seconds = 60) {
    _errors = keltest::OutputPath(name + ".err");
    const std::string command = "exec timeout " + std::to_string(seconds) +
                                " " KEL_KELVIEW_PATH " " + args + " 2>" + _errors;
    _pipe = popen(command.c_str(), "r");
  }
  ~KelView() {
    if (_pipe) pclose(_pipe);
  }

  // The next line that starts with `prefix`; "" when the program ended first
  // or, with a `timeoutMs`, when no such line came within it.
  std::string Until(const std::string& prefix, int timeoutMs = -1) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      const size_t eol = _pending.find('\n');
      if (eol != std::string::npos) {
        const std::string text = _pending.substr(0, eol);
        _pending.erase(0, eol + 1);
        lines.push_back(text);
        if (text.compare(0, prefix.size(), prefix) == 0) return text;
        continue;
      }
      if (!_pipe) return "";
      int wait = -1;
      if (timeoutMs >= 0) {
        wait = int(std::chrono::duration_cast<std::chrono::milliseconds>(
                       end - std::chrono::steady_clock::now())
                       .count());
        if (wait <= 0) return "";
      }
      pollfd p = {fileno(_pipe), POLLIN, 0};
      if (poll(&p, 1, wait) == 0) return "";
      char buffer[4096];
      const ssize_t n = read(fileno(_pipe), buffer, sizeof buffer);
      if (n <= 0) return "";
      _pending.append(buffer, size_t(n));
    }
  }
  // Its top-level window, from the first frame's line.
  unsigned long Window() {
    unsigned long id = 0;
    std::sscanf(Until("kelview: first frame").c_str(), "kelview: first frame, window 0x%lx", &id);
    return id;
  }
  // Reads to the end; answers the exit status (-1 when it did not exit).
  int Wait() {
    while (!Until("\x01").empty()) {
    }
    const int status = pclose(_pipe);
    _pipe = nullptr;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Errors() const { return Slurp(_errors); }

  std::vector<std::string> lines;

 private:
  FILE* _pipe = nullptr;
  std::string _pending;  // read, not yet a whole line
  std::string _errors;
};

void RequireTools() {
  ASSERT_NE(keltest::TestDisplay(), nullptr);
  KEL_REQUIRE(Shell("xdotool version > /dev/null 2>&1"), "xdotool");
}

bool Xdotool(const std::string& actions) {
  return Shell("xdotool " + actions + " > /dev/null 2>&1");
}

std::string Bracket() {
  const std::string path = keltest::OutputPath("bracket.stl");
  kelrendertest::WriteAsciiStl(path, kelrendertest::Bracket());
  return path;
}

// The three numbers after `key` in `text`: "point (x, y, z)".
bool Numbers(const std::string& text, const std::string& key, double v[3]) {
  const size_t at = text.find(key + " (");
  return at != std::string::npos &&
         std::sscanf(text.c_str() + at + key.size(), " (%lf, %lf, %lf)", &v[0], &v[1], &v[2]) == 3;
}

// The viewer's drawing area in kelview's window `w`: the largest window under
// it without children, its position taken in `w`.
bool DrawingArea(unsigned long w, int& x, int& y, int& width, int& height) {
  Display* d = keltest::TestDisplay();
  Window best = 0;
  long bestArea = 0;
  std::vector<Window> todo = {w};
  while (!todo.empty()) {
    const Window at = todo.back();
    todo.pop_back();
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, at, &root, &parent, &children, &n)) continue;
    for (unsigned i = 0; i < n; ++i) {
      XWindowAttributes a;
      Window r, p, *grandChildren = nullptr;
      unsigned count = 0;
      if (!XGetWindowAttributes(d, children[i], &a) ||
          !XQueryTree(d, children[i], &r, &p, &grandChildren, &count))
        continue;
      if (grandChildren) XFree(grandChildren);
      if (count == 0 && long(a.width) * a.height >= bestArea) {
        bestArea = long(a.width) * a.height;
        best = children[i];
        width = a.width;
        height = a.height;
      }
      todo.push_back(children[i]);
    }
    if (children) XFree(children);
  }
  Window child;
  return best && XTranslateCoordinates(d, best, w, 0, 0, &x, &y, &child);
}

// An xdotool move to (dx, dy) from the centre of the drawing area of
// kelview's window `w`.
std::string At(unsigned long w, int dx, int dy) {
  int x = 0, y = 0, width = 0, height = 0;
  EXPECT_TRUE(DrawingArea(w, x, y, width, height));
  return " mousemove --window " + std::to_string(w) + " " + std::to_string(x + width / 2 + dx) +
         " " + std::to_string(y + height / 2 + dy) + " ";
}

TEST(KelView, ConflictingOrMissingRecordingsAreRefused) {
  KelView both("both", "--record a.rec --replay b.rec");
  EXPECT_EQ(both.Wait(), 2);
  EXPECT_NE(both.Errors().find("exclude each other"), std::string::npos);
  KelView missing("missing", "--replay /nonexistent/session.rec");
  EXPECT_EQ(missing.Wait(), 3);
}

// Seen from the top in parallel projection, the bracket's base lies at
// z = 6 under most of the picture, its normal straight up.
TEST(KelView, PreselectsAndSelectsWhatThePointerIsOn) {
  RequireTools();
  KelView view("select", "--verbose --view top --projection parallel --size 320x240 " + Bracket());
  const unsigned long w = view.Window();
  ASSERT_NE(w, 0u) << view.Errors();
  // Framed on its bounding sphere (some 4 pixels a millimetre), the base
  // spans 40 pixels up and down from the centre.
  ASSERT_TRUE(Xdotool(At(w, 40, 0)));
  EXPECT_EQ(view.Until("kelview: preselected"), "kelview: preselected part 0");
  ASSERT_TRUE((Xdotool("click 1")));
  const std::string selected = view.Until("kelview: status:");
  double p[3] = {}, n[3] = {};
  ASSERT_TRUE(Numbers(selected, "point", p) && Numbers(selected, "normal", n)) << selected;
  EXPECT_TRUE(p[0] > 6 && p[0] < 40 && p[1] > 0 && p[1] < 20) << selected;
  EXPECT_NEAR(p[2], 6.0, 0.01);
  EXPECT_TRUE(n[0] == 0 && n[1] == 0 && n[2] == 1) << selected;
  // Above the part: the highlight goes, and a click there clears the
  // selection.
  ASSERT_TRUE(Xdotool(At(w, 40, -100)));
  EXPECT_EQ(view.Until("kelview: preselected"), "kelview: preselected nothing");
  ASSERT_TRUE((Xdotool("click 1")));
  EXPECT_EQ(view.Until("kelview: status:"), "kelview: status: Nothing selected");
  ASSERT_TRUE((Xdotool("windowfocus --sync " + std::to_string(w) + " key ctrl+q")));
  EXPECT_EQ(view.Wait(), 0) << view.Errors();
}

// A session driven with xdotool (a middle-button turn, frame all, a Control
// middle drag, a Shift middle click looking at a point, a zoom with the left
// button during a middle drag, a selection) and quit:
// each gesture's prompts reach the status bar, its last picture matches the
// reference, and its replay in a fresh process ends on the same camera and
// the same picture. Damaged copies of the recording stop with a message.
TEST(KelView, RecordedSessionReplaysToTheSameCameraAndPicture) {
  RequireTools();
  const std::string mesh = Bracket();
  const std::string recording = keltest::OutputPath("session.rec");
  const std::string live = keltest::OutputPath("live.png");
  const std::string replayed = keltest::OutputPath("replay.png");
  std::string liveCamera;
  {
    KelView view("live", "--verbose --size 320x240 --record " + recording + " --screenshot " +
                             live + " " + mesh);
    const unsigned long w = view.Window();
    ASSERT_NE(w, 0u) << view.Errors();
    const std::string id = std::to_string(w);
    // (x, y) as in a 320 x 300 window whose centre is the drawing area's.
    auto at = [&](int x, int y) { return At(w, x - 160, y - 150); };
    // The next prompt that says something (the editor also clears the status
    // bar between drags).
    auto prompt = [&]() {
      std::string line;
      do line = view.Until("kelview: prompt: ", 20000);
      while (line == "kelview: prompt: ");
      return line.empty() ? std::string("(none)") : line.substr(17);
    };
    // Each motion that drives a gesture waits for the prompt of the one that
    // started it: two motions queued together may reach kelview as one.
    ASSERT_TRUE((Xdotool(at(160, 140) + " mousedown 2" + at(185, 150))));
    EXPECT_EQ(prompt(), "Release to seek   Drag to rotate   Press left button to zoom");
    EXPECT_EQ(prompt(), "Drag to rotate   Press left button to zoom");
    ASSERT_TRUE((Xdotool(at(210, 165) + " mouseup 2")));
    ASSERT_TRUE((Xdotool("windowfocus --sync " + id + " key f")));
    EXPECT_NE(view.Until("kelview: framed"), "");
    // The head turn starts and stops (its first motion only marks where).
    ASSERT_TRUE((Xdotool("keydown ctrl" + at(150, 120) + " mousedown 2" + at(150, 118) +
                         " mouseup 2 keyup ctrl")));
    EXPECT_EQ(prompt(), "Release to step back   Drag to turn head");
    // A point of the part, which the look-at puts at the centre (a click:
    // a drag would size the view by its speed, which the X server's load
    // sets).
    ASSERT_TRUE((Xdotool("keydown shift" + at(160, 150) + " click 2 keyup shift")));
    EXPECT_EQ(prompt(), "Release to valid or drag to define the new viewpoint");
    ASSERT_TRUE((Xdotool(at(200, 100) + " mousedown 2" + at(200, 104) + " mousedown 1" +
                         at(200, 130) + " mouseup 1 mouseup 2")));
    EXPECT_EQ(prompt(), "Release to seek   Drag to rotate   Press left button to zoom");
    EXPECT_EQ(prompt(), "Drag to rotate   Press left button to zoom");
    EXPECT_EQ(prompt(), "Drag to zoom   Release left button to rotate");
    ASSERT_TRUE((Xdotool(at(160, 150) + " click 1")));
    EXPECT_NE(view.Until("kelview: status: Selected", 5000), "");
    ASSERT_TRUE((Xdotool("key ctrl+q")));
    liveCamera = view.Until("kelview: camera");
    EXPECT_EQ(view.Wait(), 0) << view.Errors();
  }
  std::unique_ptr<KelPixelImage> livePicture(KelPngImage::Read(live));
  ASSERT_NE(livePicture, nullptr);
  keltest::ExpectMatchesReference(*livePicture, keltest::DataPath("kelview/bracket_session.png"),
                                  "bracket_session");

  KelView replay("replay",
                 "--size 500x400 --replay " + recording + " --screenshot " + replayed + " " + mesh);
  EXPECT_EQ(replay.Until("kelview: camera"), liveCamera);
  EXPECT_EQ(replay.Wait(), 0) << replay.Errors();
  std::unique_ptr<KelPixelImage> replayPicture(KelPngImage::Read(replayed));
  ASSERT_NE(replayPicture, nullptr);
  EXPECT_EQ(keltest::CountDifferentPixels(*livePicture, *replayPicture, 0), 0);

  // Cut inside its last record, and garbage.
  const std::string bytes = Slurp(recording);
  ASSERT_GT(bytes.size(), 40u);
  const std::string cut = keltest::OutputPath("cut.rec");
  std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() - 3);
  KelView cutShort(
      "cut", "--replay " + cut + " --screenshot " + keltest::OutputPath("cut.png") + " " + mesh);
  EXPECT_EQ(cutShort.Wait(), 4);
  EXPECT_NE(cutShort.Errors().find("stopped early"), std::string::npos) << cutShort.Errors();
  const std::string garbage = keltest::OutputPath("garbage.rec");
  std::ofstream(garbage, std::ios::binary) << "\x89KELREC\n" << std::string(64, '\xff');
  KelView damaged("garbage", "--replay " + garbage + " " + mesh);
  EXPECT_EQ(damaged.Wait(), 4);
  EXPECT_NE(damaged.Errors().find("cannot replay"), std::string::npos) << damaged.Errors();
}

// Random moves, clicks of every button (the contextual menu included), keys
// and resizes: kelview survives them without an X error, a sanitizer report
// or a leak (its exit status), and without growing. KEL_STORM_EVENTS sets
// the storm's size (scripts/soak.sh).
TEST(KelView, SurvivesARandomInputStorm) {
  RequireTools();
  const char* size = std::getenv("KEL_STORM_EVENTS");
  const int events = size ? std::atoi(size) : 2000;
  // Under load the storm takes kelview many seconds to work through: each
  // probe waits long, so that few answers come late and are taken for the
  // next probe's.
  KelView view("storm", "--verbose --size 480x360", 280);
  const unsigned long w = view.Window();
  ASSERT_NE(w, 0u) << view.Errors();
  const std::vector<KeySym> keys = {XK_a,         XK_b,      XK_Left,   XK_Right, XK_Up,
                                    XK_Down,      XK_space,  XK_Return, XK_Tab,   XK_Shift_L,
                                    XK_Control_L, XK_Escape, XK_1};
  // Frame all (F) is the probe: kelview answers it with its resident memory
  // once it has worked through everything sent before. A contextual menu
  // that it posts late takes the keys sent meanwhile: Escape takes it down,
  // and the probe goes again.
  auto probe = [&]() {
    long kb = 0;
    for (int attempt = 0; attempt < 10 && kb == 0; ++attempt) {
      keltest::TapKey(XK_Escape);
      XSetInputFocus(keltest::TestDisplay(), w, RevertToPointerRoot, CurrentTime);
      keltest::TapKey(XK_f);
      std::sscanf(view.Until("kelview: framed", 12000).c_str(), "kelview: framed, resident %ld",
                  &kb);
    }
    return kb;
  };
  keltest::InputStorm(w, events / 10, 1, keys);
  const long before = probe();
  const keltest::StormCounts counts = keltest::InputStorm(w, events, 2, keys);
  EXPECT_GT(counts.resizes, 0);
  const long after = probe();
  ASSERT_GT(before, 0) << view.Errors();
  ASSERT_GT(after, 0) << view.Errors();
  RecordProperty("resident_kB_before", int(before));
  RecordProperty("resident_kB_after", int(after));
#if !defined(__SANITIZE_ADDRESS__) && !(defined(__has_feature) && __has_feature(address_sanitizer))
  // The sanitizer's quarantine holds freed memory back: only a plain build
  // tells growth.
  EXPECT_LT(double(after), 1.05 * double(before)) << before << " kB, then " << after << " kB";
#endif
  // Ctrl+Q, again after Escape while a late contextual menu takes the keys.
  // A focus request that crosses kelview's exit is no fault.
  const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  bool ended = false;
  for (int attempt = 0; attempt < 5 && !ended; ++attempt) {
    keltest::TapKey(XK_Escape);
    XSetInputFocus(keltest::TestDisplay(), w, RevertToPointerRoot, CurrentTime);
    keltest::HoldKey(XK_Control_L, true);
    keltest::TapKey(XK_q);
    keltest::HoldKey(XK_Control_L, false);
    ended = !view.Until("kelview: end", 12000).empty();
  }
  XSync(keltest::TestDisplay(), False);
  XSetErrorHandler(previous);
  EXPECT_TRUE(ended) << (view.lines.empty() ? "" : view.lines.back());
  EXPECT_EQ(view.Wait(), 0) << view.Errors();
  EXPECT_EQ(view.Errors().find("X protocol errors"), std::string::npos) << view.Errors();
}

// Seen from the top in parallel projection, the built-in assembly's left
// pillow block (at height 8) is selected, given the translator with T and
// dragged, then the rotator with R and turned (how far each moves it is
// worked out in the manipulator tests; here the picture at the end matches
// the reference), and Escape during a third drag puts it back where that
// drag found it.
TEST(KelView, DragsTheSelectedPartAndEscapePutsItBack) {
  RequireTools();
  const std::string shot = keltest::OutputPath("drag.png");
  KelView view("drag",
               "--verbose --view top --projection parallel --samples 1 --size 400x300 "
               "--record " +
                   keltest::OutputPath("drag.rec") + " --screenshot " + shot);
  const unsigned long w = view.Window();
  ASSERT_NE(w, 0u) << view.Errors();
  const std::string id = std::to_string(w);
  double o[3] = {}, back[3] = {};
  ASSERT_TRUE(Xdotool(At(w, -57, -35)));
  EXPECT_EQ(view.Until("kelview: preselected"), "kelview: preselected part 1");
  ASSERT_TRUE(Xdotool("click 1"));
  EXPECT_NE(view.Until("kelview: status: Selected"), "");
  ASSERT_TRUE(Xdotool("windowfocus --sync " + id + " key t"));
  EXPECT_NE(view.Until("kelview: status: Translate"), "");
  // 40 pixels right and 20 up, clear of the shaft; presses 5 pixels apart
  // make no double click.
  ASSERT_TRUE(
      Xdotool(At(w, -57, -30) + "mousedown 1 " + At(w, -37, -40) + At(w, -17, -50) + "mouseup 1"));
  // Seen from the top the picture cannot tell the part's height: it stays.
  ASSERT_TRUE(Numbers(view.Until("kelview: drag ended"), "origin", o));
  EXPECT_EQ(o[2], 8.0);

  // R: the rotator, on a virtual sphere about the part's centre.
  ASSERT_TRUE(Xdotool("windowfocus --sync " + id + " key r"));
  EXPECT_NE(view.Until("kelview: status: Rotate"), "");
  ASSERT_TRUE(
      Xdotool(At(w, -17, -60) + "mousedown 1 " + At(w, -17, -55) + At(w, -17, -50) + "mouseup 1"));
  ASSERT_TRUE(Numbers(view.Until("kelview: drag ended"), "origin", o));
  EXPECT_GT(std::abs(o[2] - 8.0), 0.5) << "tilted";

  // The point grabbed last lies under (-17, -50).
  ASSERT_TRUE(Xdotool(At(w, -17, -50) + "mousedown 1 " + At(w, -7, -40) + At(w, 13, -30)));
  ASSERT_TRUE(Xdotool("key Escape"));
  ASSERT_TRUE(Numbers(view.Until("kelview: drag cancelled"), "origin", back));
  ASSERT_TRUE(Xdotool(At(w, 23, -20) + "mouseup 1"));
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], o[i], 1e-3);

  ASSERT_TRUE(Xdotool("windowfocus --sync " + id + " key ctrl+q"));
  EXPECT_EQ(view.Wait(), 0) << view.Errors();
  std::unique_ptr<KelPixelImage> picture(KelPngImage::Read(shot));
  ASSERT_NE(picture, nullptr);
  keltest::ExpectMatchesReference(*picture, keltest::DataPath("kelview/drag_session.png"),
                                  "drag_session");
}

// The text after "camera " in a line: origin, sight and up, to nine digits.
std::string Camera(const std::string& line) {
  const size_t at = line.find("camera ");
  return at == std::string::npos ? std::string() : line.substr(at);
}

// The history and the performances dialog from real input (what they do is
// worked out in the navigation and dialog tests). A middle drag turns the
// view; P brings back the framed camera bit for bit, N the turned one.
// Ctrl+P opens the performances dialog, whose LOD button switches the levels
// of detail off (accuracy 0).
TEST(KelView, StepsThroughTheHistoryAndSetsThePerformances) {
  RequireTools();
  KelView view("history", "--verbose --size 320x240 " + Bracket());
  const unsigned long w = view.Window();
  ASSERT_NE(w, 0u) << view.Errors();
  const std::string id = std::to_string(w);
  ASSERT_TRUE(Xdotool("windowfocus --sync " + id + " key f"));
  const std::string framed = Camera(view.Until("kelview: framed"));
  ASSERT_NE(framed, "");
  ASSERT_TRUE(Xdotool(At(w, 0, 0) + " mousedown 2" + At(w, 20, 5)));
  EXPECT_NE(view.Until("kelview: prompt: Drag to rotate", 20000), "");
  ASSERT_TRUE(Xdotool(At(w, 60, 25) + " mouseup 2"));
  ASSERT_TRUE(Xdotool("windowfocus --sync " + id + " key p"));
  EXPECT_EQ(Camera(view.Until("kelview: view previous")), framed);
  ASSERT_TRUE(Xdotool("key n"));
  EXPECT_NE(Camera(view.Until("kelview: view next")), framed);

  ASSERT_TRUE(Xdotool("key ctrl+p"));
  int bx = -1, by = -1;
  std::sscanf(view.Until("kelview: performances open").c_str(),
              "kelview: performances open, LOD button at %d %d", &bx, &by);
  ASSERT_GE(bx, 0);
  ASSERT_TRUE(
      Xdotool("search --sync --onlyvisible --name '^Visualization performances:$'"
              " mousemove --window %1 " +
              std::to_string(bx + 4) + " " + std::to_string(by + 4) + " click 1"));
  EXPECT_EQ(view.Until("kelview: performances"), "kelview: performances accuracy 0 culling 2");
  ASSERT_TRUE(Xdotool("windowfocus --sync " + id + " key ctrl+q"));
  EXPECT_EQ(view.Wait(), 0) << view.Errors();
}

// The aids a user switches on from the keyboard: D the dashboard, G the
// ground; the axis board is on from the start. The live picture and the
// recording replayed in a fresh process both match the reference. The
// performance gauges are left out: their bars are this machine's durations.
TEST(KelView, DashboardGroundAndAxisBoardMatchTheirReference) {
  RequireTools();
  const std::string mesh = Bracket(), recording = keltest::OutputPath("aids.rec");
  const std::string live = keltest::OutputPath("aids.png"),
                    replayed = keltest::OutputPath("aids-replayed.png");
  KelView view("aids", "--samples 1 --size 320x240 --record " + recording + " --screenshot " +
                           live + " --verbose " + mesh);
  const unsigned long w = view.Window();
  ASSERT_NE(w, 0u) << view.Errors();
  ASSERT_TRUE(Xdotool("windowfocus --sync " + std::to_string(w) + " key d key g key ctrl+q"));
  EXPECT_EQ(view.Wait(), 0) << view.Errors();
  KelView replay("aids-replay", "--samples 1 --size 320x240 --replay " + recording +
                                    " --screenshot " + replayed + " " + mesh);
  EXPECT_EQ(replay.Wait(), 0) << replay.Errors();
  for (const std::string& shot : {live, replayed}) {
    std::unique_ptr<KelPixelImage> picture(KelPngImage::Read(shot));
    ASSERT_NE(picture, nullptr) << shot;
    keltest::ExpectMatchesReference(*picture, keltest::DataPath("kelview/aids.png"), "aids");
  }
}

}  // namespace

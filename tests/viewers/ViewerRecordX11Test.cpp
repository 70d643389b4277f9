// Recording a viewer session driven by real input and replaying it into a
// new viewer of another size; replays of damaged or foreign recordings.
#include <gtest/gtest.h>

#include <kel/framework/KelDlgDocument.h>
#include <kel/framework/KelMarshal.h>
#include <kel/framework/KelRecord.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/navigation/KelViewpointEditor.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <X11/keysym.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelViewerSession.h"
#include "KelXInput.h"
#include "KelXSession.h"

using keltest::NotificationLog;
using keltest::ViewerSession;

namespace {

// Pans the camera by the drag, a hundredth of a model unit per pixel.
class PanEditor : public KelViewpointEditor {
 public:
  explicit PanEditor(Kel3DViewpoint* v) : KelViewpointEditor(KelString("pan"), v), _camera(v) {}
  int Activate(KelNotification*) override { return 1; }
  int EndActivate(KelNotification*) override { return 1; }
  int BeginManipulate(KelNotification* n) override { return Take(n, false); }
  int Manipulate(KelNotification* n) override { return Take(n, true); }
  int Take(KelNotification* n, bool move) {
    auto* mouse = dynamic_cast<KelMouseEvent*>(n);
    if (!mouse) return 0;
    const Kelpoint2f p = mouse->GetPosition();
    if (move) {
      const Kelpoint3f o = _camera->GetOrigin();
      _camera->SetOrigin(
          Kelpoint3f(o.x - 0.01f * (p.x - _last.x), o.y + 0.01f * (p.y - _last.y), o.z));
    }
    _last = p;
    return 1;
  }

 private:
  Kel3DViewpoint* _camera;
  Kelpoint2f _last;
};

// A viewer with two cubes and the pan editor; the camera set without
// reading the window, so that a replay at another size starts the same.
struct Scene {
  explicit Scene(int width, int height)
      : owned(std::make_unique<ViewerSession>("viewer", width, height, false)), session(*owned) {
    KelViewer* viewer = session.viewer;
    Kel3DViewpoint* v = viewer->GetMain3DViewpoint();
    for (int i = 0; i < 2; ++i) {
      auto* rep = new Kel3DCuboidRep(Kelpoint3f(i ? 1.0f : -3.0f, -1, -1), Kelvector3f(2, 0, 0),
                                     Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2), 4);
      v->AddRep(rep);
      reps.push_back(rep);
      manipulators.push_back(new KelManipulator(&log, KelString(i ? "B" : "A"), rep));
    }
    v->Set(Kelpoint3f(0, 0, 20), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
    v->Reframe(320, 240, 3.6f, 1.0f);
    v->Set(Kelpoint3f(0, 0, 20), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
    viewer->SetViewpointEditor(new PanEditor(v));
    for (int i = 0; i < 2; ++i)
      v->ComputePixelFromModel(Kelpoint3f(i ? 2.0f : -2.0f, 0, 1), centre[i], 320, 240, 3.6f, 1.0f);
  }
  ~Scene() {
    owned.reset();
    for (KelManipulator* m : manipulators) delete m;
    for (KelRep* r : reps) r->Destroy();
  }
  // The camera's bits.
  std::vector<float> Camera() const {
    Kel3DViewpoint* v = session.viewer->GetMain3DViewpoint();
    const Kelpoint3f o = v->GetOrigin();
    const Keldirection3f s = v->GetSightDirection(), u = v->GetUpDirection();
    return {o.x, o.y, o.z, s.x, s.y, s.z, u.x, u.y, u.z, v->GetFocusDistance(), v->GetZoom()};
  }

  NotificationLog log;
  std::unique_ptr<ViewerSession> owned;
  ViewerSession& session;
  std::vector<KelRep*> reps;
  std::vector<KelManipulator*> manipulators;
  Kelpoint2f centre[2];  // of A and B in the window, before any pan
};

std::vector<std::string> Lines(const std::string& text, const char* prefix) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  return lines;
}

class ViewerRecordX11 : public keltest::ViewerX11Test {
 protected:
  void SetUp() override {
    if (!Start()) return;
    setenv("KELRECORDCAPTURE", "1", 1);
    KelRecord::SetTraceLevel('2');
    keltest::Settle();
  }
  void Close() override {
    KelRecord::GetMain()->Stop();
    KelRecord::SetTraceLevel(0);
    unsetenv("KELRECORDCAPTURE");
  }

  // Replays `path` into a new scene until the recording has been handed out.
  std::unique_ptr<Scene> Replay(const std::string& path, int width, int height) {
    EXPECT_EQ(KelRecord::GetMain()->StartReplay(path.c_str()), 0);
    auto scene = std::make_unique<Scene>(width, height);
    EXPECT_TRUE(keltest::PumpUntil([] { return KelRecord::GetMain()->GetMode() == 0; }, 60000));
    keltest::Settle();
    return scene;
  }
};

TEST_F(ViewerRecordX11, ReplayGivesTheSameNotificationsCameraAndTraceAtAnotherSize) {
  const std::string path = keltest::OutputPath("session.rec");
  std::vector<std::string> recorded;
  std::vector<float> camera;
  std::string recordTrace;
  float recordedWidth = 0, recordedHeight = 0;
  {
    ASSERT_EQ(KelRecord::GetMain()->StartRecording(path.c_str()), 0);
    testing::internal::CaptureStdout();
    Scene scene(320, 240);
    ASSERT_TRUE(scene.session.WaitReady());
    Widget area = scene.session.Area();
    scene.session.Focus();
    const int ax = int(scene.centre[0].x), ay = int(scene.centre[0].y);
    const int bx = int(scene.centre[1].x), by = int(scene.centre[1].y);
    auto to = [&](int x, int y) {
      keltest::PointerTo(area, x, y);
      keltest::Settle();
    };
    to(ax, ay);  // onto A
    keltest::Click(area, 1, ax + 5, ay - 2);
    keltest::HoldKey(XK_Shift_L, true);
    to(bx, by);  // onto B, Shift held
    keltest::HoldKey(XK_Shift_L, false);
    to(160, 200);  // nothing: a middle drag pans
    keltest::PressButton(2);
    for (int i = 0; i <= 4; ++i) to(160 + 10 * i, 200 - 5 * i);
    keltest::ReleaseButton(2);
    keltest::Settle();
    to(bx - 20, by);  // B, where the pan has moved it
    keltest::Click(area, 1, bx - 20, by);
    scene.session.viewer->Draw();
    ASSERT_TRUE(scene.session.WaitUpdates(1));
    recordTrace = testing::internal::GetCapturedStdout();
    ASSERT_EQ(KelRecord::GetMain()->Stop(), 0);
    recorded = scene.log.Texts();
    camera = scene.Camera();
    scene.session.viewer->GetGraphicSize(&recordedWidth, &recordedHeight);
  }
  ASSERT_GT(recorded.size(), 8u);
  EXPECT_NE(camera[0], 0.0f) << "the middle drag panned";
  const std::vector<std::string> saved = Lines(recordTrace, "/RECORD/");
  ASSERT_FALSE(saved.empty());

  testing::internal::CaptureStdout();
  std::unique_ptr<Scene> replay = Replay(path, 400, 300);
  // Live input and resizes change nothing once the replay has run, nor while
  // it runs (it has its own geometry).
  const std::string replayTrace = testing::internal::GetCapturedStdout();
  EXPECT_EQ(replay->log.Texts(), recorded);
  EXPECT_EQ(std::memcmp(replay->Camera().data(), camera.data(), camera.size() * sizeof(float)), 0);
  float w = 0, h = 0;
  replay->session.viewer->GetGraphicSize(&w, &h);
  EXPECT_EQ(w, recordedWidth);
  EXPECT_EQ(h, recordedHeight);
  // The same lines, each with the other prefix (of the same width).
  std::vector<std::string> restored = Lines(replayTrace, "/REPLAY/");
  ASSERT_EQ(restored.size(), saved.size());
  for (size_t i = 0; i < saved.size(); ++i) EXPECT_EQ(restored[i].substr(22), saved[i].substr(22));
}

// Records of the viewer "viewer" written by hand.
struct RecordFile {
  KelMarshal stream;
  RecordFile() {
    const unsigned char magic[8] = {0x89, 'K', 'E', 'L', 'R', 'E', 'C', '\n'};
    stream.WriteBytes(magic, 8);
    stream.WriteUnsignedInt(1);
  }
  void Add(const char* eventClass, const KelMarshal& payload) {
    stream.WriteString("viewer");
    stream.WriteUnsignedInt(0);
    stream.WriteString(eventClass);
    stream.WriteBlock(payload.GetData(), payload.GetSize());
  }
  void Motion(const char* device, float x, float y) {
    KelMarshal p;
    p.WriteString(device);
    p.WriteUnsignedLong(1000);
    p.WriteFloat(x);
    p.WriteFloat(y);
    Add("KelMotionEvent", p);
  }
  void Resize(float width, float height) {
    KelMarshal p;
    p.WriteFloat(width);
    p.WriteFloat(height);
    Add("KelResizeEvent", p);
  }
  std::string Write(const char* name) {
    const std::string path = keltest::OutputPath(name);
    std::vector<unsigned char> bytes(stream.GetData(), stream.GetData() + stream.GetSize());
    keltest::WriteBytes(path, bytes);
    return path;
  }
};

TEST_F(ViewerRecordX11, DamagedOrForeignRecordingsStopWithAMessage) {
  struct Case {
    const char* what;
    std::string path;
    const char* message;
  };
  std::vector<Case> cases;
  {
    RecordFile f;
    f.Resize(320, 240);
    f.Motion("KelJoystickDevice", 80, 120);
    cases.push_back(
        {"unknown device", f.Write("device.rec"), "has no device \"KelJoystickDevice\""});
  }
  {
    RecordFile f;
    KelMarshal p;
    p.WriteString("KelMouseDevice");
    f.Add("KelMotionEvent", p);  // the stamp and position are missing
    f.Resize(std::nanf(""), 1e30f);
    f.Motion("KelMouseDevice", 1e30f, 5);
    f.Add("KelUnknownEvent", p);
    cases.push_back({"garbage", f.Write("garbage.rec"), "cannot be"});
  }
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    testing::internal::CaptureStderr();
    std::unique_ptr<Scene> scene = Replay(k.path, 320, 240);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find(k.message), std::string::npos) << errors;
    // The viewer lives on.
    scene->session.viewer->Draw();
    EXPECT_TRUE(scene->session.WaitUpdates(1));
  }
}

}  // namespace

// Scripted middle-button drags through the editors, without a viewer, and the
// cameras they leave, worked out by hand. The camera starts at (0, -10, 0)
// looking along +y at the origin with z up, so its right is +x; a drag of
// 600 pixels turns by pi / 2 and 100 pixels down double the distance.
#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/navigation/KelBasic3DViewpointEditor.h>
#include <kel/navigation/KelStayAndLookViewpointEditor.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelTestScene.h"

namespace {

using keltest::ExpectXYZ;
using Texts = std::vector<std::string>;
const int kControl = 4;

Kel3DViewpoint Level() {
  return Kel3DViewpoint(Kelpoint3f(0, -10, 0), Keldirection3f(0, 1, 0), Keldirection3f(0, 0, 1),
                        1.0f, 100.0f, CONIC_PROJECTION, 10.0f);
}

// Writes down the prompts instead of showing them.
class Editor : public KelBasic3DViewpointEditor {
 public:
  Editor(Kel3DViewpoint& v, KelBasic3DViewpointEditorMode mode)
      : KelBasic3DViewpointEditor(KelString("editor"), v, mode) {}
  void SetMessage(const KelUnicodeString& text) override {
    prompts.push_back(text.ConvertToChar());
  }
  Texts prompts;
};

// The events of one drag, as the mouse device hands them.
class Drag {
 public:
  Drag(Kel3DViewpointEditor& editor, float x, float y, int modifiers = 0) : _editor(editor) {
    _mouse.SetModifiers(modifiers);
    _mouse.SetPosition(x, y);
    _mouse.SetTimeStamp(_time);
    _editor.BeginManipulate(&_mouse);
  }
  Drag& To(float x, float y) {
    _mouse.SetPosition(x, y);
    _mouse.SetTimeStamp(_time += 10);
    _editor.Manipulate(&_mouse);
    return *this;
  }
  Drag& Left(bool down) {
    _mouse.SetButtons(down ? 1 : 0);
    _editor.Manipulate(&_mouse);
    return *this;
  }
  void Release() { _editor.EndManipulate(&_mouse); }
  unsigned long Time() const { return _time; }

 private:
  Kel3DViewpointEditor& _editor;
  KelMouseEvent _mouse;
  unsigned long _time = 1000;
};

void Key(Kel3DViewpointEditor& editor, int key) {
  KelKeyboardEvent k;
  k.SetKey(key);
  editor.Manipulate(&k);
}

TEST(KelBasic3DViewpointEditor, ExamineDragDownTurnsAboutTheRightDirection) {
  // (Sideways turns, with their prompts, are driven by real input in
  // NavigationX11Test.) The first motion starts the turn: the eye rises.
  Kel3DViewpoint v = Level();
  Editor e(v, EXAMINE_MODE);
  Drag(e, 0, 0).To(0, 4).To(0, 604).Release();
  ExpectXYZ(v.GetOrigin(), 0, 0, 10);
  ExpectXYZ(v.GetTarget(), 0, 0, 0);
  EXPECT_EQ(e.GetActionState(), 0);
}

TEST(KelBasic3DViewpointEditor, LeftButtonDuringTheDragZoomsTheDistanceTwofoldPer100Pixels) {
  Kel3DViewpoint v = Level();
  Editor e(v, EXAMINE_MODE);
  Drag d(e, 100, 100);
  d.To(100, 104).Left(true).To(100, 154).To(100, 204);
  EXPECT_NEAR(v.GetFocusDistance(), 20.0, 1e-3);
  ExpectXYZ(v.GetOrigin(), 0, -20, 0, 1e-3);
  d.To(100, 104);  // back up: the distance is halved again
  EXPECT_NEAR(v.GetFocusDistance(), 10.0, 1e-3);
  d.Left(false).Release();
  ExpectXYZ(v.GetTarget(), 0, 0, 0, 1e-3);
  // In zoom mode alone the drag itself zooms.
  Editor zoom(v, ZOOM_MODE);
  Drag(zoom, 0, 0).To(0, -100).Release();
  EXPECT_NEAR(v.GetFocusDistance(), 5.0, 1e-3);
}

TEST(KelBasic3DViewpointEditor, LeftPressedBeforeMovingRotatesFromWhereItWasReleased) {
  // Pressed, then released before any motion: the turn starts at the
  // release, not at a position left from an earlier drag.
  Kel3DViewpoint v = Level();
  Editor e(v, EXAMINE_MODE);
  Drag(e, 500, 300).Left(true).Left(false).To(800, 300).To(1100, 300).Release();
  ExpectXYZ(v.GetOrigin(), -10, 0, 0);
}

TEST(KelBasic3DViewpointEditor, ControlClickStepsBack) {
  Kel3DViewpoint v = Level();
  Editor e(v, EXAMINE_MODE);
  Drag(e, 50, 50, kControl).Release();
  ExpectXYZ(v.GetOrigin(), 0, -20, 0);
  EXPECT_NEAR(v.GetFocusDistance(), 20.0, 1e-4);
}

TEST(KelBasic3DViewpointEditor, HorizontalLockKeepsTheHeightOfTheEye) {
  Kel3DViewpoint v = Level();
  Editor e(v, EXAMINE_MODE);
  e.LockHorizontal();
  Drag(e, 0, 0).To(4, 4).To(304, 604).Release();
  // Only the horizontal part turned (pi / 4), about the vertical.
  const float h = static_cast<float>(10.0 / std::sqrt(2.0));
  ExpectXYZ(v.GetOrigin(), -h, -h, 0);
  e.UnlockHorizontal();
}

// ---- Walk and fly

TEST(KelBasic3DViewpointEditor, WalkStartsWithAClickAndFliesAtItsSpeedWhateverTheFrameRate) {
  Kel3DViewpoint slow = Level(), fast = Level();
  Editor a(slow, WALK_MODE), b(fast, WALK_MODE);
  Drag da(a, 0, 0), db(b, 0, 0);
  da.Left(true).Left(false);
  db.Left(true).Left(false);
  EXPECT_EQ(a.prompts.back(), "Drag to change direction   Click left button to go backward");
  // An empty scene flies at a fiftieth of a unit per second.
  EXPECT_FLOAT_EQ(a.GetFlySpeed(), 0.02f);
  const unsigned long t0 = da.Time();
  for (unsigned long t = 10; t <= 1000; t += 10) a.ComputeNextStep(t0 + t);
  for (unsigned long t = 50; t <= 1000; t += 50) b.ComputeNextStep(t0 + t);
  ExpectXYZ(slow.GetOrigin(), 0, -10 + 0.02, 0, 1e-4);
  ExpectXYZ(fast.GetOrigin(), 0, -10 + 0.02, 0, 1e-4);
  // The flight ends with the drag, and the table is back.
  da.Release();
  a.ComputeNextStep(t0 + 2000);
  ExpectXYZ(slow.GetOrigin(), 0, -10 + 0.02, 0, 1e-4);
  EXPECT_EQ(a.GetActionName(1).ConvertToChar(), "turn head");
  EXPECT_FALSE(a.IsAnimated());
}

TEST(KelBasic3DViewpointEditor, PageKeysStepTheSpeedAndItNeverReachesZero) {
  Kel3DViewpoint v = Level();
  Editor e(v, FLY_MODE);
  Key(e, 5);
  // 0.02 * sqrt(2) shown and flown with three decimals.
  EXPECT_EQ(e.prompts.back(), "Speed increased to 0.028 units/s");
  EXPECT_FLOAT_EQ(e.GetFlySpeed(), 0.028f);
  for (int i = 0; i < 300; ++i) Key(e, 6);
  EXPECT_GT(e.GetFlySpeed(), 0.0f);
  EXPECT_THAT(e.prompts.back(), testing::MatchesRegex("Speed increased to 0\\.00000100? units/s"));
  const float low = e.GetFlySpeed();
  Key(e, 5);
  EXPECT_GT(e.GetFlySpeed(), low);
  // Beyond half the model size per second the speed stays.
  for (int i = 0; i < 100; ++i) Key(e, 5);
  EXPECT_LE(e.GetFlySpeed(), 0.5f * 1.5f);
}

// ---- Stay and look

TEST(KelStayAndLookViewpointEditor, ZoomsByTheAngleAndNeverMovesTheEye) {
  Kel3DViewpoint v = Level();
  KelStayAndLookViewpointEditor e(KelString("stay"), v, 1.0f, 40.0f);
  EXPECT_EQ(v.GetGravityMode(), GRAVITY_STEPWISE);
  const double t15 = std::tan(15.0 * KelMath::DEGRERADIANS);
  Drag(e, 0, 0).To(0, 4).Left(true).To(0, 104).Left(false).Release();
  EXPECT_NEAR(std::tan(v.GetAngle() * KelMath::DEGRERADIANS), 2.0 * t15, 1e-4);
  // A Control click doubles the view again, up to the bound.
  Drag(e, 0, 0, kControl).Release();
  EXPECT_NEAR(v.GetAngle(), 40.0, 1e-4);
  Drag(e, 0, 0).To(4, 0).To(300, 200).Release();
  ExpectXYZ(v.GetOrigin(), 0, -10, 0);
}

}  // namespace

// Turning a camera about its target. The expected frames are worked out from
// the rotation matrix's convention: by a about z, (1, 0, 0) goes to
// (cos a, -sin a, 0) and (0, 1, 0) to (sin a, cos a, 0); about x, (0, 1, 0)
// goes to (0, cos a, -sin a) and (0, 0, 1) to (0, sin a, cos a).
#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/navigation/Kel3DViewpointEditor.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>

#include "KelTestEnv.h"
#include "KelTestScene.h"

namespace {

constexpr float kPi = static_cast<float>(KelMath::PI);
const Keldirection3f kZ = Keldirection3f::Unchecked(0, 0, 1);
using keltest::ExpectXYZ;

// At (0, -10, 0) looking along +y at the origin, z up: right is +x.
Kel3DViewpoint Level(KelViewpointGravityMode mode = GRAVITY_OFF) {
  Kel3DViewpoint v(Kelpoint3f(0, -10, 0), Keldirection3f(0, 1, 0), kZ, 1.0f, 100.0f,
                   CONIC_PROJECTION, 10.0f);
  v.SetGravityMode(mode);
  return v;
}

void Turn(Kel3DViewpoint& v, float x, float y, float z) {
  Kel3DViewpointEditor::RotateAround(v, Kelvector3f(x, y, z), kZ);
}

TEST(RotateAround, FreeTurnsAboutTheTargetAlongTheCameraAxes) {
  // About up (y): the sight turns to the right, the eye goes round to -x.
  Kel3DViewpoint yaw = Level();
  keltest::EventCounter events(yaw);
  Turn(yaw, 0, kPi / 2, 0);
  EXPECT_EQ(events.count, 1);
  ExpectXYZ(yaw.GetOrigin(), -10, 0, 0);
  ExpectXYZ(yaw.GetSightDirection(), 1, 0, 0);
  ExpectXYZ(yaw.GetUpDirection(), 0, 0, 1);
  ExpectXYZ(yaw.GetTarget(), 0, 0, 0);
  // About right (x): the eye rises above the target and looks down.
  Kel3DViewpoint pitch = Level();
  Turn(pitch, kPi / 2, 0, 0);
  ExpectXYZ(pitch.GetOrigin(), 0, 0, 10);
  ExpectXYZ(pitch.GetSightDirection(), 0, 0, -1);
  ExpectXYZ(pitch.GetUpDirection(), 0, 1, 0);
  // About the sight (z, carried as minus the sight): the up direction turns.
  Kel3DViewpoint roll = Level();
  Turn(roll, 0, 0, kPi / 2);
  ExpectXYZ(roll.GetOrigin(), 0, -10, 0);
  ExpectXYZ(roll.GetUpDirection(), 1, 0, 0);
  // Too short a vector changes nothing: the bracket sends no event.
  Kel3DViewpoint still = Level();
  keltest::EventCounter stillEvents(still);
  Turn(still, 1e-12f, 0, 0);
  EXPECT_EQ(stillEvents.count, 0);
  ExpectXYZ(still.GetOrigin(), 0, -10, 0);
}

TEST(RotateAround, ProportionalGravityStopsAtAQuarterTurnAndIgnoresRoll) {
  // A pitch of 2 radians ends looking straight down, as a free quarter turn
  // would.
  Kel3DViewpoint v = Level(GRAVITY_PROPORTIONAL);
  Turn(v, 2.0f, 0, 0.7f);
  ExpectXYZ(v.GetOrigin(), 0, 0, 10);
  ExpectXYZ(v.GetSightDirection(), 0, 0, -1);
  // Further down is refused; back up is allowed.
  Turn(v, 0.3f, 0, 0);
  ExpectXYZ(v.GetSightDirection(), 0, 0, -1);
  Turn(v, -kPi / 2, 0, 0);
  ExpectXYZ(v.GetSightDirection(), 0, 1, 0);
  ExpectXYZ(v.GetUpDirection(), 0, 0, 1);
  // The yaw turns about the vertical, the roll is dropped.
  Turn(v, 0, kPi / 2, 0.5f);
  ExpectXYZ(v.GetOrigin(), -10, 0, 0);
  ExpectXYZ(v.GetUpDirection(), 0, 0, 1);
}

TEST(RotateAround, StepwiseGravityTurnsAnUpsideDownCameraTheOtherWay) {
  Kel3DViewpoint upright = Level(GRAVITY_STEPWISE);
  Kel3DViewpoint upsideDown(Kelpoint3f(0, -10, 0), Keldirection3f(0, 1, 0), -kZ, 1.0f, 100.0f,
                            CONIC_PROJECTION, 10.0f);
  upsideDown.SetGravityMode(GRAVITY_STEPWISE);
  Turn(upright, 0, 0.5f, 0);
  Turn(upsideDown, 0, 0.5f, 0);
  ExpectXYZ(upright.GetSightDirection(), std::sin(0.5), std::cos(0.5), 0);
  ExpectXYZ(upsideDown.GetSightDirection(), -std::sin(0.5), std::cos(0.5), 0);
  ExpectXYZ(upsideDown.GetUpDirection(), 0, 0, -1);
  ExpectXYZ(upsideDown.GetTarget(), 0, 0, 0);
}

TEST(RotateAround, ManySmallTurnsKeepTheFrameAndTheTarget) {
  // Far from the model origin, where float rounding is coarse.
  Kel3DViewpoint free(Kelpoint3f(1000, 2000, 500), Keldirection3f(-1, -2, -0.5f), kZ, 1.0f, 1e5f,
                      CONIC_PROJECTION, 2000.0f);
  Kel3DViewpoint upright = free;
  upright.SetGravityMode(GRAVITY_PROPORTIONAL);
  const Kelpoint3f target = free.GetTarget();
  for (int i = 0; i < 10000; ++i) {
    const float a = 0.003f * static_cast<float>(std::sin(i * 0.37));
    const float b = 0.002f * static_cast<float>(std::cos(i * 0.11));
    Turn(free, a, b, 0.5f * a);
    Turn(upright, a, b, 0.5f * a);
  }
  for (const Kel3DViewpoint* v : {&free, &upright}) {
    const Keldirection3f s = v->GetSightDirection(), u = v->GetUpDirection();
    const Keldirection3f r = v->GetRightDirection();
    EXPECT_NEAR(s * s, 1.0, 1e-5);
    EXPECT_NEAR(u * u, 1.0, 1e-5);
    EXPECT_NEAR(s * u, 0.0, 1e-5);
    EXPECT_NEAR(s * r, 0.0, 1e-5);
    EXPECT_NEAR(u * r, 0.0, 1e-5);
    // A millionth of the distance to the target.
    ExpectXYZ(v->GetTarget(), target.x, target.y, target.z, 2e-3);
    EXPECT_NEAR(v->GetFocusDistance(), 2000.0, 1e-3);
  }
  // Gravity kept the horizon: the right direction stays level.
  EXPECT_NEAR(upright.GetRightDirection() * kZ, 0.0, 1e-5);
  EXPECT_GT(upright.GetUpDirection() * kZ, 0.0f);
}

}  // namespace

// 3D manipulators dragged through a viewer without a screen window: the
// position after scripted motions, worked out by hand from the camera's scale
// (see KelDragViewer.h), the last transformation with its sign, and the
// motions whose geometry gives no step.
#include <gtest/gtest.h>

#include <kel/aids/KelGroundRep.h>
#include <kel/framework/KelMath.h>
#include <kel/manipulators/Kel3DAxisRotator.h>
#include <kel/manipulators/Kel3DAxisTranslator.h>
#include <kel/manipulators/Kel3DGroundTranslator.h>
#include <kel/manipulators/Kel3DPlaneTranslator.h>
#include <kel/manipulators/Kel3DRotator.h>
#include <kel/manipulators/Kel3DTranslator.h>
#include <kel/reps/Kel3DPointRep.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>
#include <memory>

#include "KelTestEnv.h"
#include "KelViewerSession.h"

namespace {

using keltest::NotificationLog;

class Drag3D : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(drag.Ready()); }
  void TearDown() override {
    for (KelManipulator* m : made) delete m;
    rep->Destroy();
  }
  template <class M, class... A>
  M* Make(A... a) {
    auto* m = new M(&log, KelString("m"), rep, a...);
    made.push_back(m);
    return m;
  }
  // Press on the Rep at model point `hit`, seen at the pixel over it.
  int Press(KelManipulator& m, const Kelpoint3f& hit, int modifiers = 0) {
    KelViewerEvent& e = drag.Mouse(drag.Pixel(hit.x, hit.y), rep, hit, modifiers);
    m.Preactivate(&e, nullptr);
    m.Activate(&e, nullptr);
    return m.BeginManipulate(&e, nullptr);
  }
  // The cursor over model point (x, y).
  int MoveTo(KelManipulator& m, float x, float y, int modifiers = 0) {
    return m.Manipulate(&drag.Mouse(drag.Pixel(x, y), rep, Kelpoint3f(), modifiers), nullptr);
  }

  keltest::DragViewer drag;
  NotificationLog log;
  Kel3DPointRep* rep = new Kel3DPointRep();
  std::vector<KelManipulator*> made;
};

Kelpoint3f Apply(const KelMathTransformation& t, const Kelpoint3f& p) {
  return t.Apply(KelMathPoint(p)).ToPoint3f();
}

void ExpectFinite(const Kel4x4Matrix& m) {
  for (int i = 0; i < 16; ++i) ASSERT_TRUE(std::isfinite(m.GetMatrix()[i])) << i;
}

TEST_F(Drag3D, AxisTranslatorFollowsTheNearestAxisPointAndRefusesAnAxisAlongTheSight) {
  auto* m = Make<Kel3DAxisTranslator>(Keldirection3f(1, 0, 0));
  drag.SetZoom(2.0f);
  ASSERT_EQ(drag.PixelsPerUnit(), 20.0f);
  ASSERT_EQ(Press(*m, Kelpoint3f(0, 0, 0)), 1);
  // 40 pixels right at 20 pixels a unit, and off the axis: 2 units along it.
  ASSERT_EQ(MoveTo(*m, 2.0f, 0.7f), 1);
  keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(0, 0, 0), 2, 0, 0);
  keltest::ExpectXYZ(Apply(m->GetLastTransformation(), Kelpoint3f(5, 5, 5)), 7, 5, 5);
  ASSERT_EQ(MoveTo(*m, -1.0f, -3.0f), 1);
  keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(0, 0, 0), -1, 0, 0);
  keltest::ExpectXYZ(Apply(m->GetLastTransformation(), Kelpoint3f(0, 0, 0)), -3, 0, 0);
  EXPECT_EQ(log.Last("m:KelManipulate")->cause, "Kel3DPositionEvent");

  // Along the line of sight no axis point is nearer than another.
  auto* sight = Make<Kel3DAxisTranslator>(Keldirection3f(0, 0, 1));
  ASSERT_EQ(Press(*sight, Kelpoint3f(1, 1, 0)), 1);
  const int sent = log.Count("m:KelManipulate");
  EXPECT_EQ(MoveTo(*sight, 3, 3), 0);
  EXPECT_EQ(log.Count("m:KelManipulate"), sent);
  keltest::ExpectXYZ(sight->GetObjectPosition() * Kelpoint3f(0, 0, 0), 0, 0, 0);
}

TEST_F(Drag3D, PlaneTranslatorGivenANormalReadsItsStepAlongThePlanesOwnAxes) {
  // The plane y + z = 0 seen from above: the cursor over (1, 1) meets it at
  // (1, 1, -1), a step along both derived axes.
  auto* m = Make<Kel3DPlaneTranslator>(Keldirection3f(0, 1, 1));
  const Kelvector3f u = m->GetFirstAxis(), v = m->GetSecondAxis();
  EXPECT_NEAR(u * v, 0, 1e-6);
  keltest::ExpectXYZ(u ^ v, 0, std::sqrt(0.5), std::sqrt(0.5), 1e-6);
  ASSERT_EQ(Press(*m, Kelpoint3f(0, 0, 0)), 1);
  ASSERT_EQ(MoveTo(*m, 1, 1), 1);
  keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(0, 0, 0), 1, 1, -1);
  keltest::ExpectXYZ(Apply(m->GetLastTransformation(), Kelpoint3f(0, 0, 0)), 1, 1, -1);

  // A plane along the sight is never met: nothing moves.
  auto* edge = Make<Kel3DPlaneTranslator>(Keldirection3f(1, 0, 0));
  ASSERT_EQ(Press(*edge, Kelpoint3f(0, 0, 0)), 1);
  EXPECT_EQ(MoveTo(*edge, 1, 1), 0);
  keltest::ExpectXYZ(edge->GetObjectPosition() * Kelpoint3f(0, 0, 0), 0, 0, 0);
}

TEST_F(Drag3D, TranslatorTakesThePlaneFacingTheViewerWhileShiftIsHeld) {
  // The plane of x and z runs along the sight; held Shift picks the plane
  // normal to z, which faces the camera.
  auto* m =
      Make<Kel3DTranslator>(Keldirection3f(1, 0, 0), Keldirection3f(0, 0, 1), Kelpoint3f(0, 0, 0));
  ASSERT_EQ(Press(*m, Kelpoint3f(0, 0, 0)), 1);
  EXPECT_EQ(MoveTo(*m, 1, 2), 0);
  ASSERT_EQ(MoveTo(*m, 1, 2, 1), 1);
  EXPECT_EQ(m->GetCurrentStyle(), KelFacingPlaneTranslation);
  keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(0, 0, 0), 1, 2, 0);
  keltest::ExpectXYZ(Apply(m->GetLastTransformation(), Kelpoint3f(0, 0, 0)), 1, 2, 0);
  EXPECT_EQ(MoveTo(*m, 3, 3), 0) << "Shift released: back to the plane along the sight";
}

TEST_F(Drag3D, AxisRotatorTurnsTheDraggedPointUnderTheCursorAndSignsItsAngleAboutTheAxis) {
  // From (1, 0, 0) to the cursor over (0, 2): a quarter turn about +z in one
  // motion, whichever way the axis is given.
  for (float sense : {1.0f, -1.0f}) {
    auto* m = Make<Kel3DAxisRotator>(Keldirection3f(0, 0, sense), Kelpoint3f(0, 0, 0));
    ASSERT_EQ(Press(*m, Kelpoint3f(1, 0, 0)), 1);
    ASSERT_EQ(MoveTo(*m, 0, 2), 1);
    keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(1, 0, 0), 0, 1, 0);
    keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(0, 1, 3), -1, 0, 3);
    keltest::ExpectXYZ(Apply(m->GetLastTransformation(), Kelpoint3f(2, 0, 0)), 0, 2, 0);
    keltest::ExpectXYZ(m->GetDraggedPoint(), 0, 1, 0);
  }
}

TEST_F(Drag3D, RotatorTurnsOnTheVirtualSphereEvenPastItsRim) {
  auto* m = Make<Kel3DRotator>(Kelpoint3f(0, 0, 0));
  // The top of the unit sphere, towards the camera.
  ASSERT_EQ(Press(*m, Kelpoint3f(0, 0, 1)), 1);
  EXPECT_EQ(m->GetSphereSide(), -1);
  // No motion: no axis to turn about, no step, but the drag goes on.
  ASSERT_EQ(MoveTo(*m, 0, 0), 1);
  keltest::ExpectXYZ(Apply(m->GetLastTransformation(), Kelpoint3f(1, 2, 3)), 1, 2, 3);
  keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(1, 2, 3), 1, 2, 3);
  // To the cursor over (0, -0.5): 30 degrees about +x.
  ASSERT_EQ(MoveTo(*m, 0, -0.5f), 1);
  const float c = std::sqrt(0.75f);
  keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(0, 0, 1), 0, -0.5, c);
  keltest::ExpectXYZ(Apply(m->GetLastTransformation(), Kelpoint3f(0, 1, 0)), 0, c, 0.5);

  // Half a unit past the rim the point runs half a radian round the back:
  // 118.6 degrees from the top in one motion.
  auto* far = Make<Kel3DRotator>(Kelpoint3f(0, 0, 0));
  ASSERT_EQ(Press(*far, Kelpoint3f(0, 0, 1)), 1);
  ASSERT_EQ(MoveTo(*far, 1.5f, 0), 1);
  keltest::ExpectXYZ(far->GetDraggedPoint(), std::cos(0.5), 0, -std::sin(0.5));
}

TEST_F(Drag3D, PivotRotationDragsThePivotAlongWithTheObject) {
  auto* m = Make<Kel3DManipulator>(KelPivotRotation, KelNoManipulation);
  m->SetReferenceAxis(Kelpoint3f(0, 0, 0));
  // Pulled straight away from the pivot: a translation only.
  ASSERT_EQ(Press(*m, Kelpoint3f(2, 0, 0)), 1);
  ASSERT_EQ(MoveTo(*m, 10, 0), 1);
  keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(0, 0, 0), 8, 0, 0);
  keltest::ExpectXYZ(m->GetReferencePoint(), 8, 0, 0);
  // Then 2 sideways on a lever of 2 (k = 1): sin 45 / 36 radians.
  ASSERT_EQ(MoveTo(*m, 10, 2), 1);
  const double angle = std::sqrt(0.5) / 36.0;
  EXPECT_NEAR(m->GetObjectPosition().GetCoefficient(0, 0), std::cos(angle), 1e-5);
  EXPECT_NEAR(m->GetObjectPosition().GetCoefficient(0, 1), std::sin(angle), 1e-5);
  keltest::ExpectXYZ(m->GetDraggedPoint(), 10, 2, 0);
}

TEST_F(Drag3D, StepsWithoutGeometryAreRefusedWithoutNaN) {
  auto* rotator = Make<Kel3DRotator>(Kelpoint3f(1, 1, 0));
  auto* axis = Make<Kel3DAxisRotator>(Keldirection3f(0, 0, 1), Kelpoint3f(0, 0, 0));
  auto* pivot = Make<Kel3DManipulator>(KelPivotRotation, KelNoManipulation);
  // The dragged point at the centre, on the axis, on the pivot.
  ASSERT_EQ(Press(*rotator, Kelpoint3f(1, 1, 0)), 1);
  ASSERT_EQ(Press(*axis, Kelpoint3f(0, 0, 0)), 1);
  ASSERT_EQ(Press(*pivot, Kelpoint3f(0, 0, 0)), 1);
  for (float x : {1.0f, 1.0f, 0.0f}) {
    EXPECT_EQ(MoveTo(*rotator, x, 2), 0);
    EXPECT_EQ(MoveTo(*axis, x, 2), 0);
    EXPECT_EQ(MoveTo(*pivot, x, 2), 0);
  }
  // The cursor over the axis or the pivot.
  auto* axis2 = Make<Kel3DAxisRotator>(Keldirection3f(0, 0, 1), Kelpoint3f(0, 0, 0));
  ASSERT_EQ(Press(*axis2, Kelpoint3f(1, 0, 0)), 1);
  EXPECT_EQ(MoveTo(*axis2, 0, 0), 0);
  for (KelManipulator* k : made) {
    auto* m = static_cast<Kel3DManipulator*>(k);
    ExpectFinite(m->GetObjectPosition());
    keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(0, 0, 0), 0, 0, 0);
  }
  EXPECT_EQ(log.Count("m:KelManipulate"), 0);
}

TEST(GroundTranslator, MovesTheGroundByTheOffsetFromThePressAlongItsVertical) {
  keltest::DragViewer drag;
  ASSERT_TRUE(drag.Ready());
  NotificationLog log;
  // A ground below the unit sphere, vertical y (up on the screen): its origin
  // lies at (0, -1, 0).
  auto* ground = new KelGroundRep(Kel3DBoundingSphere(Kelpoint3f(0, 0, 0), 1, 0), GroundGrid,
                                  Keldirection3f(0, 1, 0));
  keltest::ExpectXYZ(ground->GetOrigin(), 0, -1, 0);
  auto m = std::make_unique<Kel3DGroundTranslator>(&log, KelString("g"), ground);
  const Kelpoint3f hit(0.5f, -1, 0);
  KelViewerEvent& press = drag.Mouse(drag.Pixel(0.5f, -1), ground, hit);
  m->Preactivate(&press, nullptr);
  m->Activate(&press, nullptr);
  ASSERT_EQ(m->BeginManipulate(&press, nullptr), 1);
  KelGroundRep* copy = m->GetMovingCopy();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(drag.viewpoint3D->GetFurtiveRepList().Find(copy), 0);
  // 20 then 30 pixels up at 10 a unit: the copy lies 2 then 3 above the
  // ground, not 5.
  for (float up : {2.0f, 3.0f}) {
    ASSERT_EQ(m->Manipulate(&drag.Mouse(drag.Pixel(0.7f, up - 1), ground, hit), nullptr), 1);
    keltest::ExpectXYZ(copy->GetNewOrigin(), 0, up - 1, 0);
  }
  keltest::ExpectXYZ(ground->GetOrigin(), 0, -1, 0);
  ASSERT_EQ(m->EndManipulate(&press, nullptr), 1);
  keltest::ExpectXYZ(ground->GetOrigin(), 0, 2, 0);
  EXPECT_EQ(m->GetMovingCopy(), nullptr);
  EXPECT_EQ(drag.viewpoint3D->GetFurtiveRepList().Count(), 0);

  // Begun from the keyboard: no copy, and the end changes nothing.
  KelViewerEvent& key = drag.Key(3, ground);
  m->Preactivate(&key, nullptr);
  m->Activate(&key, nullptr);
  ASSERT_EQ(m->BeginManipulate(&key, nullptr), 1);
  EXPECT_EQ(m->Manipulate(&key, nullptr), 0);
  ASSERT_EQ(m->EndManipulate(&key, nullptr), 1);
  keltest::ExpectXYZ(ground->GetOrigin(), 0, 2, 0);
  // A press on nothing is refused and changes nothing.
  KelViewerEvent& nothing = drag.Mouse(drag.Pixel(0, 0));
  m->Preactivate(&nothing, nullptr);
  m->Activate(&nothing, nullptr);
  EXPECT_EQ(m->BeginManipulate(&nothing, nullptr), 0);
  EXPECT_EQ(m->GetInteractiveState(), 2);
  EXPECT_EQ(m->GetMovingCopy(), nullptr);
  // A viewer that hides the ground mid-drag takes the copy away: the release
  // then leaves the ground where it was.
  ASSERT_EQ(m->BeginManipulate(&drag.Mouse(drag.Pixel(0, 2), ground, Kelpoint3f(0, 2, 0)), nullptr),
            1);
  ASSERT_EQ(m->Manipulate(&drag.Mouse(drag.Pixel(0, 4), ground, hit), nullptr), 1);
  m->RemoveRepFurtive(*drag.viewer);
  EXPECT_EQ(m->GetMovingCopy(), nullptr);
  EXPECT_EQ(drag.viewpoint3D->GetFurtiveRepList().Count(), 0);
  ASSERT_EQ(m->EndManipulate(&press, nullptr), 1);
  keltest::ExpectXYZ(ground->GetOrigin(), 0, 2, 0);
  m.reset();
  ground->Destroy();
}

}  // namespace

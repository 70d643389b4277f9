// The manipulator's state machine as its father command sees it, Rep
// association between manipulators, and queries passed along a pick path;
// indicators away from a viewer: the cause they send and what they answer
// about an indicate event. Manipulators dragged through a viewer without a
// screen window: the position after scripted motions, worked out by hand from
// the camera's scale (see KelViewerSession.h), the last transformation with
// its sign, and the motions whose geometry gives no step; random drags of
// random manipulators.
#include <gtest/gtest.h>

#include <kel/aids/KelGroundRep.h>
#include <kel/controller/KelVueNotification.h>
#include <kel/framework/KelCleaner.h>
#include <kel/framework/Kelsegment.h>
#include <kel/manipulators/Kel2DAxisTranslator.h>
#include <kel/manipulators/Kel2DIndicator.h>
#include <kel/manipulators/Kel2DMatrixIndicator.h>
#include <kel/manipulators/Kel2DTranslator.h>
#include <kel/manipulators/Kel3DAxisRotator.h>
#include <kel/manipulators/Kel3DAxisTranslator.h>
#include <kel/manipulators/Kel3DGroundTranslator.h>
#include <kel/manipulators/Kel3DIndicator.h>
#include <kel/manipulators/Kel3DPlaneTranslator.h>
#include <kel/manipulators/Kel3DRotator.h>
#include <kel/manipulators/Kel3DTranslator.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/manipulators/KelManipulatorNotification.h>
#include <kel/picking/KelPickPath.h>
#include <kel/reps/Kel2DRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DPointRep.h>
#include <kel/reps/KelRep.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewers/KelViewerEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelViewerSession.h"

namespace {

using keltest::NotificationLog;
using Texts = std::vector<std::string>;

// Runs the handlers named by `steps` and answers what each answered:
// P/p (End)Preactivate, M Move, A/a (End)Activate, B BeginManipulate,
// N Manipulate, b EndManipulate, E/e (End)Edit, C/c (End)Context.
std::string Steps(KelManipulator& m, const char* steps, KelNotification* cause) {
  using Handler = int (KelManipulator::*)(KelNotification*, KelManipulator*);
  static const std::map<char, Handler> handlers = {
      {'P', &KelManipulator::Preactivate}, {'p', &KelManipulator::EndPreactivate},
      {'M', &KelManipulator::Move},        {'A', &KelManipulator::Activate},
      {'a', &KelManipulator::EndActivate}, {'B', &KelManipulator::BeginManipulate},
      {'N', &KelManipulator::Manipulate},  {'b', &KelManipulator::EndManipulate},
      {'E', &KelManipulator::Edit},        {'e', &KelManipulator::EndEdit},
      {'C', &KelManipulator::Context},     {'c', &KelManipulator::EndContext}};
  std::string answers;
  for (const char* s = steps; *s; ++s) answers += char('0' + (m.*handlers.at(*s))(cause, nullptr));
  return answers;
}

TEST(Manipulator, EachAcceptedStepSendsItsNotificationAndRefusedOnesNothing) {
  NotificationLog father;
  KelManipulator m(&father, "m", nullptr);
  KelViewerEvent e;
  EXPECT_EQ(Steps(m, "pMAaBNbEeCc", &e), "00000000000");
  EXPECT_TRUE(father.entries.empty());
  // A drag; the activation outlives it until it is ended.
  EXPECT_EQ(Steps(m, "PMABNb", &e), "111111");
  EXPECT_EQ(m.GetDeviceState(), 1);
  EXPECT_EQ(Steps(m, "a", &e), "1");
  // (Their order in a real drag: ViewerX11Test.)
  EXPECT_EQ(father.entries.size(), 7u);
  for (const auto& entry : father.entries) EXPECT_EQ(entry.cause, "KelViewerEvent");
  EXPECT_EQ(KelCleaner::GetPendingNotificationCount(), 0) << "gone with the transaction";

  // No drag nor edit before activation; the menu only from preactivation.
  father.entries.clear();
  EXPECT_EQ(Steps(m, "PPBECCMc", &e), "10001001");
  // Activated without a drag, the state stays 2 past the activation's end,
  // and the drag may still begin.
  EXPECT_EQ(Steps(m, "PAEaEB", &e), "111101");
  EXPECT_EQ(father.Texts(),
            (Texts{"m:KelPreactivate", "m:KelContext", "m:KelEndContext", "m:KelPreactivate",
                   "m:KelActivate", "m:KelEdit", "m:KelEndActivate", "m:KelBeginManipulate"}));
}

TEST(Manipulator, ResetStateAndDestroyCloseEachOpenPhaseWithoutCause) {
  NotificationLog father;
  KelViewerEvent e;
  auto* m = new KelManipulator(&father, "m", nullptr);
  Steps(*m, "PAB", &e);
  father.entries.clear();
  m->ResetState();
  EXPECT_EQ(father.Texts(), (Texts{"m:KelEndManipulate", "m:KelEndActivate"}));
  for (const auto& entry : father.entries) EXPECT_EQ(entry.cause, "");
  // The menu closes; state 2 is left as it is.
  father.entries.clear();
  Steps(*m, "PC", &e);
  m->ResetState();
  Steps(*m, "PA", &e);
  m->ResetState();
  EXPECT_EQ(m->GetInteractiveState(), 2);
  EXPECT_EQ(father.Texts(), (Texts{"m:KelPreactivate", "m:KelContext", "m:KelEndContext",
                                   "m:KelPreactivate", "m:KelActivate", "m:KelEndActivate"}));
  father.entries.clear();
  Steps(*m, "B", &e);
  m->Destroy();
  EXPECT_EQ(father.Texts(), (Texts{"m:KelBeginManipulate", "m:KelEndManipulate"}));
  EXPECT_EQ(father.GetChildCount(), 0);
}

TEST(Manipulator, RepsTakenOverByAnotherManipulatorStaySound) {
  auto* rep = new KelRep;
  auto* other = new KelRep;
  auto* first = new KelManipulator(nullptr, rep);
  KelManipulator second(nullptr, nullptr);
  second.AssociateToRep(rep);
  EXPECT_EQ(first->GetRep(), nullptr) << "the previous manipulator forgets the Rep";
  delete first;
  EXPECT_EQ(rep->GetManipulator(), &second);
  // The same through the lists of further Reps.
  auto* third = new KelManipulator(nullptr, nullptr);
  third->AddRepToManipulate(other);
  second.AddRepToManipulate(other);
  second.AddRepToManipulate(other);
  EXPECT_EQ(second.GetRepsToManipulate()->Count(), 1);
  EXPECT_EQ(third->GetRepsToManipulate()->Count(), 0);
  delete third;
  EXPECT_EQ(other->GetManipulator(), &second);

  // Dying Reps leave no pointer behind; a removed Rep is given back.
  rep->Destroy();
  EXPECT_EQ(second.GetRep(), nullptr);
  second.RemoveRepToManipulate(other);
  EXPECT_EQ(other->GetManipulator(), nullptr);
  second.AddRepToManipulate(other);
  other->Destroy();
  EXPECT_EQ(second.GetRepsToManipulate()->Count(), 0);
  // AssociateToRep drops the list and the Reps it held.
  KelRep a, b;
  second.AddRepToManipulate(&a);
  second.AssociateToRep(&b);
  EXPECT_EQ(a.GetManipulator(), nullptr);
  second.AssociateToRep(nullptr);
  EXPECT_EQ(b.GetManipulator(), nullptr);
}

// Knows one class of its own and hands the rest to the base.
struct Answering : KelManipulator {
  using KelManipulator::KelManipulator;
  void* SendCommandSpecificObject(const char* className, KelNotification* n) override {
    return className == Custom() ? this : KelManipulator::SendCommandSpecificObject(className, n);
  }
  static const char* Custom() { return "Custom"; }
};

TEST(Manipulator, QueriesPassUpThePickPathToTheNextManipulator) {
  KelRep top, middle, leaf;
  Answering upper(nullptr, &top);
  KelManipulator lower(nullptr, &leaf), elsewhere(nullptr, nullptr);
  KelPickPath path(static_cast<KelViewpoint*>(nullptr));
  path.Load(&top);
  path.Push();
  path.Load(&middle);
  path.Push();
  path.Load(&leaf);
  KelViewerEvent event(nullptr, &path);
  KelManipulatorNotification n(&event);
  EXPECT_EQ(lower.SendCommandSpecificObject(Answering::Custom(), &n), &upper);
  EXPECT_EQ(elsewhere.SendCommandSpecificObject(Answering::Custom(), &n), &upper)
      << "from off the path, through the lowest one";
  EXPECT_EQ(upper.SendCommandSpecificObject("Other", &n), nullptr) << "nothing above";
  // Names are compared as pointers: the same text elsewhere is another class.
  const std::string copy = Answering::Custom();
  EXPECT_EQ(lower.SendCommandSpecificObject(copy.c_str(), &n), nullptr);
  EXPECT_EQ(lower.SendCommandSpecificObject(Answering::Custom(), &event), nullptr)
      << "not an interaction notification";
}

TEST(Indicator, SendsItsIndicateEventAndNoCauseWhenReset) {
  NotificationLog father;
  Kel3DViewpoint viewpoint;
  Kel3DIndicator indicator(&father, "m", viewpoint);
  KelViewerEvent event;
  event.SetTimeStamp(77);
  EXPECT_EQ(indicator.Preactivate(&event, nullptr), 1);
  EXPECT_EQ(indicator.GetIndicateEvent().GetViewpoint(), &viewpoint);
  EXPECT_EQ(indicator.GetIndicateEvent().GetTimeStamp(), 77u);
  indicator.ResetState();
  ASSERT_EQ(father.Texts(), (Texts{"m:KelPreactivate", "m:KelEndPreactivate"}));
  EXPECT_EQ(father.entries[0].cause, "KelIndicateEvent");
  EXPECT_EQ(father.entries[1].cause, "");
}

TEST(Indicator, AnswersThePointsOfTheIndicateEventOnly) {
  Kel2DViewpoint viewpoint2D;
  Kel3DViewpoint viewpoint3D;
  Kel2DIndicator indicator2D(nullptr, viewpoint2D);
  Kel3DIndicator indicator3D(nullptr, viewpoint3D);
  KelMouseEvent mouse;
  KelViewerEvent viewerEvent(&mouse, nullptr);
  KelIndicateEvent indicated({1, 2, 3}, {4, 5, 6}, &viewpoint3D, &viewerEvent);
  KelManipulatorNotification n(&indicated);

  auto* point = static_cast<Kel2DIndication*>(
      indicator2D.SendCommandSpecificObject(Kel2DIndication::ClassName(), &n));
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetPoint(), Kelpoint2d(1, 2));
  testing::internal::CaptureStdout();
  auto* segment =
      static_cast<Kelsegment*>(indicator3D.SendCommandSpecificObject(Kelsegment::ClassName(), &n));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "no notice from an indicator";
  ASSERT_NE(segment, nullptr);
  EXPECT_EQ(segment->GetSecondPoint(), Kelpoint3f(4, 5, 6));
  auto* sight = static_cast<KelIndicationSegment*>(indicator3D.SendCommandSpecificObject(
      fct_MetaObjectToFind("KelIndicationSegment")->GetClassName(), &n));
  ASSERT_NE(sight, nullptr);
  EXPECT_EQ(sight->GetFirstPoint(), KelMathPoint(1, 2, 3));

  // Every other question, or a plain viewer event, gets nothing.
  EXPECT_EQ(indicator3D.SendCommandSpecificObject(KelMouseEvent::ClassName(), &n), nullptr);
  EXPECT_EQ(indicator2D.SendCommandSpecificObject(Kelsegment::ClassName(), &n), nullptr);
  KelManipulatorNotification plain(&viewerEvent);
  EXPECT_EQ(indicator2D.SendCommandSpecificObject(Kel2DIndication::ClassName(), &plain), nullptr);
}

// ---- Drags.

// Preactivates, activates and begins the drag with `e`; answers the beginning's answer.
int Begin(KelManipulator& m, KelViewerEvent& e) {
  m.Preactivate(&e, nullptr);
  m.Activate(&e, nullptr);
  return m.BeginManipulate(&e, nullptr);
}

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
    return Begin(m, drag.Mouse(drag.Pixel(hit.x, hit.y), rep, hit, modifiers));
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
  ASSERT_EQ(Press(*m, Kelpoint3f(0, 0, 0)), 1);
  // 40 pixels right at 20 pixels a unit, and off the axis: 2 units along it.
  ASSERT_EQ(MoveTo(*m, 2.0f, 0.7f), 1);
  keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(0, 0, 0), 2, 0, 0);
  keltest::ExpectXYZ(Apply(m->GetLastTransformation(), Kelpoint3f(5, 5, 5)), 7, 5, 5);
  ASSERT_EQ(MoveTo(*m, -1.0f, -3.0f), 1);
  keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(0, 0, 0), -1, 0, 0);
  keltest::ExpectXYZ(Apply(m->GetLastTransformation(), Kelpoint3f(0, 0, 0)), -3, 0, 0);

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
  // No motion: no axis to turn about, no step, but the drag goes on. (A turn
  // within the rim: kelview's drag session and its reference picture.)
  ASSERT_EQ(MoveTo(*m, 0, 0), 1);
  keltest::ExpectXYZ(Apply(m->GetLastTransformation(), Kelpoint3f(1, 2, 3)), 1, 2, 3);
  keltest::ExpectXYZ(m->GetObjectPosition() * Kelpoint3f(1, 2, 3), 1, 2, 3);

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
  auto m = std::make_unique<Kel3DGroundTranslator>(&log, KelString("g"), ground);
  const Kelpoint3f hit(0.5f, -1, 0);
  KelViewerEvent& press = drag.Mouse(drag.Pixel(0.5f, -1), ground, hit);
  ASSERT_EQ(Begin(*m, press), 1);
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
  ASSERT_EQ(Begin(*m, key), 1);
  EXPECT_EQ(m->Manipulate(&key, nullptr), 0);
  ASSERT_EQ(m->EndManipulate(&key, nullptr), 1);
  keltest::ExpectXYZ(ground->GetOrigin(), 0, 2, 0);
  // A press on nothing is refused and changes nothing.
  EXPECT_EQ(Begin(*m, drag.Mouse(drag.Pixel(0, 0))), 0);
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

// ---- 2D translators, the events that start no drag (translators and the
// matrix indicator), and what a father asks 2D and 3D manipulators about the
// position they send.

class Drag2D : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(drag.Ready()); }
  // Presses, then moves through `pixels`; answers the last handler's answer.
  int Drag(KelManipulator& m, std::vector<Kelpoint2f> pixels) {
    int answer = Begin(m, drag.Mouse(pixels[0], &rep, Kelpoint3f(), 0, drag.viewpoint2D));
    for (std::size_t i = 1; i < pixels.size(); ++i)
      answer =
          m.Manipulate(&drag.Mouse(pixels[i], &rep, Kelpoint3f(), 0, drag.viewpoint2D), nullptr);
    return answer;
  }

  keltest::DragViewer drag;
  Kel2DRep rep;
  NotificationLog log;
};

// (Without a direction, every pixel: the father's query below.)
TEST_F(Drag2D, AxisTranslatorAddsTheCursorsPixelsAlongItsDirection) {
  Keldirection2f along(1, 0);
  Kel2DAxisTranslator constrained(nullptr, &rep, along);
  constrained.SetObjectPosition(Kel3x3Matrix(Kelvector2f(1, 2)));
  ASSERT_EQ(Drag(constrained, {{100, 100}, {104, 120}, {110, 140}}), 1);
  EXPECT_EQ(constrained.GetObjectPosition().GetTranslation(), Kelvector2f(11, 2));
}

TEST_F(Drag2D, TranslatorFollowsTheModelPointUnderTheCursor) {
  Kel2DTranslator m(&log, KelString("t"), &rep);
  // One unit is half the window's height, 50 pixels: 25 right, 50 up.
  ASSERT_EQ(Drag(m, {{100, 50}, {125, 25}, {125, 0}}), 1);
  const Kelvector2f t = m.GetObjectPosition().GetTranslation();
  EXPECT_NEAR(t.x, 0.5, 1e-5);
  EXPECT_NEAR(t.y, 1.0, 1e-5);
}

TEST_F(Drag2D, KeysNeitherStartNorMoveADrag) {
  Kel3DPointRep rep3D;
  Kel2DAxisTranslator axis(&log, KelString("a"), &rep);
  Kel2DTranslator free(&log, KelString("t"), &rep);
  Kel3DAxisTranslator slide(&log, KelString("s"), &rep3D, Keldirection3f(1, 0, 0));
  Kel2DMatrixIndicator indicator(&log, KelString("i"), *drag.viewpoint2D);
  for (auto [m, r] : {std::pair<KelManipulator*, KelRep*>{&axis, &rep},
                      {&free, &rep},
                      {&slide, &rep3D},
                      {&indicator, &rep}}) {
    KelViewerEvent& key = drag.Key(4, r);
    EXPECT_EQ(Begin(*m, key), 1);
    EXPECT_EQ(m->Manipulate(&key, nullptr), 0);
    EXPECT_EQ(m->Manipulate(&drag.Mouse({150, 80}, r), nullptr), 0) << "no drag runs";
  }
  // A 3D drag needs a picked point: a press on nothing starts none either.
  EXPECT_EQ(slide.BeginManipulate(&drag.Mouse({150, 80}), nullptr), 0);
  EXPECT_EQ(slide.GetInteractiveState(), 2);
  EXPECT_EQ(axis.GetObjectPosition().GetTranslation(), Kelvector2f(0, 0));
  EXPECT_EQ(free.GetObjectPosition().GetTranslation(), Kelvector2f(0, 0));
  EXPECT_EQ(indicator.GetObjectPosition().GetTranslation(), Kelvector2f(0, 0));
  keltest::ExpectXYZ(slide.GetObjectPosition() * Kelpoint3f(0, 0, 0), 0, 0, 0);
  EXPECT_EQ(log.Texts(),
            (Texts{"a:KelPreactivate", "a:KelActivate", "t:KelPreactivate", "t:KelActivate",
                   "s:KelPreactivate", "s:KelActivate", "i:KelPreactivate", "i:KelActivate"}));
}

// Asks, on each KelManipulate, for the matrix and for the viewer.
struct Asker : KelCommand {
  Asker() : KelCommand(KelString("asker")) {
    AddAnalyseNotificationCB(nullptr, KelManipulator::GetKelManipulate(), &Asker::Ask, nullptr);
  }
  void Ask(KelCommand* sender, KelNotification* n, void*) {
    auto* m = static_cast<KelManipulator*>(sender);
    if (auto* p =
            static_cast<Kel3x3Matrix*>(m->SendCommandSpecificObject(Kel3x3Matrix::ClassName(), n)))
      matrix2D = p->GetTranslation();
    if (auto* p =
            static_cast<Kel4x4Matrix*>(m->SendCommandSpecificObject(Kel4x4Matrix::ClassName(), n)))
      p->GetTranslation(matrix3D);
    viewer = m->SendCommandSpecificObject(KelViewer::ClassName(), n);
    // The position event is put back after the question about its viewer event.
    cause = static_cast<KelVueNotification*>(n)->GetDataNotification()->IsA();
  }
  Kelvector2f matrix2D;
  Kelvector3f matrix3D;
  void* viewer = nullptr;
  std::string cause;
};

TEST_F(Drag2D, AFatherAsksForThePositionDuringTheDrag) {
  Asker asker;
  Kel2DAxisTranslator m2D(&asker, &rep);
  ASSERT_EQ(Drag(m2D, {{10, 10}, {13, 14}}), 1);
  EXPECT_EQ(asker.matrix2D, Kelvector2f(3, 4));
  EXPECT_EQ(asker.viewer, drag.viewer);
  EXPECT_EQ(asker.cause, "Kel2DPositionEvent");

  Kel3DPointRep rep3D;
  Kel3DAxisTranslator m3D(&asker, &rep3D, Keldirection3f(0, 1, 0));
  Begin(m3D, drag.Mouse(drag.Pixel(0, 0), &rep3D));
  ASSERT_EQ(m3D.Manipulate(&drag.Mouse(drag.Pixel(0, 3), &rep3D), nullptr), 1);
  keltest::ExpectXYZ(asker.matrix3D, 0, 3, 0);
  EXPECT_EQ(asker.cause, "Kel3DPositionEvent");
}

// ---- Random 3D manipulators under random cameras, fed random drags
// (repeated positions, far outside the window, Shift pressed and released,
// keys, drags begun again): the matrix the father gives its Rep stays finite
// and rigid.

class Random {
 public:
  explicit Random(unsigned seed) : _engine(seed) {}
  float Real(float a, float b) { return std::uniform_real_distribution<float>(a, b)(_engine); }
  int Int(int a, int b) { return std::uniform_int_distribution<int>(a, b)(_engine); }
  Kelpoint3f Point(float r) { return Kelpoint3f(Real(-r, r), Real(-r, r), Real(-r, r)); }
  // Now and then an axis, so that planes and axes run along the sight.
  Keldirection3f Direction() {
    if (Int(0, 3) == 0) {
      const int k = Int(0, 2);
      return Keldirection3f(k == 0, k == 1, k == 2);
    }
    Kelvector3f v;
    do v = Point(1).AsVector();
    while (v.Norm() < 0.1f);
    return Keldirection3f(v);
  }

 private:
  std::mt19937 _engine;
};

Kel3DManipulator* MakeManipulator(Random& r, KelCommand* father, Kel3DRep* rep, std::string& what) {
  const Keldirection3f a = r.Direction(), b = r.Direction();
  const Kelpoint3f c = r.Point(2);
  switch (r.Int(0, 6)) {
    case 0:
      what = "axis translator";
      return new Kel3DAxisTranslator(father, rep, a);
    case 1:
      what = "plane translator (normal)";
      return new Kel3DPlaneTranslator(father, rep, a);
    case 2:
      what = "plane translator (two directions)";
      return new Kel3DPlaneTranslator(father, rep, a, b);
    case 3:
      what = "axis rotator";
      return new Kel3DAxisRotator(father, rep, a, c);
    case 4:
      what = "rotator";
      return new Kel3DRotator(father, rep, c);
    case 5:
      what = "translator";
      return new Kel3DTranslator(father, rep, a, b, c);
    default: {
      const auto primary = static_cast<KelManipulationStyle>(r.Int(0, 6));
      const auto alternate = static_cast<KelManipulationStyle>(r.Int(0, 6));
      what = "styles " + std::to_string(primary) + "/" + std::to_string(alternate);
      auto* m = new Kel3DManipulator(father, rep, primary, alternate);
      m->SetReferenceAxis(a, b, c);
      m->SetReferenceAxis(r.Direction());
      return m;
    }
  }
}

TEST(ManipulatorProperty, RandomDragsKeepTheRepsMatrixFiniteAndRigid) {
  keltest::DragViewer drag;
  ASSERT_TRUE(drag.Ready());
  Random r(20240611);
  for (int trial = 0; trial < 300; ++trial) {
    auto* bag = new Kel3DBagRep;
    keltest::BagMover mover(bag);
    std::string what;
    std::unique_ptr<Kel3DManipulator> m(MakeManipulator(r, &mover, bag, what));
    Kel3DViewpoint& v = *drag.viewpoint3D;
    v.SetProjectionType(r.Int(0, 1) ? CONIC_PROJECTION : PARALLEL_PROJECTION);
    v.Set(r.Point(1) + Kelvector3f(0, 0, 20), r.Direction(), r.Direction());
    drag.SetZoom(r.Real(0.1f, 10.0f));

    std::ostringstream log;
    log << "trial " << trial << ", " << what << ":";
    Kelpoint2f pixel(100, 50);
    int modifiers = 0;
    for (int step = 0; step < 40; ++step) {
      const int kind = r.Int(0, 9);
      if (kind == 0) modifiers ^= 1;
      if (kind == 1) pixel = Kelpoint2f(r.Real(-500, 700), r.Real(-500, 600));
      if (kind >= 2) pixel = Kelpoint2f(r.Real(0, 200), r.Real(0, 100));
      // The last kind repeats the position.
      if (m->GetInteractiveState() != 3) {
        Begin(*m, drag.Mouse(pixel, bag, r.Point(3), modifiers));
        log << " press " << pixel.x << "," << pixel.y;
      } else if (kind == 2) {
        m->Manipulate(&drag.Key(r.Int(1, 13), bag), nullptr);
        log << " key";
      } else if (kind == 3) {
        m->EndManipulate(nullptr, nullptr);
        m->EndActivate(nullptr, nullptr);
        log << " release";
      } else {
        m->Manipulate(&drag.Mouse(pixel, bag, Kelpoint3f(), modifiers), nullptr);
        log << " " << (modifiers ? "shift " : "") << pixel.x << "," << pixel.y;
      }
      const Kel4x4Matrix* matrix = bag->GetMatrix();
      if (!matrix) continue;
      bool finite = true;
      for (int i = 0; i < 16; ++i) finite = finite && std::isfinite(matrix->GetMatrix()[i]);
      ASSERT_TRUE(finite) << log.str();
      ASSERT_NEAR(matrix->GetDeterminant(), 1.0, 1e-3) << log.str();
    }
    m.reset();
    bag->Destroy();
  }
}

}  // namespace

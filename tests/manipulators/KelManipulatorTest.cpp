// The manipulator's state machine as its father command sees it: which
// notification each handler sends, with which cause, and what it refuses; Rep
// association between manipulators; the query protocol away from a viewer.
#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelCleaner.h>
#include <kel/framework/Kelsegment.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/manipulators/KelManipulatorNotification.h>
#include <kel/picking/KelPickPath.h>
#include <kel/reps/KelRep.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewerEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <string>
#include <vector>

#include "KelManipulatorFather.h"

namespace {

using keltest::ManipulatorFather;
using Texts = std::vector<std::string>;

TEST(Manipulator, DragSendsEachStepWithItsEventAsCause) {
  ManipulatorFather father;
  KelManipulator m(&father, nullptr);
  KelViewerEvent event;
  EXPECT_EQ(m.Preactivate(&event, nullptr), 1);
  EXPECT_EQ(m.Move(&event, nullptr), 1);
  EXPECT_EQ(m.Activate(&event, nullptr), 1);
  EXPECT_EQ(m.GetInteractiveState(), 2);
  EXPECT_EQ(m.GetDeviceState(), 1);
  EXPECT_EQ(m.BeginManipulate(&event, nullptr), 1);
  EXPECT_EQ(m.Manipulate(&event, nullptr), 1);
  EXPECT_EQ(m.EndManipulate(&event, nullptr), 1);
  // The activation outlives the drag until something else is pressed.
  EXPECT_EQ(m.GetInteractiveState(), 0);
  EXPECT_EQ(m.GetDeviceState(), 1);
  EXPECT_EQ(m.EndActivate(&event, nullptr), 1);
  EXPECT_EQ(father.Texts(), (Texts{"KelPreactivate", "KelMove", "KelActivate", "KelBeginManipulate",
                                   "KelManipulate", "KelEndManipulate", "KelEndActivate"}));
  for (const auto& entry : father.entries) EXPECT_EQ(entry.cause, &event) << entry.text;
  // Delivered notifications die with the interaction transaction.
  EXPECT_EQ(KelCleaner::GetPendingNotificationCount(), 0);
}

TEST(Manipulator, HandlersInTheWrongStateRefuseAndSendNothing) {
  ManipulatorFather father;
  KelManipulator m(&father, nullptr);
  KelViewerEvent e;
  using Handler = int (KelManipulator::*)(KelNotification*, KelManipulator*);
  const Handler idleRefused[] = {&KelManipulator::Move,
                                 &KelManipulator::EndPreactivate,
                                 &KelManipulator::Activate,
                                 &KelManipulator::EndActivate,
                                 &KelManipulator::BeginManipulate,
                                 &KelManipulator::Manipulate,
                                 &KelManipulator::EndManipulate,
                                 &KelManipulator::Edit,
                                 &KelManipulator::EndEdit,
                                 &KelManipulator::Context,
                                 &KelManipulator::EndContext};
  for (Handler h : idleRefused) EXPECT_EQ((m.*h)(&e, nullptr), 0);
  EXPECT_TRUE(father.entries.empty());

  ASSERT_EQ(m.Preactivate(&e, nullptr), 1);
  EXPECT_EQ(m.Preactivate(&e, nullptr), 0);
  EXPECT_EQ(m.BeginManipulate(&e, nullptr), 0);
  EXPECT_EQ(m.Edit(&e, nullptr), 0) << "not activated";
  ASSERT_EQ(m.Context(&e, nullptr), 1);
  EXPECT_EQ(m.Context(&e, nullptr), 0);
  EXPECT_EQ(m.Move(&e, nullptr), 0);
  EXPECT_EQ(m.EndContext(&e, nullptr), 1);
  EXPECT_EQ(m.GetInteractiveState(), 0);

  // Activated without a drag: the state stays 2 past EndActivate, and a drag
  // may still begin.
  m.Preactivate(&e, nullptr);
  m.Activate(&e, nullptr);
  EXPECT_EQ(m.Edit(&e, nullptr), 1);
  EXPECT_EQ(m.EndActivate(&e, nullptr), 1);
  EXPECT_EQ(m.GetInteractiveState(), 2);
  EXPECT_EQ(m.Edit(&e, nullptr), 0);
  EXPECT_EQ(m.BeginManipulate(&e, nullptr), 1);
  EXPECT_EQ(father.Texts(),
            (Texts{"KelPreactivate", "KelContext", "KelEndContext", "KelPreactivate", "KelActivate",
                   "KelEdit", "KelEndActivate", "KelBeginManipulate"}));
}

TEST(Manipulator, ResetStateClosesEachOpenPhaseWithoutCause) {
  ManipulatorFather father;
  KelViewerEvent e;
  auto* m = new KelManipulator(&father, "m", nullptr);
  m->Preactivate(&e, nullptr);
  m->Activate(&e, nullptr);
  m->BeginManipulate(&e, nullptr);
  father.entries.clear();
  m->ResetState();
  EXPECT_EQ(father.Texts(), (Texts{"KelEndManipulate", "KelEndActivate"}));
  for (const auto& entry : father.entries) EXPECT_EQ(entry.cause, nullptr);

  // Activated (state 2) is left as it is; only the activation ends.
  father.entries.clear();
  m->Preactivate(&e, nullptr);
  m->Context(&e, nullptr);
  m->ResetState();
  m->Preactivate(&e, nullptr);
  m->Activate(&e, nullptr);
  m->ResetState();
  EXPECT_EQ(m->GetInteractiveState(), 2);
  EXPECT_EQ(father.Texts(), (Texts{"KelPreactivate", "KelContext", "KelEndContext",
                                   "KelPreactivate", "KelActivate", "KelEndActivate"}));

  // Destroy closes the phases before the command goes.
  father.entries.clear();
  m->BeginManipulate(&e, nullptr);
  m->Destroy();
  EXPECT_EQ(father.Texts(), (Texts{"KelBeginManipulate", "KelEndManipulate"}));
  EXPECT_EQ(father.GetChildCount(), 0);
}

TEST(Manipulator, WithoutFatherNotificationsAreDroppedAtOnce) {
  KelManipulator m(nullptr, nullptr);
  KelViewerEvent e;
  EXPECT_EQ(m.Preactivate(&e, nullptr), 1);
  EXPECT_EQ(KelCleaner::GetPendingNotificationCount(), 0);
}

TEST(Manipulator, RepsTakenOverByAnotherManipulatorStaySound) {
  auto* rep = new KelRep;
  auto* other = new KelRep;
  auto* first = new KelManipulator(nullptr, rep);
  EXPECT_EQ(rep->GetManipulator(), first);
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

  // A dying Rep leaves no pointer behind; removing a Rep gives it back.
  rep->Destroy();
  EXPECT_EQ(second.GetRep(), nullptr);
  second.RemoveRepToManipulate(other);
  EXPECT_EQ(other->GetManipulator(), nullptr);
  second.AddRepToManipulate(other);
  other->Destroy();
  EXPECT_EQ(second.GetRepsToManipulate()->Count(), 0);

  // AssociateToRep drops the list and clears the Reps it held.
  KelRep a, b;
  second.AddRepToManipulate(&a);
  second.AssociateToRep(&b);
  EXPECT_EQ(a.GetManipulator(), nullptr);
  EXPECT_EQ(second.GetRepsToManipulate(), nullptr);
  second.AssociateToRep(nullptr);
  EXPECT_EQ(b.GetManipulator(), nullptr);
}

// A manipulator that knows one class of its own and hands the rest to the base.
struct Answering : KelManipulator {
  using KelManipulator::KelManipulator;
  void* SendCommandSpecificObject(const char* className, KelNotification* n) override {
    if (className == Custom()) return this;
    return KelManipulator::SendCommandSpecificObject(className, n);
  }
  static const char* Custom() { return "Custom"; }
};

TEST(Manipulator, QueriesPassUpThePickPathToTheNextManipulator) {
  KelRep top, middle, leaf;
  Answering upper(nullptr, &top);
  KelManipulator lower(nullptr, &leaf);
  KelManipulator elsewhere(nullptr, nullptr);
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
  // Not an interaction notification about a viewer event.
  EXPECT_EQ(lower.SendCommandSpecificObject(Answering::Custom(), &event), nullptr);
}

TEST(Manipulator, QueriesAnswerTheEventAndTheHitInTheWorld) {
  KelManipulator m(nullptr, nullptr);
  KelMouseEvent mouse;
  Kel3DViewpoint viewpoint3D;
  KelPickPath under(&viewpoint3D);
  // Turns x onto y, then moves by (1, 2, 3).
  under.SetMatrix(Kel4x4Matrix({0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {1, 2, 3}));
  under.SetIntersection({1, 0, 0});
  under.SetNormal(Keldirection3f(1, 0, 0));
  KelViewerEvent event(&mouse, &under);
  KelManipulatorNotification n(&event);

  EXPECT_EQ(m.SendCommandSpecificObject(KelMouseEvent::ClassName(), &n), &mouse);
  auto* hit = static_cast<KelGraphicElementIntersection*>(
      m.SendCommandSpecificObject(KelGraphicElementIntersection::ClassName(), &n));
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(*hit, KelMathPoint(1, 3, 3));
  auto* normal = static_cast<KelGraphicElementNormale*>(
      m.SendCommandSpecificObject(KelGraphicElementNormale::ClassName(), &n));
  ASSERT_NE(normal, nullptr);
  EXPECT_NEAR(normal->x, 0, 1e-6);
  EXPECT_NEAR(normal->y, 1, 1e-6);

  // A key is no mouse event; a 2D path has no hit in 3D.
  KelKeyboardEvent key;
  event.SetDeviceEvent(&key);
  EXPECT_EQ(m.SendCommandSpecificObject(KelMouseEvent::ClassName(), &n), nullptr);
  Kel2DViewpoint viewpoint2D;
  under.SetViewpoint(&viewpoint2D);
  EXPECT_EQ(m.SendCommandSpecificObject(KelGraphicElementIntersection::ClassName(), &n), nullptr);
}

TEST(Manipulator, TheObsoleteSegmentQueryWarnsOnEveryCall) {
  KelManipulator m(nullptr, nullptr);
  KelViewerEvent event;
  KelManipulatorNotification n(&event);
  const std::string notice =
      " ----------------------------------------------------\n"
      " - the Kelsegment notification will disappear -\n"
      " - please replace it now with KelIndicationSegment         -\n"
      " - before 1 december 1996        -\n";
  testing::internal::CaptureStdout();
  EXPECT_EQ(m.SendCommandSpecificObject(Kelsegment::ClassName(), &n), nullptr);
  EXPECT_EQ(m.SendCommandSpecificObject(Kelsegment::ClassName(), &n), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), notice + notice);
}

}  // namespace

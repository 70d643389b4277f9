// The manipulator's state machine as its father command sees it, Rep
// association between manipulators, and queries passed along a pick path;
// indicators away from a viewer: the cause they send and what they answer
// about an indicate event.
#include <gtest/gtest.h>

#include <kel/framework/KelCleaner.h>
#include <kel/framework/Kelsegment.h>
#include <kel/manipulators/Kel2DIndicator.h>
#include <kel/manipulators/Kel3DIndicator.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/manipulators/KelManipulatorNotification.h>
#include <kel/picking/KelPickPath.h>
#include <kel/reps/KelRep.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewerEvent.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <map>
#include <string>
#include <vector>

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
  EXPECT_EQ(father.Texts(),
            (Texts{"m:KelPreactivate", "m:KelMove", "m:KelActivate", "m:KelBeginManipulate",
                   "m:KelManipulate", "m:KelEndManipulate", "m:KelEndActivate"}));
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

}  // namespace

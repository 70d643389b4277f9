#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelCleaner.h>
#include <kel/framework/KelCommand.h>
#include <kel/framework/KelEventSubscriber.h>
#include <kel/framework/KelNotification.h>
#include <kel/framework/KelNotificationDispatcher.h>
#include <kel/framework/KelVue.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Outside the anonymous namespace: the meta-object functions are all defined,
// used or not.
int notificationsAlive = 0;

class KelTestNotification : public KelNotification {
 public:
  KelTestNotification() : KelNotification(0) { ++notificationsAlive; }
  ~KelTestNotification() override { --notificationsAlive; }
  KEL_DECLARE_META(KelTestNotification);
};
class KelTestSubNotification : public KelTestNotification {
 public:
  KEL_DECLARE_META(KelTestSubNotification);
};

KEL_IMPLEMENT_META(KelTestNotification, KelNotification)
KEL_IMPLEMENT_META(KelTestSubNotification, KelTestNotification)

namespace {

using Log = std::vector<std::string>;

// Logs "<analyser> from <sender>" for each notification it analyses and its
// name for each callback (keeping the call's arguments), and can run an action
// from inside an analyser or a callback.
class Node : public KelCommand {
 public:
  Node(KelCommand* father, const char* name, Log* log, int* alive = nullptr)
      : KelCommand(father, name), _log(log), _alive(alive) {
    if (_alive) ++*_alive;
  }
  ~Node() override {
    if (_alive) --*_alive;
  }
  void Analyse(KelCommand* sender, KelNotification*, void* data) {
    _log->push_back(GetName().CastToCharPtr() + std::string(" from ") +
                    sender->GetName().CastToCharPtr());
    lastData = data;
    if (action) action();
  }
  void Heard(const char*, KelCallbackManager* publisher, KelNotification*, void* data, long id) {
    last = {publisher, data, id};
    _log->push_back(GetName().CastToCharPtr());
    if (action) action();
  }
  long Listen(KelCallbackManager* p, void* data = nullptr) {
    return AddCallback(p, "EVENT", &Node::Heard, data);
  }
  std::function<void()> action;
  void* lastData = nullptr;
  struct {
    KelCallbackManager* publisher;
    void* data;
    long id;
  } last{};

 private:
  Log* _log;
  int* _alive;
};

TEST(Command, NotificationClimbsToTheFirstAnalyser) {
  Log log;
  Node root(nullptr, "root", &log), mid(&root, "mid", &log), leaf(&mid, "leaf", &log);
  int tag;
  root.AddAnalyseNotificationCB(&leaf, "KelTestNotification", &Node::Analyse, &tag);
  // mid has no analyser: the notification goes on to root, sender unchanged;
  // a notification of a derived class matches.
  KelTestSubNotification n;
  EXPECT_EQ(leaf.SendNotification(&mid, &n), 1);
  EXPECT_EQ(root.lastData, &tag);
  // Another sender, or a notification of another class, is not analysed.
  KelNotification plain(0);
  EXPECT_EQ(mid.SendNotification(&root, &n), 0);
  EXPECT_EQ(leaf.SendNotification(&root, &plain), 0);
  // Matching by the notification's name; a null sender means any sender.
  mid.AddAnalyseNotificationCB(nullptr, "PushActivate", &Node::Analyse, nullptr);
  KelNotification named(0, "PushActivate");
  EXPECT_EQ(root.SendNotification(&leaf, &named), 1);
  EXPECT_EQ(log, (Log{"root from leaf", "mid from root"}));
}

TEST(Command, AnalysersMayRemoveAnalysersWhileRunning) {
  Log log;
  Node target(nullptr, "t", &log), sender(nullptr, "s", &log);
  const long first =
      target.AddAnalyseNotificationCB(&sender, "KelNotification", &Node::Analyse, nullptr);
  const long second =
      target.AddAnalyseNotificationCB(&sender, "KelNotification", &Node::Analyse, nullptr);
  target.action = [&] {
    target.RemoveAnalyseNotificationCB(first);
    target.RemoveAnalyseNotificationCB(second);
  };
  KelNotification n(0);
  sender.SendNotification(&target, &n);
  EXPECT_EQ(log.size(), 1u) << "the second analyser was removed before its turn";
  EXPECT_EQ(target.GetAnalyserCount(), 0);
}

TEST(Command, DeadCommandsLeaveNoDanglingLinks) {
  Log log;
  Node target(nullptr, "t", &log);
  auto* sender = new Node(nullptr, "s", &log);
  auto* father = new Node(nullptr, "f", &log);
  Node child(father, "c", &log);
  target.AddAnalyseNotificationCB(sender, "KelNotification", &Node::Analyse, nullptr);
  delete sender;
  EXPECT_EQ(target.GetAnalyserCount(), 0);
  delete father;
  EXPECT_EQ(child.GetFather(), nullptr);

  // A command cannot become its own ancestor.
  Node a(nullptr, "a", &log), b(&a, "b", &log);
  testing::internal::CaptureStderr();
  a.SetFather(&b);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("KelCommand::SetFather:"),
            std::string::npos);
  EXPECT_EQ(a.GetFather(), nullptr);
}

TEST(Command, DelayedDestructionWaitsForTheEndOfProcessing) {
  Log log;
  int alive = 0;
  // No notification under processing: destroyed at once.
  (new Node(nullptr, "x", &log, &alive))->RequestDelayedDestruction();
  EXPECT_EQ(alive, 0);

  // Requested by an analyser for itself and for its sender: both live until
  // the notification is processed, and the walk up the tree stays valid.
  Node root(nullptr, "root", &log);
  auto* target = new Node(&root, "target", &log, &alive);
  auto* sender = new Node(target, "sender", &log, &alive);
  target->AddAnalyseNotificationCB(sender, "KelNotification", &Node::Analyse, nullptr);
  target->action = [&] {
    target->RequestDelayedDestruction();
    target->RequestDelayedDestruction();  // a second request changes nothing
    sender->RequestDelayedDestruction();
    EXPECT_EQ(alive, 2);
  };
  KelNotification n(0);
  EXPECT_EQ(sender->SendNotification(target, &n), 1);
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(root.GetChildCount(), 0);
  EXPECT_EQ(KelCleaner::GetPendingCommandCount(), 0);

  // A callback dispatch counts as processing: b is still alive for its call.
  KelCallbackManager publisher;
  auto* a = new Node(nullptr, "a", &log, &alive);
  auto* b = new Node(nullptr, "b", &log, &alive);
  a->AddCallback(&publisher, "EVENT", &Node::Heard, nullptr);
  b->AddCallback(&publisher, "EVENT", &Node::Heard, nullptr);
  bool bRan = false;
  a->action = [&] {
    a->RequestDelayedDestruction();
    b->RequestDelayedDestruction();
  };
  b->action = [&] { bRan = true; };
  publisher.DispatchCallbacks("EVENT", nullptr, nullptr);
  EXPECT_TRUE(bRan);
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(publisher.GetCallbackCount(), 0);
}

// A command that announces its end, like a popup window.
class Announcer : public Node {
 public:
  using Node::Node;
  ~Announcer() override { publisher.DispatchCallbacks("DESTROYED", nullptr, nullptr); }
  void Closed(KelCommand*, KelNotification*, void*) {}
  KelCallbackManager publisher;
};

TEST(Command, DestructorMayRunCallbacksThatRequestItAgain) {
  Log log;
  int alive = 0, calls = 0;
  auto* popup = new Announcer(nullptr, "popup", &log, &alive);
  Node owner(nullptr, "owner", &log);
  owner.AddCallback(&popup->publisher, "DESTROYED", &Node::Heard, nullptr);
  owner.action = [&] {
    ++calls;
    popup->RequestDelayedDestruction();
  };
  popup->RequestDelayedDestruction();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(owner.GetSubscriptionCount(), 0);

  // A command of another class cannot lend its analyser to this one.
  testing::internal::CaptureStderr();
  EXPECT_EQ(owner.AddAnalyseNotificationCB(nullptr, "KelNotification", &Announcer::Closed, nullptr),
            0);
  EXPECT_EQ(
      testing::internal::GetCapturedStderr().rfind("KelCommand::AddAnalyseNotificationCB:", 0), 0u);
}

TEST(Command, TransactionDeletesRegisteredNotifications) {
  Log log;
  Node father(nullptr, "father", &log), manipulator(&father, "manip", &log);
  father.AddAnalyseNotificationCB(&manipulator, "KelTestNotification", &Node::Analyse, nullptr);
  // Registered, then sent: the analyser reads it, and it dies with the end of
  // the processing.
  auto* n = new KelTestNotification;
  KelCleaner::DeleteOnTransactionEnd(n);
  KelCleaner::DeleteOnTransactionEnd(n);  // once only
  father.action = [&] { EXPECT_EQ(notificationsAlive, 1); };
  manipulator.SendNotification(&father, n);
  EXPECT_EQ(notificationsAlive, 0);

  // Outside any processing it waits for an explicit end of transaction; an
  // explicit end inside processing waits for the end of the processing.
  KelCleaner::DeleteOnTransactionEnd(new KelTestNotification);
  EXPECT_EQ(notificationsAlive, 1);
  KelCleaner::EndTransaction();
  EXPECT_EQ(notificationsAlive, 0);
  {
    KelCleaner::Processing processing;
    KelCleaner::DeleteOnTransactionEnd(new KelTestNotification);
    KelCleaner::EndTransaction();
    EXPECT_EQ(notificationsAlive, 1);
  }
  EXPECT_EQ(notificationsAlive, 0);

  // A registered notification deleted by its owner is not deleted twice.
  auto* m = new KelTestNotification;
  KelCleaner::DeleteOnTransactionEnd(m);
  delete m;
  EXPECT_EQ(KelCleaner::GetPendingNotificationCount(), 0);
}

class Other : public KelEventSubscriber {
 public:
  void Heard(const char*, KelCallbackManager*, KelNotification*, void*, long) {}
};

TEST(Callbacks, DispatchCallsInRegistrationOrderWithItsArguments) {
  Log log;
  KelCallbackManager publisher;
  Node first(nullptr, "1", &log), second(nullptr, "2", &log);
  int own, dispatched;
  const long id = first.Listen(&publisher, &own);
  EXPECT_NE(second.Listen(&publisher), id);
  second.AddCallback(&publisher, "OTHER_EVENT", &Node::Heard, nullptr);
  KelNotification n(0);
  const std::string name = "EVENT";  // compared as text, not as a pointer
  publisher.DispatchCallbacks(name.c_str(), &n, &dispatched);
  EXPECT_EQ(log, (Log{"1", "2"}));
  // (The event's name: the EventCounter logs; the notification: the graphic
  // windows' listeners.)
  EXPECT_EQ(first.last.publisher, &publisher);
  EXPECT_EQ(first.last.id, id);
  // Own client data wins; without it the dispatch's data comes through.
  EXPECT_EQ(first.last.data, &own);
  EXPECT_EQ(second.last.data, &dispatched);
  publisher.DispatchCallbacks("UNKNOWN", &n, nullptr);
  EXPECT_EQ(log.size(), 2u);
}

TEST(Callbacks, RemovalAndAdditionDuringDispatch) {
  Log log;
  KelCallbackManager publisher;
  Node a(nullptr, "a", &log), b(nullptr, "b", &log), c(nullptr, "c", &log);
  const long ida = a.Listen(&publisher), idb = b.Listen(&publisher), idc = c.Listen(&publisher);
  // b removes itself, the one after it and the one before it.
  b.action = [&] {
    EXPECT_EQ(b.RemoveCallback(&publisher, idb), 1);
    EXPECT_EQ(c.RemoveCallback(&publisher, idc), 1);
    EXPECT_EQ(a.RemoveCallback(&publisher, ida), 1);
  };
  publisher.DispatchCallbacks("EVENT", nullptr, nullptr);
  EXPECT_EQ(log, (Log{"a", "b"}));
  EXPECT_EQ(publisher.GetCallbackCount(), 0);
  EXPECT_EQ(b.RemoveCallback(&publisher, idb), 0) << "already removed";

  // A callback added during a dispatch waits for the next one.
  log.clear();
  a.Listen(&publisher);
  a.action = [&] {
    if (log.size() == 1) b.Listen(&publisher);
  };
  b.action = nullptr;
  publisher.DispatchCallbacks("EVENT", nullptr, nullptr);
  publisher.DispatchCallbacks("EVENT", nullptr, nullptr);
  EXPECT_EQ(log, (Log{"a", "a", "b"}));

  // A subscriber destroyed by an earlier callback is not called.
  log.clear();
  auto* gone = new Node(nullptr, "gone", &log);
  gone->Listen(&publisher);
  a.action = [&] { delete gone; };
  publisher.DispatchCallbacks("EVENT", nullptr, nullptr);
  EXPECT_EQ(log, (Log{"a", "b"}));
}

TEST(Callbacks, DeadPublisherLeavesNothingBehind) {
  Log log;
  Node a(nullptr, "a", &log), b(nullptr, "b", &log);
  auto* publisher = new KelCallbackManager;
  const long id = a.Listen(publisher);
  delete publisher;
  EXPECT_EQ(a.GetSubscriptionCount(), 0);
  EXPECT_EQ(a.RemoveCallback(publisher, id), 0) << "the dead publisher is not touched";

  // A publisher destroyed by one of its callbacks stops the dispatch.
  publisher = new KelCallbackManager;
  a.Listen(publisher);
  b.Listen(publisher);
  a.action = [&] { delete publisher; };
  publisher->DispatchCallbacks("EVENT", nullptr, nullptr);
  EXPECT_EQ(log, (Log{"a"}));
  EXPECT_EQ(b.GetSubscriptionCount(), 0);
}

TEST(Callbacks, BadArgumentsAreRefused) {
  Log log;
  KelCallbackManager publisher;
  Node a(nullptr, "a", &log);
  testing::internal::CaptureStderr();
  EXPECT_EQ(a.AddCallback(nullptr, "EVENT", &Node::Heard, nullptr), 0);
  EXPECT_EQ(a.AddCallback(&publisher, nullptr, &Node::Heard, nullptr), 0);
  // A method of another class cannot be called on this subscriber.
  EXPECT_EQ(a.AddCallback(&publisher, "EVENT", &Other::Heard, nullptr), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("KelEventSubscriber::AddCallback:"),
            std::string::npos);
  EXPECT_EQ(publisher.GetCallbackCount(), 0);
}

// Delivery to a subscriber: the graphic windows' global updates.
TEST(Callbacks, DispatcherForgetsWhoUnsubscribes) {
  Log log;
  KelNotificationDispatcher* global = KelVue::GetDispatcher();
  Node a(nullptr, "a", &log);
  EXPECT_EQ(global->Unsubscribe(&a, global->Subscribe(&a, &Node::Heard, nullptr)), 1);
  KelNotification n(0);
  global->Dispatch(&n);
  EXPECT_TRUE(log.empty());
}

}  // namespace

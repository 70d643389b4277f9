#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelEventSubscriber.h>
#include <kel/framework/KelNotification.h>
#include <kel/framework/KelNotificationDispatcher.h>
#include <kel/framework/KelVue.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const char* EVENT() {
  return "EVENT";
}

// A subscriber that logs its calls and can run an action from inside one.
class Listener : public KelEventSubscriber {
 public:
  explicit Listener(std::string tag, std::vector<std::string>* log)
      : _tag(std::move(tag)), _log(log) {}

  void Heard(const char* event, KelCallbackManager* publisher, KelNotification* n, void* data,
             long id) {
    lastEvent = event;
    lastPublisher = publisher;
    lastNotification = n;
    lastData = data;
    lastId = id;
    _log->push_back(_tag);
    if (action) action();
  }
  long Listen(KelCallbackManager* p, void* data = nullptr) {
    return AddCallback(p, EVENT(), &Listener::Heard, data);
  }

  std::function<void()> action;
  std::string lastEvent;
  KelCallbackManager* lastPublisher = nullptr;
  KelNotification* lastNotification = nullptr;
  void* lastData = nullptr;
  long lastId = 0;

 private:
  std::string _tag;
  std::vector<std::string>* _log;
};

class Other : public KelEventSubscriber {
 public:
  void Heard(const char*, KelCallbackManager*, KelNotification*, void*, long) {}
};

TEST(Callbacks, DispatchCallsInRegistrationOrderWithItsArguments) {
  std::vector<std::string> log;
  KelCallbackManager publisher;
  Listener first("1", &log), second("2", &log);
  int own, dispatched;
  const long id1 = first.Listen(&publisher, &own);
  const long id2 = second.Listen(&publisher);
  EXPECT_GT(id1, 0);
  EXPECT_NE(id1, id2);
  second.AddCallback(&publisher, "OTHER_EVENT", &Listener::Heard, nullptr);

  KelNotification n(0);
  // The event name is compared as text, not as a pointer.
  const std::string name = "EVENT";
  publisher.DispatchCallbacks(name.c_str(), &n, &dispatched);
  EXPECT_EQ(log, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(first.lastPublisher, &publisher);
  EXPECT_EQ(first.lastNotification, &n);
  EXPECT_EQ(first.lastId, id1);
  EXPECT_EQ(first.lastEvent, "EVENT");
  // Own client data wins; without it the dispatch's data comes through.
  EXPECT_EQ(first.lastData, &own);
  EXPECT_EQ(second.lastData, &dispatched);

  publisher.DispatchCallbacks("UNKNOWN", &n, nullptr);
  EXPECT_EQ(log.size(), 2u);
}

TEST(Callbacks, RemovalDuringDispatchIsSafe) {
  std::vector<std::string> log;
  KelCallbackManager publisher;
  Listener a("a", &log), b("b", &log), c("c", &log);
  const long ida = a.Listen(&publisher);
  const long idb = b.Listen(&publisher);
  const long idc = c.Listen(&publisher);
  // b removes itself and the one after it; a is already called.
  b.action = [&] {
    EXPECT_EQ(b.RemoveCallback(&publisher, idb), 1);
    EXPECT_EQ(c.RemoveCallback(&publisher, idc), 1);
    EXPECT_EQ(a.RemoveCallback(&publisher, ida), 1);
  };
  publisher.DispatchCallbacks(EVENT(), nullptr, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(publisher.GetCallbackCount(), 0);
  EXPECT_EQ(b.RemoveCallback(&publisher, idb), 0) << "already removed";

  // A callback added during a dispatch waits for the next one.
  log.clear();
  a.Listen(&publisher);
  a.action = [&] {
    if (log.size() == 1) b.Listen(&publisher);
  };
  b.action = nullptr;
  publisher.DispatchCallbacks(EVENT(), nullptr, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
  publisher.DispatchCallbacks(EVENT(), nullptr, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "a", "b"}));
}

TEST(Callbacks, SubscriberDestroyedDuringDispatchIsNotCalled) {
  std::vector<std::string> log;
  KelCallbackManager publisher;
  Listener a("a", &log);
  auto* b = new Listener("b", &log);
  a.Listen(&publisher);
  b->Listen(&publisher);
  a.action = [&] { delete b; };
  publisher.DispatchCallbacks(EVENT(), nullptr, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
  EXPECT_EQ(publisher.GetCallbackCount(EVENT()), 1);
}

TEST(Callbacks, DeadPublisherLeavesNothingBehind) {
  std::vector<std::string> log;
  Listener a("a", &log), b("b", &log);
  auto* publisher = new KelCallbackManager;
  const long id = a.Listen(publisher);
  b.Listen(publisher);
  EXPECT_EQ(a.GetSubscriptionCount(), 1);
  delete publisher;
  EXPECT_EQ(a.GetSubscriptionCount(), 0);
  // The stale identifier is refused without touching the dead publisher.
  EXPECT_EQ(a.RemoveCallback(publisher, id), 0);

  // A publisher destroyed by one of its callbacks stops the dispatch.
  log.clear();
  publisher = new KelCallbackManager;
  a.Listen(publisher);
  b.Listen(publisher);
  a.action = [&] { delete publisher; };
  publisher->DispatchCallbacks(EVENT(), nullptr, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
  EXPECT_EQ(b.GetSubscriptionCount(), 0);
}

TEST(Callbacks, CopiesStartWithoutCallbacksAndBadArgumentsAreRefused) {
  std::vector<std::string> log;
  KelCallbackManager publisher;
  Listener a("a", &log);
  a.Listen(&publisher);
  KelCallbackManager copy(publisher);
  Listener aCopy(a);
  EXPECT_EQ(copy.GetCallbackCount(), 0);
  EXPECT_EQ(aCopy.GetSubscriptionCount(), 0);
  EXPECT_EQ(publisher.GetCallbackCount(), 1);

  testing::internal::CaptureStderr();
  EXPECT_EQ(a.AddCallback(nullptr, EVENT(), &Listener::Heard, nullptr), 0);
  EXPECT_EQ(a.AddCallback(&publisher, nullptr, &Listener::Heard, nullptr), 0);
  // A method of another class cannot be called on this subscriber.
  EXPECT_EQ(a.AddCallback(&publisher, EVENT(), &Other::Heard, nullptr), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("KelEventSubscriber::AddCallback:"), std::string::npos);
  EXPECT_EQ(publisher.GetCallbackCount(), 1);
}

TEST(Callbacks, DispatcherDeliversOnItsConnexion) {
  std::vector<std::string> log;
  KelNotificationDispatcher* global = KelVue::GetDispatcher();
  ASSERT_NE(global, nullptr);
  EXPECT_EQ(KelVue::GetDispatcher(), global);
  Listener a("a", &log);
  const long id = global->Subscribe(&a, &Listener::Heard, nullptr);
  KelNotification n(0);
  global->Dispatch(&n);
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
  EXPECT_EQ(a.lastEvent, global->GetConnexion());
  EXPECT_EQ(a.lastNotification, &n);
  EXPECT_EQ(global->Unsubscribe(&a, id), 1);
  global->Dispatch(&n);
  EXPECT_EQ(log.size(), 1u);

  EXPECT_EQ(KelVue::GetInteractiveState(), 0);
  KelVue::SetInteractiveState(2);
  EXPECT_EQ(KelVue::GetInteractiveState(), 2);
  KelVue::SetInteractiveState(0);
}

}  // namespace

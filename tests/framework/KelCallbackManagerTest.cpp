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

using Log = std::vector<std::string>;

// Logs its tag when called, keeps the last call's arguments, and can run an
// action from inside the call.
class Listener : public KelEventSubscriber {
 public:
  Listener(std::string tag, Log* log) : _tag(std::move(tag)), _log(log) {}
  void Heard(const char* event, KelCallbackManager* publisher, KelNotification* n, void* data,
             long id) {
    last = {event, publisher, n, data, id};
    _log->push_back(_tag);
    if (action) action();
  }
  long Listen(KelCallbackManager* p, void* data = nullptr) {
    return AddCallback(p, "EVENT", &Listener::Heard, data);
  }
  struct {
    std::string event;
    KelCallbackManager* publisher;
    KelNotification* notification;
    void* data;
    long id;
  } last{};
  std::function<void()> action;

 private:
  std::string _tag;
  Log* _log;
};

class Other : public KelEventSubscriber {
 public:
  void Heard(const char*, KelCallbackManager*, KelNotification*, void*, long) {}
};

TEST(Callbacks, DispatchCallsInRegistrationOrderWithItsArguments) {
  Log log;
  KelCallbackManager publisher;
  Listener first("1", &log), second("2", &log);
  int own, dispatched;
  const long id = first.Listen(&publisher, &own);
  EXPECT_NE(second.Listen(&publisher), id);
  second.AddCallback(&publisher, "OTHER_EVENT", &Listener::Heard, nullptr);
  KelNotification n(0);
  const std::string name = "EVENT";  // compared as text, not as a pointer
  publisher.DispatchCallbacks(name.c_str(), &n, &dispatched);
  EXPECT_EQ(log, (Log{"1", "2"}));
  EXPECT_EQ(first.last.event, "EVENT");
  EXPECT_EQ(first.last.publisher, &publisher);
  EXPECT_EQ(first.last.notification, &n);
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
  Listener a("a", &log), b("b", &log), c("c", &log);
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
  auto* gone = new Listener("gone", &log);
  gone->Listen(&publisher);
  a.action = [&] { delete gone; };
  publisher.DispatchCallbacks("EVENT", nullptr, nullptr);
  EXPECT_EQ(log, (Log{"a", "b"}));
}

TEST(Callbacks, DeadPublisherLeavesNothingBehind) {
  Log log;
  Listener a("a", &log), b("b", &log);
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
  Listener a("a", &log);
  testing::internal::CaptureStderr();
  EXPECT_EQ(a.AddCallback(nullptr, "EVENT", &Listener::Heard, nullptr), 0);
  EXPECT_EQ(a.AddCallback(&publisher, nullptr, &Listener::Heard, nullptr), 0);
  // A method of another class cannot be called on this subscriber.
  EXPECT_EQ(a.AddCallback(&publisher, "EVENT", &Other::Heard, nullptr), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("KelEventSubscriber::AddCallback:"),
            std::string::npos);
  EXPECT_EQ(publisher.GetCallbackCount(), 0);
}

TEST(Callbacks, DispatcherDeliversOnItsConnexion) {
  Log log;
  KelNotificationDispatcher* global = KelVue::GetDispatcher();
  Listener a("a", &log);
  const long id = global->Subscribe(&a, &Listener::Heard, nullptr);
  KelNotification n(0);
  global->Dispatch(&n);
  EXPECT_EQ(a.last.event, global->GetConnexion());
  EXPECT_EQ(a.last.notification, &n);
  EXPECT_EQ(global->Unsubscribe(&a, id), 1);
  global->Dispatch(&n);
  EXPECT_EQ(log, (Log{"a"}));
}

}  // namespace

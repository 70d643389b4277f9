#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelEventSubscriber.h>

#include <cstdio>

KEL_IMPLEMENT_META(KelEventSubscriber, KelExtendable)

KelEventSubscriber::~KelEventSubscriber() {
  // Unregister works on the publisher only, so the list does not change under us.
  for (const Subscription& s : _subscriptions) s.publisher->Unregister(s.callback);
  _subscriptions.clear();
}

long KelEventSubscriber::AddCallback(KelCallbackManager* publisher, const char* eventName,
                                     KelSubscriberMethod method, void* data) {
  if (!publisher || !eventName || !method) {
    std::fprintf(stderr, "KelEventSubscriber::AddCallback: Invalid function parameters.\n");
    return 0;
  }
  const long callback = publisher->Register(this, eventName, method, data);
  _subscriptions.push_back({publisher, callback});
  return callback;
}

int KelEventSubscriber::RemoveCallback(KelCallbackManager* publisher, long callback) {
  for (auto it = _subscriptions.begin(); it != _subscriptions.end(); ++it) {
    if (it->publisher == publisher && it->callback == callback) {
      _subscriptions.erase(it);
      publisher->Unregister(callback);
      return 1;
    }
  }
  return 0;
}

void KelEventSubscriber::ForgetCallback(KelCallbackManager* publisher, long callback) {
  for (auto it = _subscriptions.begin(); it != _subscriptions.end(); ++it) {
    if (it->publisher == publisher && it->callback == callback) {
      _subscriptions.erase(it);
      return;
    }
  }
}

long KelEventSubscriber::RefuseForeignMethod(const char* operation) {
  std::fprintf(stderr, "%s: the method does not belong to this object.\n", operation);
  return 0;
}

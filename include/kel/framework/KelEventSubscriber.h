// Base of objects that subscribe to named events. A callback identifier stays
// valid until RemoveCallback; a subscriber that dies removes its callbacks, and
// a publisher that dies makes its subscribers forget theirs, so RemoveCallback
// on a dead publisher is harmless (identifiers are never reused).
#pragma once

#include <kel/framework/KelExtendable.h>

#include <type_traits>
#include <vector>

class KelCallbackManager;
class KelNotification;
class KelEventSubscriber;

// A subscriber's member function receiving (event name, publisher, notification,
// client data, callback identifier).
typedef void (KelEventSubscriber::*KelSubscriberMethod)(const char* eventName,
                                                        KelCallbackManager* publisher,
                                                        KelNotification* notification, void* data,
                                                        long callback);

class KelEventSubscriber : public KelExtendable {
 public:
  KelEventSubscriber() = default;
  // Subscriptions belong to one object: a copy starts with none, and an
  // assignment keeps those of the target.
  KelEventSubscriber(const KelEventSubscriber& other) : KelExtendable(other) {}
  KelEventSubscriber& operator=(const KelEventSubscriber&) { return *this; }
  ~KelEventSubscriber() override;

  KEL_DECLARE_META(KelEventSubscriber);

  // Calls `method` on this subscriber each time `publisher` dispatches
  // `eventName`. `data` is handed to the method; when it is null the method gets
  // the data of the dispatch instead. Answers the callback identifier (> 0), or
  // 0 when an argument is null.
  long AddCallback(KelCallbackManager* publisher, const char* eventName, KelSubscriberMethod method,
                   void* data);
  // The same with a member function of a derived class; this object must be of
  // that class (checked, 0 and a message otherwise).
  template <class S>
  long AddCallback(KelCallbackManager* publisher, const char* eventName,
                   void (S::*method)(const char*, KelCallbackManager*, KelNotification*, void*,
                                     long),
                   void* data) {
    static_assert(std::is_base_of<KelEventSubscriber, S>::value,
                  "the method must belong to a subscriber class");
    if (method && !dynamic_cast<S*>(this))
      return RefuseForeignMethod("KelEventSubscriber::AddCallback");
    return AddCallback(publisher, eventName, static_cast<KelSubscriberMethod>(method), data);
  }

  // Answers 1 when the callback was this subscriber's on `publisher` and is now
  // removed, 0 otherwise. `publisher` is not touched when it no longer exists.
  int RemoveCallback(KelCallbackManager* publisher, long callback);
  // Number of callbacks this subscriber holds on live publishers.
  int GetSubscriptionCount() const { return static_cast<int>(_subscriptions.size()); }

 protected:
  // Reports, as "Class::Operation", a method of a class this object is not of.
  static long RefuseForeignMethod(const char* operation);

 private:
  friend class KelCallbackManager;
  // Called by a dying publisher.
  void ForgetCallback(KelCallbackManager* publisher, long callback);

  struct Subscription {
    KelCallbackManager* publisher;
    long callback;
  };
  std::vector<Subscription> _subscriptions;
};

// A publisher of notifications under one event name, its connexion: whoever
// subscribes to GetConnexion() on it receives every dispatched notification.
#pragma once

#include <kel/framework/KelCallbackManager.h>

class KelNotificationDispatcher : public KelCallbackManager {
 public:
  KelNotificationDispatcher() = default;
  ~KelNotificationDispatcher() override;

  KEL_DECLARE_META(KelNotificationDispatcher);

  // The event name of the connexion.
  static const char* NOTIFICATION_DISPATCHED();

  // Sends `notification` (with null data) to every subscriber of the connexion.
  virtual void Dispatch(KelNotification* notification);
  virtual const char* GetConnexion() const { return NOTIFICATION_DISPATCHED(); }

  // AddCallback of `subscriber` on this dispatcher's connexion.
  long Subscribe(KelEventSubscriber* subscriber, KelSubscriberMethod method, void* data);
  template <class S>
  long Subscribe(S* subscriber,
                 void (S::*method)(const char*, KelCallbackManager*, KelNotification*, void*, long),
                 void* data) {
    return subscriber ? subscriber->AddCallback(this, GetConnexion(), method, data) : 0;
  }
  int Unsubscribe(KelEventSubscriber* subscriber, long callback);
};

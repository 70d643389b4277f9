#include <kel/framework/KelNotificationDispatcher.h>

KEL_IMPLEMENT_META(KelNotificationDispatcher, KelCallbackManager)

KelNotificationDispatcher::~KelNotificationDispatcher() = default;

const char* KelNotificationDispatcher::NOTIFICATION_DISPATCHED() {
  return "NOTIFICATION_DISPATCHED";
}

void KelNotificationDispatcher::Dispatch(KelNotification* notification) {
  DispatchCallbacks(GetConnexion(), notification, nullptr);
}

long KelNotificationDispatcher::Subscribe(KelEventSubscriber* subscriber,
                                          KelSubscriberMethod method, void* data) {
  return subscriber ? subscriber->AddCallback(this, GetConnexion(), method, data) : 0;
}

int KelNotificationDispatcher::Unsubscribe(KelEventSubscriber* subscriber, long callback) {
  return subscriber ? subscriber->RemoveCallback(this, callback) : 0;
}

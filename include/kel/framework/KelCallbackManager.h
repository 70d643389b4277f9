// The named events of a publisher: callbacks are kept per event name and called
// in the order they were added. Callbacks may add or remove callbacks, destroy
// their subscriber, or even destroy the publisher while a dispatch runs; a
// callback added during a dispatch is first called by the next one.
#pragma once

#include <kel/framework/KelEventSubscriber.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

class KelCallbackManager : public KelEventSubscriber {
 public:
  KelCallbackManager() = default;
  // Callbacks belong to one publisher: a copy starts with none, and an
  // assignment keeps those of the target.
  KelCallbackManager(const KelCallbackManager& other) : KelEventSubscriber(other) {}
  KelCallbackManager& operator=(const KelCallbackManager&) { return *this; }
  ~KelCallbackManager() override;

  KEL_DECLARE_META(KelCallbackManager);

  // Calls every callback registered on this publisher for `eventName` (compared
  // as text) with the notification and, for callbacks added without client
  // data, `data`. The dispatch is one step of notification processing: delayed
  // destructions and transaction clean-up wait for its end.
  void DispatchCallbacks(const char* eventName, KelNotification* notification, void* data);

  // Number of live callbacks for `eventName`, or for all events when it is null.
  int GetCallbackCount(const char* eventName = nullptr) const;

 private:
  friend class KelEventSubscriber;
  long Register(KelEventSubscriber* subscriber, const char* eventName, KelSubscriberMethod method,
                void* data);
  void Unregister(long callback);
  void Purge();

  struct Entry {
    long callback;
    KelEventSubscriber* subscriber;  // null once removed
    KelSubscriberMethod method;
    void* data;
  };
  struct Frame;  // one running dispatch

  std::map<std::string, std::vector<Entry>, std::less<>> _callbacks;
  Frame* _frames = nullptr;  // innermost running dispatch
  bool _removedDuringDispatch = false;
};

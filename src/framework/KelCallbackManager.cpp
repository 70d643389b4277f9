#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelCleaner.h>

#include <algorithm>

KEL_IMPLEMENT_META(KelCallbackManager, KelEventSubscriber)

namespace {
// Identifiers are never reused, so a stale one cannot remove someone else's callback.
long nextCallback = 0;
}  // namespace

// A running dispatch; the destructor marks every running one so that they stop
// touching a publisher that a callback destroyed.
struct KelCallbackManager::Frame {
  Frame* outer;
  bool publisherDestroyed;
};

KelCallbackManager::~KelCallbackManager() {
  for (Frame* f = _frames; f; f = f->outer) f->publisherDestroyed = true;
  for (auto& event : _callbacks)
    for (Entry& e : event.second)
      if (e.subscriber) e.subscriber->ForgetCallback(this, e.callback);
}

long KelCallbackManager::Register(KelEventSubscriber* subscriber, const char* eventName,
                                  KelSubscriberMethod method, void* data) {
  auto it = _callbacks.find(eventName);
  if (it == _callbacks.end()) it = _callbacks.emplace(eventName, std::vector<Entry>()).first;
  const long callback = ++nextCallback;
  it->second.push_back({callback, subscriber, method, data});
  return callback;
}

void KelCallbackManager::Unregister(long callback) {
  for (auto& event : _callbacks) {
    std::vector<Entry>& entries = event.second;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].callback != callback || !entries[i].subscriber) continue;
      if (_frames) {
        // A dispatch walks these entries by index: only mark the entry.
        entries[i].subscriber = nullptr;
        _removedDuringDispatch = true;
      } else {
        entries.erase(entries.begin() + static_cast<long>(i));
      }
      return;
    }
  }
}

void KelCallbackManager::Purge() {
  for (auto it = _callbacks.begin(); it != _callbacks.end();) {
    std::vector<Entry>& entries = it->second;
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const Entry& e) { return e.subscriber == nullptr; }),
                  entries.end());
    it = entries.empty() ? _callbacks.erase(it) : std::next(it);
  }
  _removedDuringDispatch = false;
}

void KelCallbackManager::DispatchCallbacks(const char* eventName, KelNotification* notification,
                                           void* data) {
  if (!eventName) return;
  auto it = _callbacks.find(eventName);
  if (it == _callbacks.end()) return;

  KelCleaner::Processing processing;
  Frame frame{_frames, false};
  _frames = &frame;
  // The map node stays put while a dispatch runs (Purge waits for the last
  // one); its vector may grow, so entries are read by index. Callbacks added
  // meanwhile lie beyond `count`.
  std::vector<Entry>& entries = it->second;
  const std::size_t count = entries.size();
  for (std::size_t i = 0; i < count; ++i) {
    const Entry e = entries[i];
    if (!e.subscriber) continue;
    (e.subscriber->*e.method)(eventName, this, notification, e.data ? e.data : data, e.callback);
    if (frame.publisherDestroyed) return;
  }
  _frames = frame.outer;
  if (!_frames && _removedDuringDispatch) Purge();
}

int KelCallbackManager::GetCallbackCount(const char* eventName) const {
  int n = 0;
  for (const auto& event : _callbacks) {
    if (eventName && event.first != eventName) continue;
    for (const Entry& e : event.second)
      if (e.subscriber) ++n;
  }
  return n;
}

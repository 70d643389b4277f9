#include <kel/framework/KelCleaner.h>
#include <kel/framework/KelCommand.h>
#include <kel/framework/KelNotification.h>

#include <algorithm>
#include <vector>

namespace {
struct State {
  int depth = 0;
  bool flushing = false;
  std::vector<KelCommand*> commands;
  std::vector<KelNotification*> notifications;
};
// Never destroyed: notifications and commands may die during static destruction
// and still call Forget.
State& state() {
  static State* s = new State;
  return *s;
}
template <class T>
void erase(std::vector<T*>& v, T* p) {
  v.erase(std::remove(v.begin(), v.end(), p), v.end());
}
}  // namespace

void KelCleaner::DeleteOnTransactionEnd(KelNotification* notification) {
  if (!notification) return;
  auto& pending = state().notifications;
  if (std::find(pending.begin(), pending.end(), notification) == pending.end())
    pending.push_back(notification);
}

void KelCleaner::EndTransaction() {
  if (state().depth == 0) Flush();
}

KelCleaner::Processing::Processing() {
  ++state().depth;
}

KelCleaner::Processing::~Processing() {
  State& s = state();
  if (s.depth == 1 && !s.flushing) Flush();
  --s.depth;
}

int KelCleaner::IsProcessing() {
  return state().depth > 0;
}
int KelCleaner::GetPendingNotificationCount() {
  return static_cast<int>(state().notifications.size());
}
int KelCleaner::GetPendingCommandCount() {
  return static_cast<int>(state().commands.size());
}

void KelCleaner::DestroyOnTransactionEnd(KelCommand* command) {
  State& s = state();
  if (s.depth == 0) {
    delete command;
    return;
  }
  if (std::find(s.commands.begin(), s.commands.end(), command) == s.commands.end())
    s.commands.push_back(command);
}

void KelCleaner::Forget(KelCommand* command) {
  erase(state().commands, command);
}
void KelCleaner::Forget(KelNotification* notification) {
  erase(state().notifications, notification);
}

void KelCleaner::Flush() {
  State& s = state();
  if (s.flushing) return;
  s.flushing = true;
  // Destructors run as one more processing step, so that what they request
  // joins the queues instead of running in the middle of the clean-up.
  ++s.depth;
  // Commands first: a dying command may still read a notification of the
  // transaction, never the other way round. Each object leaves its queue
  // before it dies, so a destructor that queues more is safe.
  while (!s.commands.empty() || !s.notifications.empty()) {
    if (!s.commands.empty()) {
      KelCommand* c = s.commands.front();
      s.commands.erase(s.commands.begin());
      delete c;
    } else {
      KelNotification* n = s.notifications.front();
      s.notifications.erase(s.notifications.begin());
      delete n;
    }
  }
  --s.depth;
  s.flushing = false;
}

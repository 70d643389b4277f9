#include <kel/framework/KelCleaner.h>
#include <kel/framework/KelCommand.h>
#include <kel/framework/KelNotification.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

KEL_IMPLEMENT_META(KelCommand, KelEventSubscriber)

namespace {
long nextAnalyser = 0;

template <class T>
void eraseValue(std::vector<T*>& v, T* p) {
  v.erase(std::remove(v.begin(), v.end(), p), v.end());
}
}  // namespace

KelCommand* KelCommand::_firstLive = nullptr;
KelCommand* KelCommand::_lastLive = nullptr;

KelCommand::KelCommand(KelCommand* father, const KelString& name) : _name(name) {
  Link();
  SetFather(father);
}

KelCommand::KelCommand(const KelCommand& other) : KelEventSubscriber(other), _name(other._name) {
  Link();
  SetFather(other._father);
}

KelCommand::~KelCommand() {
  (_previousLive ? _previousLive->_nextLive : _firstLive) = _nextLive;
  (_nextLive ? _nextLive->_previousLive : _lastLive) = _previousLive;
  KelCleaner::Forget(this);
  for (KelCommand* child : _children) child->_father = nullptr;
  if (_father) eraseValue(_father->_children, this);
  for (KelCommand* listener : _listeners)
    if (listener != this) listener->ForgetSender(this);
  for (const Analyser& a : _analysers)
    if (a.live && a.sender && a.sender != this) eraseValue(a.sender->_listeners, this);
}

void KelCommand::Link() {
  _previousLive = _lastLive;
  (_lastLive ? _lastLive->_nextLive : _firstLive) = this;
  _lastLive = this;
}

void KelCommand::SetFather(KelCommand* father) {
  if (father == _father) return;
  // A command cannot become its own ancestor: the father chain must end.
  for (KelCommand* c = father; c; c = c->_father)
    if (c == this) {
      std::fprintf(stderr, "KelCommand::SetFather: the command would be its own ancestor.\n");
      return;
    }
  if (_father) eraseValue(_father->_children, this);
  _father = father;
  if (_father) _father->_children.push_back(this);
}

int KelCommand::SendNotification(KelCommand* target, KelNotification* notification) {
  if (!target || !notification) return 0;
  KelCleaner::Processing processing;
  // A command whose destruction is requested lives until the processing ends,
  // so the chain can be walked safely.
  for (KelCommand* c = target; c; c = c->_father)
    if (c->AnalyseNotification(this, notification)) return 1;
  return 0;
}

int KelCommand::AnalyseNotification(KelCommand* sender, KelNotification* notification) {
  if (!notification || _analysers.empty()) return 0;
  const char* name = notification->GetNotificationName();
  int analysed = 0;
  ++_analysing;
  // Analysers may add or remove analysers: walk by index up to the count of
  // now, and let removals only mark their entry.
  const std::size_t count = _analysers.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (!_analysers[i].live) continue;
    const Analyser& a = _analysers[i];
    if (a.sender && a.sender != sender) continue;
    const char* key = a.classOrName.c_str();
    if (!notification->IsAKindOf(key) && !(name && std::strcmp(name, key) == 0)) continue;
    const KelCommandMethod method = a.method;
    void* data = a.data;
    analysed = 1;
    (this->*method)(sender, notification, data);
  }
  if (--_analysing == 0 && _removedDuringAnalysis) Purge();
  return analysed;
}

long KelCommand::AddAnalyseNotificationCB(KelCommand* sender, const char* classOrName,
                                          KelCommandMethod method, void* data) {
  if (!classOrName || !method) {
    std::fprintf(stderr, "KelCommand::AddAnalyseNotificationCB: Invalid function parameters.\n");
    return 0;
  }
  const long id = ++nextAnalyser;
  _analysers.push_back({id, sender, classOrName, method, data, true});
  if (sender && sender != this &&
      std::find(sender->_listeners.begin(), sender->_listeners.end(), this) ==
          sender->_listeners.end())
    sender->_listeners.push_back(this);
  return id;
}

int KelCommand::RemoveAnalyseNotificationCB(long analyser) {
  for (Analyser& a : _analysers) {
    if (a.id != analyser || !a.live) continue;
    a.live = false;
    KelCommand* sender = a.sender;
    // The sender no longer needs to tell us of its death once no live
    // analyser of ours names it.
    if (sender && sender != this &&
        std::none_of(_analysers.begin(), _analysers.end(),
                     [sender](const Analyser& b) { return b.live && b.sender == sender; }))
      eraseValue(sender->_listeners, this);
    if (_analysing)
      _removedDuringAnalysis = true;
    else
      Purge();
    return 1;
  }
  return 0;
}

int KelCommand::RemoveAnalyseNotificationCB(KelCommand* sender, const char* classOrName) {
  if (!classOrName) return 0;
  std::vector<long> ids;
  for (const Analyser& a : _analysers)
    if (a.live && a.sender == sender && a.classOrName == classOrName) ids.push_back(a.id);
  for (long id : ids) RemoveAnalyseNotificationCB(id);
  return static_cast<int>(ids.size());
}

int KelCommand::GetAnalyserCount() const {
  return static_cast<int>(std::count_if(_analysers.begin(), _analysers.end(),
                                        [](const Analyser& a) { return a.live; }));
}

void KelCommand::ForgetSender(KelCommand* sender) {
  for (Analyser& a : _analysers)
    if (a.live && a.sender == sender) {
      a.live = false;
      _removedDuringAnalysis = true;
    }
  if (!_analysing) Purge();
}

void KelCommand::Purge() {
  _analysers.erase(std::remove_if(_analysers.begin(), _analysers.end(),
                                  [](const Analyser& a) { return !a.live; }),
                   _analysers.end());
  _removedDuringAnalysis = false;
}

void* KelCommand::SendCommandSpecificObject(const char*, KelNotification*) {
  return nullptr;
}

int KelCommand::SaveState(KelNotification* event, KelMarshal&) {
  return event ? 2 : 1;
}

int KelCommand::RestoreState(const char*, KelMarshal&) {
  return 4;
}

KelCommand* KelCommand::FindCommand(const char* name, int rank) {
  if (!name || rank < 0) return nullptr;
  for (KelCommand* c = _firstLive; c; c = c->_nextLive)
    if (c->_name.GetText() == name && rank-- == 0) return c;
  return nullptr;
}

int KelCommand::GetNameRank() const {
  int rank = 0;
  for (const KelCommand* c = _firstLive; c != this; c = c->_nextLive)
    if (c->_name == _name) ++rank;
  return rank;
}

void KelCommand::RequestDelayedDestruction() {
  if (_destructionRequested) return;
  _destructionRequested = true;
  KelCleaner::DestroyOnTransactionEnd(this);
}

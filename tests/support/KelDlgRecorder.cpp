#include "KelDlgRecorder.h"

#include <kel/framework/KelDlgNotification.h>

#include <cstring>

#include "KelXInput.h"

namespace keltest {

DlgRecorder::DlgRecorder(const char* name) : KelDlgDocument(nullptr, name) {
  AddAnalyseNotificationCB(nullptr, "KelDlgNotification", &DlgRecorder::Record, nullptr);
}

void DlgRecorder::Record(KelCommand* sender, KelNotification* notification, void*) {
  const auto* n = static_cast<KelDlgNotification*>(notification);
  events.push_back({sender ? sender->GetName().GetText() : std::string(), n->GetNotificationName(),
                    n->GetValue(), n->GetWidth(), n->GetHeight()});
}

int DlgRecorder::Count(const char* notification, const char* dialog) const {
  int count = 0;
  for (const DlgEvent& e : events)
    if ((!notification || e.notification == notification) && (!dialog || e.dialog == dialog))
      ++count;
  return count;
}

const DlgEvent* DlgRecorder::Last(const char* notification, const char* dialog) const {
  for (auto it = events.rbegin(); it != events.rend(); ++it)
    if (it->notification == notification && it->dialog == dialog) return &*it;
  return nullptr;
}

bool DlgRecorder::WaitFor(const char* notification, const char* dialog, int count) {
  return PumpUntil([&] { return Count(notification, dialog) >= count; });
}

std::vector<std::string> DlgRecorder::Sequence() const {
  std::vector<std::string> sequence;
  for (const DlgEvent& e : events) sequence.push_back(e.dialog + ":" + e.notification);
  return sequence;
}

}  // namespace keltest

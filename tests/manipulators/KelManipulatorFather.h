// The father command of the manipulators under test: it records every
// interaction notification that reaches it, with its cause.
#pragma once

#include <kel/framework/KelCommand.h>
#include <kel/manipulators/KelManipulatorNotification.h>

#include <string>
#include <vector>

namespace keltest {

class ManipulatorFather : public KelCommand {
 public:
  struct Entry {
    std::string text;  // class of the notification
    KelNotification* cause;
  };
  ManipulatorFather() : KelCommand(nullptr, "father") {
    AddAnalyseNotificationCB(nullptr, KelManipulatorNotification::ClassName(),
                             &ManipulatorFather::Record, nullptr);
  }
  void Record(KelCommand*, KelNotification* n, void*) {
    entries.push_back(
        {n->IsA(), static_cast<KelManipulatorNotification*>(n)->GetDataNotification()});
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Entry& e : entries) texts.push_back(e.text);
    return texts;
  }
  std::vector<Entry> entries;
};

}  // namespace keltest

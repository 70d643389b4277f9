// A window that records every dialog-toolkit notification reaching it from
// the dialogs inside it (those not taken by a nearer analyser).
#pragma once

#include <kel/framework/KelDlgDocument.h>

#include <string>
#include <vector>

namespace keltest {

struct DlgEvent {
  std::string dialog;        // name of the dialog that sent it
  std::string notification;  // DLG_...
  double value;
  int width, height;
};

class DlgRecorder : public KelDlgDocument {
 public:
  explicit DlgRecorder(const char* name = "recorder");

  void Record(KelCommand* sender, KelNotification* notification, void*);
  // Runs the event loop until `count` notifications named `notification`
  // (any when null) from `dialog` (any when null) have been recorded.
  bool WaitFor(const char* notification, const char* dialog = nullptr, int count = 1);
  int Count(const char* notification, const char* dialog = nullptr) const;
  // The last such notification, or null.
  const DlgEvent* Last(const char* notification, const char* dialog) const;
  // "dialog:notification" of each recorded event, for order checks.
  std::vector<std::string> Sequence() const;
  std::vector<DlgEvent> events;
};

}  // namespace keltest

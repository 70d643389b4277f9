// Base of every notification and event. A notification may carry a name, so
// that analysers can match it by name as well as by class.
#pragma once

#include <kel/framework/KelExtendable.h>

class KelNotification : public KelExtendable {
 public:
  // `flags` is kept for the sender; the framework does not interpret it.
  explicit KelNotification(int flags = 0) : _flags(flags) {}
  // `name` must outlive the notification (a literal or an event function's text).
  KelNotification(int flags, const char* name) : _flags(flags), _name(name) {}
  ~KelNotification() override;

  KEL_DECLARE_META(KelNotification);

  int GetFlags() const { return _flags; }
  const char* GetNotificationName() const { return _name; }
  void SetNotificationName(const char* name) { _name = name; }

 private:
  int _flags = 0;
  const char* _name = nullptr;
};

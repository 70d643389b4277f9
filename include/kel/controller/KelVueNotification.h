// Wraps the notification that caused an interaction (normally a viewer event)
// so that its receiver reaches the event's pick paths. The wrapped
// notification is not owned. Base of the manipulators' interaction
// notifications.
#pragma once

#include <kel/framework/KelNotification.h>

class KelPickPath;

class KelVueNotification : public KelNotification {
 public:
  explicit KelVueNotification(KelNotification* data) : KelNotification(0), _data(data) {}
  ~KelVueNotification() override;

  KEL_DECLARE_META(KelVueNotification);

  KelNotification* GetDataNotification() const { return _data; }
  void SetDataNotification(KelNotification* data) { _data = data; }

  // The wrapped viewer event's pick path; null for any other notification.
  KelPickPath* GetPickPath() const;
  // Walk the candidates of the viewer event's device; nothing (0) otherwise.
  void InitElementList();
  int MoveToNextElement();

 private:
  KelNotification* _data;
};

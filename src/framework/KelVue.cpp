#include <kel/framework/KelNotificationDispatcher.h>
#include <kel/framework/KelVue.h>

namespace {
int interactiveState = 0;
}

KelNotificationDispatcher* KelVue::GetDispatcher() {
  // Never destroyed: subscribers may still remove their callbacks during
  // static destruction.
  static KelNotificationDispatcher* dispatcher = new KelNotificationDispatcher;
  return dispatcher;
}

int KelVue::GetInteractiveState() {
  return interactiveState;
}
void KelVue::SetInteractiveState(int state) {
  interactiveState = state;
}

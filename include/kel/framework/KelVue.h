// Process-wide state of the visualization: the global model dispatcher and the
// interactive state the mouse device switches while a button is held.
#pragma once

class KelNotificationDispatcher;

class KelVue {
 public:
  KelVue() = delete;

  // Created on first use and kept for the life of the process.
  static KelNotificationDispatcher* GetDispatcher();
  // 0 until set.
  static int GetInteractiveState();
  static void SetInteractiveState(int state);
};

// The interaction transaction: notifications handed to DeleteOnTransactionEnd
// and commands whose destruction was requested are deleted when it ends, that
// is when the outermost notification being processed has been processed, or at
// an explicit EndTransaction() while none is.
#pragma once

class KelNotification;
class KelCommand;

class KelCleaner {
 public:
  KelCleaner() = delete;

  // Deletes `notification` when the current transaction ends. A null pointer or
  // one already registered is ignored.
  static void DeleteOnTransactionEnd(KelNotification* notification);
  // Ends the transaction: at once when no notification is being processed,
  // otherwise when the outermost processing ends.
  static void EndTransaction();

  // Brackets the processing of one notification; brackets nest. The framework's
  // dispatchers open one; an application may open one around its own event
  // handling so that clean-up waits for its end.
  class Processing {
   public:
    Processing();
    ~Processing();
    Processing(const Processing&) = delete;
    Processing& operator=(const Processing&) = delete;
  };
  static int IsProcessing();

  // Notifications and commands waiting for the end of the transaction.
  static int GetPendingNotificationCount();
  static int GetPendingCommandCount();

 private:
  friend class KelCommand;
  friend class KelNotification;
  static void DestroyOnTransactionEnd(KelCommand* command);
  // A registered object deleted by other means must not be deleted again.
  static void Forget(KelCommand* command);
  static void Forget(KelNotification* notification);
  static void Flush();
};

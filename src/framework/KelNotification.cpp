#include <kel/framework/KelCleaner.h>
#include <kel/framework/KelNotification.h>

KEL_IMPLEMENT_META(KelNotification, KelExtendable)

// A notification waiting for the end of the transaction and deleted by other
// means must not be deleted a second time.
KelNotification::~KelNotification() {
  KelCleaner::Forget(this);
}

#include <kel/framework/KelModelNotification.h>

KEL_IMPLEMENT_META(KelModelNotification, KelNotification)
KEL_IMPLEMENT_META(KelCreate, KelModelNotification)
KEL_IMPLEMENT_META(KelDelete, KelModelNotification)
KEL_IMPLEMENT_META(KelModifyGeometry, KelModelNotification)
KEL_IMPLEMENT_META(KelModifyColor, KelModelNotification)
KEL_IMPLEMENT_META(KelModifyShowStatus, KelModelNotification)
KEL_IMPLEMENT_META(KelAddManipulator, KelModelNotification)
KEL_IMPLEMENT_META(KelRemoveManipulator, KelModelNotification)
KEL_IMPLEMENT_META(KelBeginTransaction, KelNotification)
KEL_IMPLEMENT_META(KelEndTransaction, KelNotification)
KEL_IMPLEMENT_META(KelInteractivityNotification, KelNotification)
KEL_IMPLEMENT_META(KelModelNotificationDispatcher, KelNotificationDispatcher)

KelModelNotification::~KelModelNotification() = default;
KelCreate::~KelCreate() = default;
KelDelete::~KelDelete() = default;
KelModifyGeometry::~KelModifyGeometry() = default;
KelModifyColor::~KelModifyColor() = default;
KelModifyShowStatus::~KelModifyShowStatus() = default;
KelAddManipulator::~KelAddManipulator() = default;
KelRemoveManipulator::~KelRemoveManipulator() = default;
KelBeginTransaction::~KelBeginTransaction() = default;
KelEndTransaction::~KelEndTransaction() = default;
KelInteractivityNotification::~KelInteractivityNotification() = default;
KelModelNotificationDispatcher::~KelModelNotificationDispatcher() = default;

const char* KelModelNotificationDispatcher::MODEL_NOTIFICATION() {
  return "MODEL_NOTIFICATION";
}

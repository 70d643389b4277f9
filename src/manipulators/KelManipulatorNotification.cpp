#include <kel/manipulators/KelManipulatorNotification.h>

KEL_IMPLEMENT_META(KelManipulatorNotification, KelVueNotification)

KelManipulatorNotification::~KelManipulatorNotification() = default;

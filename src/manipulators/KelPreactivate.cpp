#include <kel/manipulators/KelPreactivate.h>

KEL_IMPLEMENT_META(KelPreactivate, KelManipulatorNotification)

KelPreactivate::~KelPreactivate() = default;

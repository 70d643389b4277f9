#include <kel/manipulators/KelActivate.h>

KEL_IMPLEMENT_META(KelActivate, KelManipulatorNotification)

KelActivate::~KelActivate() = default;

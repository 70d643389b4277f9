#include <kel/manipulators/KelEndPreactivate.h>

KEL_IMPLEMENT_META(KelEndPreactivate, KelManipulatorNotification)

KelEndPreactivate::~KelEndPreactivate() = default;

#include <kel/manipulators/KelManipulate.h>

KEL_IMPLEMENT_META(KelManipulate, KelManipulatorNotification)

KelManipulate::~KelManipulate() = default;

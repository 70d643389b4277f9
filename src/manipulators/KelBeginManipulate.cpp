#include <kel/manipulators/KelBeginManipulate.h>

KEL_IMPLEMENT_META(KelBeginManipulate, KelManipulatorNotification)

KelBeginManipulate::~KelBeginManipulate() = default;

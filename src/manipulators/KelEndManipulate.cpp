#include <kel/manipulators/KelEndManipulate.h>

KEL_IMPLEMENT_META(KelEndManipulate, KelManipulatorNotification)

KelEndManipulate::~KelEndManipulate() = default;

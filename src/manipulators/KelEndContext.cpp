#include <kel/manipulators/KelEndContext.h>

KEL_IMPLEMENT_META(KelEndContext, KelManipulatorNotification)

KelEndContext::~KelEndContext() = default;

#include <kel/manipulators/KelContext.h>

KEL_IMPLEMENT_META(KelContext, KelManipulatorNotification)

KelContext::~KelContext() = default;

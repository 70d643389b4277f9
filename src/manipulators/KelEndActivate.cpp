#include <kel/manipulators/KelEndActivate.h>

KEL_IMPLEMENT_META(KelEndActivate, KelManipulatorNotification)

KelEndActivate::~KelEndActivate() = default;

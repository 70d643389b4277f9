#include <kel/manipulators/KelMove.h>

KEL_IMPLEMENT_META(KelMove, KelManipulatorNotification)

KelMove::~KelMove() = default;

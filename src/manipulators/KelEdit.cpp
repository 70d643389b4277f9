#include <kel/manipulators/KelEdit.h>

KEL_IMPLEMENT_META(KelEdit, KelManipulatorNotification)

KelEdit::~KelEdit() = default;

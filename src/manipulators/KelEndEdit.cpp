#include <kel/manipulators/KelEndEdit.h>

KEL_IMPLEMENT_META(KelEndEdit, KelManipulatorNotification)

KelEndEdit::~KelEndEdit() = default;

#include <kel/framework/KelDlgFrame.h>

#include <Xm/Xm.h>

KEL_IMPLEMENT_META(KelDlgFrame, KelDialog)

KelDlgFrame::KelDlgFrame(KelDialog* father, const KelString& name, unsigned long style)
    : KelDialog(father, name, style) {
  Build();
}

KelDlgFrame::~KelDlgFrame() = default;

Widget KelDlgFrame::CreateWidgets() {
  Widget parent = GetParentWidget();
  if (!parent) return nullptr;
  const bool border = (GetStyle() & KelDlgFrameBorder) != 0;
  return CreateGrid(parent, GetName().CastToCharPtr(), border ? 4 : -1, border ? 2 : 0);
}

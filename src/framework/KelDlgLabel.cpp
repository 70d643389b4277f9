#include <kel/framework/KelDlgLabel.h>

#include <Xm/Label.h>

KEL_IMPLEMENT_META(KelDlgLabel, KelDialog)

KelDlgLabel::KelDlgLabel(KelDialog* father, const KelString& name, unsigned long style)
    : KelDialog(father, name, style) {
  Build();
}

KelDlgLabel::~KelDlgLabel() = default;

Widget KelDlgLabel::CreateWidgets() {
  Widget parent = GetParentWidget();
  if (!parent) return nullptr;
  return XtVaCreateWidget(GetName().CastToCharPtr(), xmLabelWidgetClass, parent, XmNalignment,
                          XmALIGNMENT_BEGINNING, nullptr);
}

void KelDlgLabel::ShowTitle() {
  ShowLabel(GetWidget());
}

#include <kel/framework/KelDlgCheckItem.h>

#include <Xm/ToggleB.h>

KEL_IMPLEMENT_META(KelDlgCheckItem, KelDlgCheckButton)

KelDlgCheckItem::KelDlgCheckItem(KelDialog* father, const KelString& name, unsigned long style)
    : KelDlgCheckButton(father, name, style, NoBuild()) {
  Build();
}

KelDlgCheckItem::~KelDlgCheckItem() = default;

Widget KelDlgCheckItem::CreateWidgets() {
  Widget toggle = KelDlgCheckButton::CreateWidgets();
  // A menu item shows its mark also when off.
  if (toggle) XtVaSetValues(toggle, XmNvisibleWhenOff, True, nullptr);
  return toggle;
}

void KelDlgCheckItem::ShowTitle() {
  ShowLabel(GetWidget());
}

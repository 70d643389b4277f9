#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgRadioButton.h>

#include <Xm/ToggleB.h>

KEL_IMPLEMENT_META(KelDlgRadioButton, KelDlgCheckButton)

KelDlgRadioButton::KelDlgRadioButton(KelDialog* father, const KelString& name, unsigned long style)
    : KelDlgCheckButton(father, name, style, NoBuild()) {
  Build();
}

KelDlgRadioButton::~KelDlgRadioButton() = default;

Widget KelDlgRadioButton::CreateWidgets() {
  Widget toggle = KelDlgCheckButton::CreateWidgets();
  if (toggle) XtVaSetValues(toggle, XmNindicatorType, XmONE_OF_MANY, nullptr);
  return toggle;
}

void KelDlgRadioButton::ShowTitle() {
  ShowLabel(GetWidget());
}

void KelDlgRadioButton::SwitchOthersOff(bool notify) {
  KelDialog* father = GetFatherDialog();
  if (!father) return;
  for (int i = 0; i < father->GetDialogCount(); ++i) {
    KelDialog* d = father->GetDialog(i);
    if (d == this || !d->IsAKindOf("KelDlgRadioButton")) continue;
    auto* other = static_cast<KelDlgRadioButton*>(d);
    if (!other->GetState()) continue;
    other->KelDlgCheckButton::SetState(0);
    if (notify) other->Notify(KelDlgNotification::DLG_MODIFY(), 0);
  }
}

void KelDlgRadioButton::SetState(int on) {
  if (on) SwitchOthersOff(false);
  KelDlgCheckButton::SetState(on);
}

void KelDlgRadioButton::Switched(int on) {
  if (!on) {
    // The chosen one stays chosen.
    KelDlgCheckButton::SetState(1);
    return;
  }
  SwitchOthersOff(true);
  KelDlgCheckButton::Switched(1);
}

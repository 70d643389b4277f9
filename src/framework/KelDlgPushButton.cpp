#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgPushButton.h>

#include <Xm/PushB.h>

KEL_IMPLEMENT_META(KelDlgPushButton, KelDialog)

KelDlgPushButton::KelDlgPushButton(KelDialog* father, const KelString& name, unsigned long style)
    : KelDialog(father, name, style) {
  Build();
}

KelDlgPushButton::~KelDlgPushButton() = default;

Widget KelDlgPushButton::CreateWidgets() {
  Widget parent = GetParentWidget();
  if (!parent) return nullptr;
  Widget button =
      XtCreateWidget(GetName().CastToCharPtr(), xmPushButtonWidgetClass, parent, nullptr, 0);
  Listen(button, XmNactivateCallback, static_cast<Handler>(&KelDlgPushButton::Activated));
  return button;
}

void KelDlgPushButton::ShowTitle() {
  ShowLabel(GetWidget());
}

void KelDlgPushButton::Activated(Widget, void*) {
  Notify(KelDlgNotification::DLG_ACTIVATE());
}

#include <kel/framework/KelDlgCheckButton.h>
#include <kel/framework/KelDlgNotification.h>

#include <Xm/ToggleB.h>

KEL_IMPLEMENT_META(KelDlgCheckButton, KelDialog)

KelDlgCheckButton::KelDlgCheckButton(KelDialog* father, const KelString& name, unsigned long style)
    : KelDialog(father, name, style) {
  Build();
}

KelDlgCheckButton::KelDlgCheckButton(KelDialog* father, const KelString& name, unsigned long style,
                                     NoBuild)
    : KelDialog(father, name, style) {}

KelDlgCheckButton::~KelDlgCheckButton() = default;

Widget KelDlgCheckButton::CreateWidgets() {
  Widget parent = GetParentWidget();
  if (!parent) return nullptr;
  Widget toggle = XtVaCreateWidget(GetName().CastToCharPtr(), xmToggleButtonWidgetClass, parent,
                                   XmNset, _state ? XmSET : XmUNSET, nullptr);
  Listen(toggle, XmNvalueChangedCallback, static_cast<Handler>(&KelDlgCheckButton::Changed));
  return toggle;
}

void KelDlgCheckButton::ShowTitle() {
  // An icon makes a button that stays in while on.
  const int icon = ShowLabel(GetWidget());
  XtVaSetValues(GetWidget(), XmNindicatorOn, icon ? XmINDICATOR_NONE : XmINDICATOR_CHECK_BOX,
                XmNshadowThickness, icon ? 2 : 0, nullptr);
}

void KelDlgCheckButton::SetState(int on) {
  _state = on ? 1 : 0;
  if (Widget toggle = GetWidget()) XmToggleButtonSetState(toggle, _state ? True : False, False);
}

void KelDlgCheckButton::Changed(Widget, void* callData) {
  const auto* call = static_cast<XmToggleButtonCallbackStruct*>(callData);
  Switched(call->set == XmSET ? 1 : 0);
}

void KelDlgCheckButton::Switched(int on) {
  _state = on;
  Notify(KelDlgNotification::DLG_MODIFY(), on);
}

#include <kel/aids/KelPopup.h>

#include <kel/framework/KelDlgConstants.h>

KEL_IMPLEMENT_META(KelPopup, KelDlgDialog)

KelPopup::KelPopup(KelDialog* father, const KelString& name, unsigned long style)
    : KelDlgDialog(father, name, style) {}

KelPopup::~KelPopup() {
  // While the dialog is still whole, so that followers may read it.
  _callbackManager.DispatchCallbacks(EDIT_PANEL_POPUP_DESTROYED(), nullptr, nullptr);
}

const char* KelPopup::EDIT_PANEL_POPUP_DESTROYED() {
  return "EDIT_PANEL_POPUP_DESTROYED";
}

void KelPopup::SetVisibility(int state) {
  const int wasShown = GetVisibility() == KelDlgShown;
  KelDlgDialog::SetVisibility(state);
  if (wasShown && state != KelDlgShown) RequestDelayedDestruction();
}

#include <kel/aids/Kel3DVisibilityPopup.h>

#include <kel/framework/KelDlgCheckButton.h>
#include <kel/framework/KelDlgCombo.h>
#include <kel/framework/KelDlgConstants.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/viewers/Kel3DViewer.h>
#include <kel/viewers/KelGraphicWindow.h>

KEL_IMPLEMENT_META(Kel3DVisibilityPopup, KelPopup)

Kel3DVisibilityPopup::Kel3DVisibilityPopup(KelDialog* father, const KelString& name,
                                           unsigned long style, Kel3DViewer* viewer)
    : KelPopup(father, name, style), _viewer(viewer) {
  if (!viewer) return;
  _fog = new KelDlgCheckButton(this, KelString("Fog"));
  _fog->SetTitle(KelString("Fog"));
  _fog->SetState(viewer->IsFogOn());
  _fog->SetHorizontalAttachment(1, KelDlgAttachTab);
  _fog->SetVerticalAttachment(1, KelDlgAttachTab);
  _polygonMode = new KelDlgCombo(this, KelString("PolygonMode"));
  for (const char* line : {"Filled", "Outlines", "Corners"}) _polygonMode->AddLine(KelString(line));
  const KelGraphicWindow* window = viewer->GetGraphicWindow();
  const int mode = window ? window->GetPolygonDrawingMode() : 0;
  _polygonMode->SetSelect(mode >= 0 && mode <= 2 ? mode : 2);
  _polygonMode->SetHorizontalAttachment(1, KelDlgAttachTab);
  _polygonMode->SetVerticalAttachment(2, KelDlgAttachTab);
  AddAnalyseNotificationCB(_fog, KelDlgNotification::DLG_MODIFY(),
                           &Kel3DVisibilityPopup::ActivateNearfarfog, nullptr);
  AddAnalyseNotificationCB(_polygonMode, KelDlgNotification::DLG_SELECT(),
                           &Kel3DVisibilityPopup::ChangePolygonMode, nullptr);
}

void Kel3DVisibilityPopup::ActivateNearfarfog(KelCommand*, KelNotification*, void*) {
  if (!_viewer || !_fog) return;
  _viewer->SetFogMode(_fog->GetState());
  _viewer->Draw();
}

void Kel3DVisibilityPopup::ChangePolygonMode(KelCommand*, KelNotification*, void*) {
  if (!_viewer || !_polygonMode) return;
  _viewer->SetPolygonDrawingMode(_polygonMode->GetSelect());
  _viewer->Draw();
}

#include <kel/aids/KelVisuPerformancesDialog.h>

#include <kel/framework/KelDlgConstants.h>
#include <kel/framework/KelDlgLabel.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/framework/KelDlgSlider.h>
#include <kel/viewers/Kel3DViewer.h>
#include <kel/viewers/KelGraphicWindow.h>

#include <iostream>

KEL_IMPLEMENT_META(KelVisuPerformancesDialog, KelDlgDialog)

namespace {

void Place(KelDialog* dialog, int column, int row) {
  dialog->SetHorizontalAttachment(column, KelDlgAttachTab);
  dialog->SetVerticalAttachment(row, KelDlgAttachTab);
}

}  // namespace

KelVisuPerformancesDialog::KelVisuPerformancesDialog(KelDialog* father, const KelString& name,
                                                     Kel3DViewer* viewer, unsigned long style)
    : KelDlgDialog(father, name, style), _viewer(viewer) {
  if (!viewer) {
    std::cerr << "KelVisuPerformancesDialog: Invalid creation parameters." << std::endl;
    return;
  }
  _watch.AddCallback(viewer->GetCallbackManager(), KelViewer::VIEWER_UPDATE(), &ViewerWatch::Ignore,
                     nullptr);
  SetTitle("Visualization performances:");
  KelSupport* support = GetSupport();

  _lodLabel = new KelDlgLabel(this, "VisuPerfoLodText");
  _lodLabel->SetTitle("Accuracy (pixel):");
  _lodSlider = new KelDlgSlider(this, "VisuPerfoLodSlider", KelDlgHorizontal);
  _lodSlider->SetDecimals(1);
  _lodSlider->SetRange(0.5, 50.0, 100);
  if (support) _lodSlider->SetValue(support->GetSagPrecision());

  _cullingLabel = new KelDlgLabel(this, "VisuPerfoCullingText");
  _cullingLabel->SetTitle("Culling size (pixel):");
  _cullingSlider = new KelDlgSlider(this, "VisuPerfoCullingSlider", KelDlgHorizontal);
  _cullingSlider->SetRange(1.0, 100.0, 100);
  if (support) _cullingSlider->SetValue(double(support->GetCullingPrecision()));

  _lodButton = new KelDlgPushButton(this, "BoutonDeTaMere");
  _lodButton->SetTitle("Activate/Deactivate LODs");

  Place(_lodLabel, 1, 1);
  Place(_lodSlider, 2, 1);
  Place(_cullingLabel, 1, 2);
  Place(_cullingSlider, 2, 2);
  Place(_lodButton, 1, 3);

  _analysers[0] = AddAnalyseNotificationCB(_lodSlider, KelDlgNotification::DLG_MODIFY(),
                                           &KelVisuPerformancesDialog::Sag, nullptr);
  _analysers[1] = AddAnalyseNotificationCB(_cullingSlider, KelDlgNotification::DLG_MODIFY(),
                                           &KelVisuPerformancesDialog::Cull, nullptr);
  _analysers[2] = AddAnalyseNotificationCB(_lodButton, KelDlgNotification::DLG_ACTIVATE(),
                                           &KelVisuPerformancesDialog::NoLod, nullptr);
  SetVisibility(KelDlgShown);
}

KelVisuPerformancesDialog::~KelVisuPerformancesDialog() {
  // Only those that were added: a dialog made without a viewer has none.
  for (long& analyser : _analysers)
    if (analyser) RemoveAnalyseNotificationCB(analyser);
}

Kel3DViewer* KelVisuPerformancesDialog::GetViewer() const {
  return _watch.GetSubscriptionCount() ? _viewer : nullptr;
}

KelSupport* KelVisuPerformancesDialog::GetSupport() const {
  Kel3DViewer* viewer = GetViewer();
  return viewer ? viewer->GetGraphicWindow() : nullptr;
}

void KelVisuPerformancesDialog::Redraw() const {
  if (Kel3DViewer* viewer = GetViewer()) viewer->Draw();
}

void KelVisuPerformancesDialog::Sag(KelCommand*, KelNotification*, void*) {
  KelSupport* support = GetSupport();
  if (!support || !_lodSlider) return;
  support->SetSagPrecision(float(_lodSlider->GetValue()));
  Redraw();
}

void KelVisuPerformancesDialog::Cull(KelCommand*, KelNotification*, void*) {
  KelSupport* support = GetSupport();
  if (!support || !_cullingSlider) return;
  const double v = _cullingSlider->GetValue();
  support->SetCullingPrecision(v > 1.0 ? int(v) : 1);
  Redraw();
}

void KelVisuPerformancesDialog::NoLod(KelCommand*, KelNotification*, void*) {
  KelSupport* support = GetSupport();
  if (!support || !_lodSlider) return;
  if (support->GetSagPrecision() > 0.1f)
    support->SetSagPrecision(0.0f);
  else
    support->SetSagPrecision(float(_lodSlider->GetValue()));
  Redraw();
}

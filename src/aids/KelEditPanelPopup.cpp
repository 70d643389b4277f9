#include <kel/aids/KelEditPanelPopup.h>

#include <kel/framework/KelDlgConstants.h>
#include <kel/framework/KelDlgLabel.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgSlider.h>
#include <kel/reps/KelLightSourceSet.h>
#include <kel/viewers/KelViewer.h>

#include <cmath>
#include <string>

KEL_IMPLEMENT_META(KelEditPanelPopup, KelPopup)

namespace {

const double kDegree = 3.14159265358979323846 / 180.0;

KelDlgSlider* Slider(KelDialog* popup, const char* name, const char* title, double low, double high,
                     double value, int row) {
  auto* label = new KelDlgLabel(popup, KelString((std::string(name) + "Text").c_str()));
  label->SetTitle(KelString(title));
  label->SetHorizontalAttachment(1, KelDlgAttachTab);
  label->SetVerticalAttachment(row, KelDlgAttachTab);
  auto* slider = new KelDlgSlider(popup, KelString(name), KelDlgHorizontal);
  slider->SetRange(low, high, int(high - low));
  slider->SetValue(value);
  slider->SetHorizontalAttachment(2, KelDlgAttachTab);
  slider->SetVerticalAttachment(row, KelDlgAttachTab);
  return slider;
}

}  // namespace

KelEditPanelPopup::KelEditPanelPopup(KelDialog* father, const KelString& name, unsigned long style,
                                     KelViewer* viewer)
    : KelPopup(father, name, style), _viewer(viewer) {
  if (!viewer) return;
  if (!viewer->GetModelWindowSL())
    viewer->SetModelWindowSL(KelLightSourceSet(Keldirection3f(-1.0f, 1.0f, 1.0f)));
  const Keldirection3f d = viewer->GetModelWindowSL()->GetFirstDirection();
  const double elevation = std::asin(std::fmax(-1.0, std::fmin(1.0, double(d.y)))) / kDegree;
  const double azimuth = std::atan2(double(d.x), double(d.z)) / kDegree;
  _azimuth =
      Slider(this, "LightAzimuth", "Azimuth (degree):", -180.0, 180.0, std::round(azimuth), 1);
  _elevation =
      Slider(this, "LightElevation", "Elevation (degree):", -90.0, 90.0, std::round(elevation), 2);
  for (KelDlgSlider* slider : {_azimuth, _elevation})
    AddAnalyseNotificationCB(slider, KelDlgNotification::DLG_MODIFY(), &KelEditPanelPopup::AimLight,
                             nullptr);
}

void KelEditPanelPopup::AimLight(KelCommand*, KelNotification*, void*) {
  if (!_viewer || !_azimuth || !_viewer->GetModelWindowSL()) return;
  const double a = _azimuth->GetValue() * kDegree, e = _elevation->GetValue() * kDegree;
  KelLightSourceSet lights(*_viewer->GetModelWindowSL());
  lights.SetFirstDirection(Keldirection3f(float(std::cos(e) * std::sin(a)), float(std::sin(e)),
                                          float(std::cos(e) * std::cos(a))));
  _viewer->SetModelWindowSL(lights);
  _viewer->Draw();
}

// A popup holding an edit panel. The navigation viewer's "LightSourceSettings"
// holds the light-source panel: two sliders, "LightAzimuth" and
// "LightElevation" (degrees), that aim the viewer's first model-window light.
// The directions are the window's (x right, y up, z towards the user): the
// elevation is the angle above the window's horizontal plane, the azimuth the
// angle from the line of sight towards the right. The sliders start from the
// light as it is; every change sets it and redraws. A viewer without lights
// gets one. Like every KelPopup, closing it destroys it.
#pragma once

#include <kel/aids/KelPopup.h>

class KelDlgSlider;
class KelViewer;

class KelEditPanelPopup : public KelPopup {
 public:
  // `viewer` must outlive the popup (the navigation viewer owns it).
  KelEditPanelPopup(KelDialog* father, const KelString& name, unsigned long style,
                    KelViewer* viewer);

  KEL_DECLARE_META(KelEditPanelPopup);

  void AimLight(KelCommand* sender, KelNotification* notification, void* data);

  KelDlgSlider* GetAzimuthSlider() const { return _azimuth; }
  KelDlgSlider* GetElevationSlider() const { return _elevation; }

 private:
  KelViewer* _viewer;
  KelDlgSlider* _azimuth = nullptr;
  KelDlgSlider* _elevation = nullptr;
};

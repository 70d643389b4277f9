// The navigation viewer's visibility settings: a popup with the viewer's fog
// ("Fog", linear fog from the near to the far distance) and the way faces are
// drawn ("PolygonMode": "Filled", "Outlines", "Corners", the support's polygon
// drawing modes 0, 1 and 2). The controls start from the viewer's support;
// every change reaches it and redraws. Like every KelPopup, closing it
// destroys it.
#pragma once

#include <kel/aids/KelPopup.h>

class Kel3DViewer;
class KelDlgCheckButton;
class KelDlgCombo;

class Kel3DVisibilityPopup : public KelPopup {
 public:
  // `viewer` must outlive the popup (the navigation viewer owns it).
  Kel3DVisibilityPopup(KelDialog* father, const KelString& name, unsigned long style,
                       Kel3DViewer* viewer);

  KEL_DECLARE_META(Kel3DVisibilityPopup);

  void ActivateNearfarfog(KelCommand* sender, KelNotification* notification, void* data);
  void ChangePolygonMode(KelCommand* sender, KelNotification* notification, void* data);

  KelDlgCheckButton* GetFogButton() const { return _fog; }
  KelDlgCombo* GetPolygonModeCombo() const { return _polygonMode; }

 private:
  Kel3DViewer* _viewer;
  KelDlgCheckButton* _fog = nullptr;
  KelDlgCombo* _polygonMode = nullptr;
};

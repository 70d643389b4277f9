// kelview's camera motion: a middle-button drag turns the camera about a
// fixed centre (the scene's), a pixel of drag a fixed angle, so that a
// replayed drag gives the same camera bit for bit.
#pragma once

#include <kel/framework/Kelpoint2f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/navigation/KelViewpointEditor.h>

class Kel3DViewpoint;

class KelOrbitEditor : public KelViewpointEditor {
 public:
  static constexpr float RadiansPerPixel = 0.01f;

  KelOrbitEditor(Kel3DViewpoint* viewpoint, const Kelpoint3f& centre);

  int Activate(KelNotification*) override { return 1; }
  int EndActivate(KelNotification*) override { return 1; }
  // `notification`: the mouse device's KelMouseEvent.
  int BeginManipulate(KelNotification* notification) override;
  int Manipulate(KelNotification* notification) override;
  int EndManipulate(KelNotification* notification) override;

  void SetCentre(const Kelpoint3f& centre) { _centre = centre; }

 private:
  Kelpoint3f _centre;
  Kelpoint2f _last;
  bool _dragging = false;
};

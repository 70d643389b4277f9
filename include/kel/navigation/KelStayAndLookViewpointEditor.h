// A 3D viewpoint editor whose eye never moves, as from a fixed camera stand:
// a middle drag grabs the picture and turns the head (the picked point stays
// under the cursor), the left button pressed during the drag zooms by
// narrowing or widening the field angle (100 pixels down double the view's
// height), a middle click aims at the picked point and halves the view, a
// Control middle click doubles it. Page Up and Page Down zoom by sqrt(2),
// the arrows turn the head. The camera is kept upright (gravity mode 2) and
// its half field angle within the two bounds given, in degrees.
#pragma once

#include <kel/navigation/Kel3DViewpointEditor.h>

class KelStayAndLookViewpointEditor : public Kel3DViewpointEditor {
 public:
  // Bounds that are not 0 < minimum <= maximum < 90 are reported and 0.5 and
  // 80 taken instead.
  KelStayAndLookViewpointEditor(const KelString& name, Kel3DViewpoint& viewpoint,
                                const float minimumAngle, const float maximumAngle);
  ~KelStayAndLookViewpointEditor() override;

  KEL_DECLARE_META(KelStayAndLookViewpointEditor);

  virtual void SeekAngle(KelMouseEvent& event);
  virtual void StepBackAngle(KelMouseEvent& event);
  virtual void StartZoomAngle(KelMouseEvent& event);
  virtual void DriveZoomAngle(KelMouseEvent& event);
  virtual void StopZoomAngle(KelMouseEvent& event);
  virtual void KeyZoomAngle(KelKeyboardEvent& event);
  virtual void StartTiltDrag(KelMouseEvent& event);
  virtual void DriveTiltDrag(KelMouseEvent& event);
  virtual void StopTiltDrag(KelMouseEvent& event);

 protected:
  void GetAngleBounds(float& minimum, float& maximum) const override;

 private:
  float _minimumAngle;
  float _maximumAngle;
};

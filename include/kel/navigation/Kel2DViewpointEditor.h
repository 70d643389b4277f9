// Pans and zooms a 2D camera with the middle mouse button: dragged alone,
// the drawing follows the pointer; with the left button held too, every 100
// pixels upwards double the zoom (downwards halve it). A drag with Shift
// held moves nothing. A drag is one camera animation.
//
// A change of buttons or modifiers during the drag restarts it from where
// the pointer is. The animation is stopped only when this drag started one,
// so pressing or releasing Shift during a drag never leaves the camera's
// animation counter unbalanced.
#pragma once

#include <kel/framework/Kelpoint3f.h>
#include <kel/navigation/KelViewpointEditor.h>

class Kel2DViewpoint;
class Kelvector3f;

class Kel2DViewpointEditor : public KelViewpointEditor {
 public:
  Kel2DViewpointEditor(const KelString& name, Kel2DViewpoint& viewpoint);
  ~Kel2DViewpointEditor() override;

  KEL_DECLARE_META(Kel2DViewpointEditor);

  using KelViewpointEditor::SetViewpoint;
  void SetViewpoint(Kel2DViewpoint& viewpoint);
  int BeginManipulate(KelNotification* notification) override;
  int Manipulate(KelNotification* notification) override;
  int EndManipulate(KelNotification* notification) override;
  int Activate(KelNotification*) override { return 1; }
  int EndActivate(KelNotification*) override { return 1; }

  // `v` in pixels: x and y move the drawing with the pointer, z zooms by
  // 2^(z / 100).
  void Jump(const Kelvector3f& v);

  // Whether the running drag holds an animation of the camera.
  int IsAnimating() const { return _animating; }

 private:
  Kel2DViewpoint* _viewpoint2D;
  int _lastModifiers = 0;
  int _lastButtons = 0;
  Kelpoint3f _dragPosition;
  int _animating = 0;
};

// The look-at gesture: a press on a point of the scene, then one drag,
// defines a new viewpoint aimed at that point. While the cursor moves fast
// away from the point the drag sets how far the eye stands from it (the
// dragged point stays on the edge of the view); once it slows down and then
// leaves the line through the point sideways, it turns the sight about the
// point. The release gives the viewer's main 3D viewpoint the new camera in
// one modification; a click without drag aims the camera at the point from
// where it stands. A KelFocusPointRep marks the target and a
// Kel3DViewpointRep pictures the camera being built, both furtive Reps of the
// viewer's main 3D viewpoint, while the gesture runs.
//
// The 3D viewpoint editor drives it (its "look at" action): Preactivate,
// Activate and BeginManipulate at the press, Manipulate at each motion,
// EndManipulate and EndActivate at the release, with viewer events around
// the mouse events. The handlers answer 1; their second argument is not read.
//
// States: 0 idle, 1 preactivated, 2 pressed on a target, 3 sizing, 4 slowed
// down, 5 aiming. Holding the left button freezes the gesture; any other
// change of the buttons ends it and begins a new one.
//
// Degenerate cases leave the camera as it is: a cursor ray parallel to the
// target's plane, a zero field angle, a cursor on the line of sight (the eye
// would land on the target), a target at the eye.
#pragma once

#include <kel/framework/Kelpoint2f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/manipulators/Kel3DIndicator.h>
#include <kel/viewers/KelMouseEvent.h>

class Kel3DViewpoint;
class Kel3DViewpointRep;
class KelFocusPointRep;
class KelPickPath;
class KelViewerEvent;

class Kel3DViewpointBuilder : public Kel3DIndicator {
 public:
  Kel3DViewpointBuilder(KelCommand* father, const KelString& name, Kel3DViewpoint& viewpoint);
  // Takes the feedback Reps out of the viewer and releases them, the camera
  // and the path, whatever state the gesture ended in.
  ~Kel3DViewpointBuilder() override;

  KEL_DECLARE_META(Kel3DViewpointBuilder);

  // Radians of rotation per pixel while aiming: pi / 200.
  static float _PixelShiftToAngleShift;

  int Preactivate(KelNotification* notification, KelManipulator* other) override;
  int Move(KelNotification* notification, KelManipulator* other) override;
  int EndPreactivate(KelNotification* notification, KelManipulator* other) override;
  int BeginManipulate(KelNotification* notification, KelManipulator* other) override;
  int Manipulate(KelNotification* notification, KelManipulator* other) override;
  int EndManipulate(KelNotification* notification, KelManipulator* other) override;

  // The target under the cursor: the first hit of a Rep shown through the
  // main 3D viewpoint.
  int ChangeFocus(KelNotification* notification, void* data);
  // The eye's distance, so that the cursor's point of the target's plane
  // lies on the edge of the view.
  int ModifySize(KelNotification* notification, void* data);
  // The sight turned about the target by the motion since the last step.
  int ModifySight(KelNotification* notification, void* data);
  int DragStart(KelNotification* notification, void* data);
  int IsMoreThanParkinsonMove(KelNotification* notification, void* data);
  int IsSmallSpeedDrag(KelNotification* notification, void* data);
  int LateralMoveStart(KelNotification* notification, void* data);
  int IsLateralMove(KelNotification* notification, void* data);
  int CreateAndDisplayViewpointRep(KelNotification* notification, void* data);
  int HideAndDestroyReps(KelNotification* notification, void* data);
  // Slides the event viewer's main 3D viewpoint so that its target becomes
  // this builder's target.
  int JumpToPoint(KelNotification* notification, void* data);

  int GetState() const { return _state; }
  int IsTargetFound() const { return _targetFound; }
  const Kelpoint3f& GetTarget() const { return _target; }
  // The camera being built, null when no gesture runs.
  Kel3DViewpoint* GetCamera() const { return _camera; }
  float GetMaximumSpeed() const { return _maximumSpeed; }

 private:
  // The viewer event's viewer (remembered) and mouse event, or null.
  KelMouseEvent* MouseOf(KelNotification* notification);
  Kel3DViewpoint* Main() const;
  void DrawPath();
  void UndrawPath();
  void ShowFocusRep();
  void HideFocusRep();

  int _modifiers = 0;
  int _buttons = 0;
  int _targetFound = 0;
  Kelpoint3f _target;
  Kelpoint2f _pressPosition;
  Kel3DViewpoint* _camera = nullptr;
  KelFocusPointRep* _focusPointRep = nullptr;
  Kel3DViewpointRep* _viewpointRep = nullptr;
  KelPickPath* _focusPath = nullptr;
  int _state = 0;
  float _maximumSpeed = 0.0f;
  KelMouseEvent _history[5];
  KelMouseEvent _dragStart;
  Kelpoint2f _targetPixel;
  Kelpoint2f _lateralStart;
  Kelpoint2f _sightReference;
};

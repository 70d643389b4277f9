// The camera motions of a 3D viewpoint: turning about the target, turning the
// head, zooming, panning, rolling, flying and walking, seeking a picked point,
// stepping back, and the look-at gesture (Kel3DViewpointBuilder). The action
// table that binds them to drags is filled by KelBasic3DViewpointEditor; this
// class gives the handlers and the jumps they are made of.
//
// Rotation vectors and translations are in the camera's frame: x along its
// right direction, y along its up direction, z along minus its sight. A drag
// of 1200 pixels turns by pi; 100 pixels dragged down double the distance to
// the target in a zoom. What the handlers do beyond that is in
// docs/navigation.md.
//
// Animated motions (a flight, a walk, a side translation, a seek) advance on
// each frame the viewer reports ("VIEWER_UPDATE"), by the time elapsed between
// the frames' time stamps: their speed does not depend on the frame rate, and
// a replayed session moves the camera as the recorded one did. Without a
// viewer a seek lands at once and a flight does not move.
#pragma once

#include <kel/framework/KelUnicodeString.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/framework/Kelvector3f.h>
#include <kel/navigation/KelViewpointEditor.h>
#include <kel/viewers/KelMouseEvent.h>

class Kel3DViewpoint;
class Kel3DViewpointBuilder;
class KelCallbackManager;
class KelFocusPointRep;
class KelKeyboardEvent;
class KelMouseEvent;
class KelSightsRep;

class Kel3DViewpointEditor : public KelViewpointEditor {
 public:
  Kel3DViewpointEditor(const KelString& name, Kel3DViewpoint& viewpoint);
  Kel3DViewpointEditor(const Kel3DViewpointEditor&) = delete;
  Kel3DViewpointEditor& operator=(const Kel3DViewpointEditor&) = delete;
  ~Kel3DViewpointEditor() override;

  KEL_DECLARE_META(Kel3DViewpointEditor);

  // Turns `viewpoint` about its target by `rotation` (camera frame, radians),
  // as its gravity mode allows: freely without gravity; about its right
  // direction and about `vertical` with gravity, never past the vertical in
  // mode 1. One modification event; the target does not move.
  static void RotateAround(Kel3DViewpoint& viewpoint, const Kelvector3f& rotation,
                           const Keldirection3f& vertical);

  // Radians per pixel of a turn (pi / 1200) and the zoom's rate per pixel
  // (ln 2 / 100), set when an editor is made.
  static float GetMouseRotationCoefficient() { return _MouseRotationCoefficient; }
  static float GetZoomCoefficient() { return _ZoomCoefficient; }

  int Activate(KelNotification* notification) override;
  int EndActivate(KelNotification* notification) override;
  void SetViewer(KelViewer* viewer) override;
  // A 3D viewpoint only; any other kind is refused with a message.
  void SetViewpoint(KelViewpoint* viewpoint) override;
  virtual void SetViewpoint(Kel3DViewpoint& viewpoint);
  Kel3DViewpoint* Get3DViewpoint() const { return _viewpoint3D; }

  // `to` becomes `from` kept within this editor's constraints: with the
  // horizontal locked, its eye goes back to the locked height.
  virtual void ComputeConstrainedViewpoint(const Kel3DViewpoint& from, Kel3DViewpoint& to);
  // The target marked in the viewer while the camera turns about it.
  virtual void ShowFocusPoint();
  virtual void HideFocusPoint();
  // T moves the eye (and shortens the focus by T.z, the target staying);
  // R then turns the camera about its eye (Jump) or about its target
  // (JumpAround). With the horizontal locked the eye keeps its height.
  virtual void Jump(const Kelvector3f& translation, const Kelvector3f& rotation);
  virtual void JumpAround(const Kelvector3f& translation, const Kelvector3f& rotation);
  // The velocity from the speed, the direction state and the side speed,
  // then UpdateAnimation.
  virtual void UpdateSpeed(unsigned long time);
  // Starts the animation while something moves, stops it otherwise.
  virtual void UpdateAnimation(unsigned long time);
  // One step of the running animation at `time` (milliseconds of the frames'
  // clock): the motion since the previous step.
  virtual void ComputeNextStep(unsigned long time);
  // The side speed from the cursor's offset to the sights' centre.
  virtual void ComputeSideSpeed(const KelMouseEvent& event);

  // The handlers the action tables point at.
  virtual void StartSideTranslation(KelMouseEvent& event);
  virtual void DriveSideTranslation(KelMouseEvent& event);
  virtual void StopSideTranslation(KelMouseEvent& event);
  virtual void StartViewpointDefinition(KelMouseEvent& event);
  virtual void DriveViewpointDefinition(KelMouseEvent& event);
  virtual void StopViewpointDefinition(KelMouseEvent& event);
  virtual void StartZoomAndTurn(KelMouseEvent& event);
  virtual void DriveZoomAndTurn(KelMouseEvent& event);
  virtual void StopZoomAndTurn(KelMouseEvent& event);
  virtual void KeyZoomAndTurn(KelKeyboardEvent& event);
  virtual void StartZoom(KelMouseEvent& event);
  virtual void DriveZoom(KelMouseEvent& event);
  virtual void StopZoom(KelMouseEvent& event);
  virtual void StartTurn(KelMouseEvent& event);
  virtual void DriveTurn(KelMouseEvent& event);
  virtual void StopTurn(KelMouseEvent& event);
  virtual void StartRoll(KelMouseEvent& event);
  virtual void DriveRoll(KelMouseEvent& event);
  virtual void StopRoll(KelMouseEvent& event);
  virtual void StartTilt(KelMouseEvent& event);
  virtual void DriveTilt(KelMouseEvent& event);
  virtual void StopTilt(KelMouseEvent& event);
  virtual void StartPan(KelMouseEvent& event);
  virtual void DrivePan(KelMouseEvent& event);
  virtual void StopPan(KelMouseEvent& event);
  virtual void StartFly(KelMouseEvent& event);
  virtual void DriveFly(KelMouseEvent& event);
  virtual void KeyFly(KelKeyboardEvent& event);
  // The speed becomes a fiftieth of the model radius per second when it is
  // not set yet; the model radius is read again.
  virtual void InitializeThrust();
  // Direction >= 1 speeds up by sqrt(2) (refused beyond half the model radius
  // per second), < 0 slows down by sqrt(2); the new speed is shown.
  virtual void ChangeThrust(int direction, unsigned long time);
  virtual void StopFly(KelMouseEvent& event);
  // The fly velocity follows the sight.
  virtual void ComputeDirection();

  // Walking keeps the horizon: gravity pulls along minus the current up
  // direction and the eye keeps its height until UnlockHorizontal.
  void LockHorizontal();
  void UnlockHorizontal();
  int IsHorizontalLocked() const { return _horizontalLocked; }
  // Forward and side velocities, model units per second.
  void GetSpeeds(Kelvector3f& forward, Kelvector3f& side) const;
  // The target goes to the nearest Rep on the line of sight, the camera
  // staying; nothing without a viewer or when nothing lies there.
  void SetTargetOnFrontObject();
  // Aims the camera at the point picked under `event` and moves the eye
  // `ratio` of the way to it (0 aims only), animated. Answers 1 when a point
  // was picked.
  int SetTargetOnPickedObject(KelMouseEvent& event, float ratio);
  // Moves the eye back along the sight by `part` of the distance to the
  // target (1.0 doubles it); the target stays.
  void JumpBackwardOf(float part);
  // Multiplies the tangent of the half field angle by `factor`, within the
  // editor's angle bounds; the eye stays.
  void ChangeAngleOf(float factor);
  // Reverses the flight.
  void InverseSpeed(unsigned long time);
  float GetFlySpeed() const { return _flySpeed; }
  int GetFlyDirection() const { return _flyDirection; }
  float GetModelSize() const { return _modelSize; }
  int IsAnimated() const { return _animated; }

  // "VIEWER_UPDATE": the next step of the animation.
  void FrameDrawn(const char* name, KelCallbackManager* publisher, KelNotification* notification,
                  void* data, long callback);

 protected:
  // The bounds of the half field angle, in degrees.
  virtual void GetAngleBounds(float& minimum, float& maximum) const;
  // The viewer's vertical when it is a 3D viewer, else the camera's gravity
  // direction.
  Keldirection3f GetVertical() const;
  // Remembers the event's position for the next drive.
  void Remember(const KelMouseEvent& event);
  // Takes the camera to that eye, sight, up, focus and half angle (degrees)
  // over a short animation, at once without a viewer.
  void AnimateTo(const Kelpoint3f& eye, const Keldirection3f& sight, const Keldirection3f& up,
                 float focus, float angle);
  // The model point under window pixel (x, y) on a Rep of the main 3D
  // viewpoint; 0 when there is none (or no viewer).
  int PickPoint(float x, float y, Kelpoint3f& point) const;
  // SetTargetOnPickedObject, the tangent of the half field angle also
  // multiplied by `tangentFactor`.
  int SeekPoint(KelMouseEvent& event, float ratio, float tangentFactor);
  // The half field angle (degrees) after multiplying its tangent by
  // `factor`, within the bounds.
  float AngleAfter(float factor) const;
  // The model radius, or 1 for an empty or flat scene.
  float ModelUnit() const;
  void StopAnimation();
  void ClearSights();

  static float _MouseRotationCoefficient;
  static float _ZoomCoefficient;

  Kel3DViewpoint* _viewpoint3D;
  float _lastX = 0.0f;
  float _lastY = 0.0f;
  Kelvector3f _forwardSpeed;
  Kelvector3f _sideSpeed;
  int _flyDirection = 0;
  float _flySpeed = 0.0f;
  float _modelSize = 0.0f;
  int _horizontalLocked = 0;
  Keldirection3f _savedUp;
  Kelpoint3f _savedOrigin;
  Keldirection3f _savedGravity;

 private:
  void HeightCorrection();
  void Translate(const Kelvector3f& translation, const Kel3DViewpoint& frame);

  // The running animation: a flight (velocity) and/or a seek (goal).
  int _animated = 0;
  int _stepTimeKnown = 0;
  unsigned long _stepTime = 0;
  long _frameCallback = 0;
  KelCallbackManager* _frameSource = nullptr;
  struct Pose {
    Kelpoint3f eye;
    Keldirection3f sight;
    Keldirection3f up;
    float focus;
    float angle;
    float tangent;
  };
  int _seeking = 0;
  float _seekElapsed = 0.0f;
  Pose _seekStart{};
  Pose _seekGoal{};
  // Side translation.
  KelSightsRep* _sights = nullptr;
  float _sightsX = 0.0f;
  float _sightsY = 0.0f;
  // The marked target and the look-at gesture.
  KelFocusPointRep* _focusPoint = nullptr;
  Kel3DViewpointBuilder* _builder = nullptr;
};

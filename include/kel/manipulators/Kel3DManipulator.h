// Drags 3D Reps with the mouse. Each motion of a drag becomes a step
// transformation M, worked out in model coordinates from the cursor ray and
// the dragged point (the picked point, carried along by every step); the
// object position becomes position x M and is sent with KelManipulate, as the
// matrix of a Kel3DPositionEvent whose basic event is the viewer event. The
// father reads it from the event, or asks for "Kel4x4Matrix", or takes the
// step as a rigid motion from GetLastTransformation(). The manipulator moves
// no Rep itself: the father applies the matrix.
//
// The primary style runs while the first modifier (Shift) is up, the
// alternate one while it is held; pressing or releasing it during a drag
// switches at the next motion.
//
// Steps the geometry cannot give (the cursor ray parallel to the plane or the
// axis, the dragged point on the rotation axis or at the rotation centre, the
// cursor over the pivot) are refused: the handler answers 0, nothing moves and
// nothing is sent. Events other than mouse events start no drag (BeginManipulate
// answers 1 and sends nothing) and move nothing (Manipulate answers 0).
//
// Rotations turn by the angle between the dragged point and the cursor's
// point as seen from the axis or the centre, so that the dragged point stays
// under the cursor however far one motion goes. The last transformation is
// always the step itself; for rotations its axis is oriented to agree with
// the reference direction, so that its angle is signed about that direction.
#pragma once

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMathTransformation.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/manipulators/KelManipulationStyle.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/viewers/Kel3DPositionEvent.h>

class Kel3DRep;
class Kel3DViewpoint;
class KelDeviceEvent;
class KelViewpoint;

class Kel3DManipulator : public KelManipulator {
 public:
  Kel3DManipulator(KelCommand* father, Kel3DRep* rep, KelManipulationStyle primary,
                   KelManipulationStyle alternate);
  Kel3DManipulator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                   KelManipulationStyle primary, KelManipulationStyle alternate);
  ~Kel3DManipulator() override;

  KEL_DECLARE_META(Kel3DManipulator);

  // "Kel4x4Matrix" about a notification caused by the position event: a copy
  // of its matrix, valid until the next such query. Other questions about it
  // are those of its viewer event.
  void* SendCommandSpecificObject(const char* className, KelNotification* notification) override;
  int BeginManipulate(KelNotification* notification, KelManipulator* other) override;
  int Manipulate(KelNotification* notification, KelManipulator* other) override;
  void DereferenceViewer(KelViewer* viewer) override;

  // A point: the reference point (axis point or rotation centre). A
  // direction: the reference direction. Two directions: the first and second
  // axes, and the plane normal first x second.
  virtual void SetReferenceAxis(const Kelpoint3f& point);
  virtual void SetReferenceAxis(const Keldirection3f& direction);
  virtual void SetReferenceAxis(const Keldirection3f& direction, const Kelpoint3f& point);
  virtual void SetReferenceAxis(const Keldirection3f& first, const Keldirection3f& second);
  virtual void SetReferenceAxis(const Keldirection3f& first, const Keldirection3f& second,
                                const Kelpoint3f& point);
  // The position the next steps apply to; it persists across drags.
  virtual void SetObjectPosition(const Kel4x4Matrix& matrix);
  const Kel4x4Matrix& GetObjectPosition() const { return _positionEvent.GetMatrix(); }

  // The last step (the identity before the first one).
  const KelMathTransformation& GetLastTransformation() const { return _lastTransformation; }

  // Where the cursor ray of `event` meets the plane through `point` normal to
  // `normal`; 0 when it runs parallel to it or there is no drag viewpoint.
  int GetPlaneIntersection(KelDeviceEvent* event, Keldirection3f& normal, Kelpoint3f& point,
                           Kelpoint3f& result);
  // The point of the line through `point` along `direction` nearest to the
  // cursor ray; 0 when they are parallel or there is no drag viewpoint.
  int GetLineIntersection(KelDeviceEvent* event, Keldirection3f& direction, Kelpoint3f& point,
                          Kelpoint3f& result);
  // Where the cursor ray meets the sphere, on the near side for `side` -1 and
  // the far side for +1. A ray passing outside gives a point of the sphere
  // turned from the nearest one the further the ray passes. 0 without a drag
  // viewpoint or for a null radius.
  int GetSphereIntersection(KelDeviceEvent* event, const Kelpoint3f& centre, const float radius,
                            int& side, Kelpoint3f& result);
  // Chooses the plane (styles 2, 3, 6) or the sphere side (style 5) of a style.
  void ConnectReferencesAxis(KelManipulationStyle style);
  // One step of `style` for the mouse position of `event`; answers the base
  // Manipulate's answer, or 0 when the step is refused.
  int MouseManipulate(KelDeviceEvent* event, KelManipulationStyle style);

  KelManipulationStyle GetPrimaryStyle() const { return _primaryStyle; }
  KelManipulationStyle GetAlternateStyle() const { return _alternateStyle; }
  KelManipulationStyle GetCurrentStyle() const { return _currentStyle; }
  const Keldirection3f& GetFirstAxis() const { return _firstAxis; }
  const Keldirection3f& GetSecondAxis() const { return _secondAxis; }
  const Keldirection3f& GetPlaneNormal() const { return _planeNormal; }
  const Keldirection3f& GetReferenceDirection() const { return _referenceDirection; }
  const Kelpoint3f& GetReferencePoint() const { return _referencePoint; }
  int GetSphereSide() const { return _sphereSide; }
  const Kelpoint3f& GetDraggedPoint() const { return _draggedPoint; }
  // The current plane's axes and normal.
  const Keldirection3f& GetPlaneFirstAxis() const { return *_planeFirst; }
  const Keldirection3f& GetPlaneSecondAxis() const { return *_planeSecond; }
  const Keldirection3f& GetCurrentPlaneNormal() const { return *_planeNormalUsed; }

 protected:
  // Plane translators given only a normal take these axes for it.
  void SetPlaneNormal(const Keldirection3f& normal);

 private:
  void Init(KelManipulationStyle primary, KelManipulationStyle alternate);
  KelManipulationStyle StyleFor(int modifiers) const;
  // The cursor ray of `event` in the drag viewpoint: 0 without one.
  int Ray(KelDeviceEvent* event, Kelpoint3f& origin, Keldirection3f& direction) const;
  Kel3DViewpoint* DragViewpoint() const;

  KelManipulationStyle _primaryStyle = KelNoManipulation;
  KelManipulationStyle _alternateStyle = KelNoManipulation;
  Keldirection3f _firstAxis{1.0f, 0.0f, 0.0f};
  Keldirection3f _secondAxis{0.0f, 1.0f, 0.0f};
  Keldirection3f _planeNormal{0.0f, 0.0f, 1.0f};
  Keldirection3f _referenceDirection{0.0f, 0.0f, 1.0f};
  Kelpoint3f _referencePoint;
  int _sphereSide = 1;
  const Keldirection3f* _planeFirst = &_firstAxis;
  const Keldirection3f* _planeSecond = &_secondAxis;
  const Keldirection3f* _planeNormalUsed = &_planeNormal;
  KelManipulationStyle _currentStyle = KelNoManipulation;
  int _modifiers = 0;
  Kel3DPositionEvent _positionEvent;
  Kelpoint3f _draggedPoint;
  KelViewer* _dragViewer = nullptr;
  KelViewpoint* _dragViewpoint = nullptr;
  Kel4x4Matrix _matrixAnswer;
  KelMathTransformation _lastTransformation;
};

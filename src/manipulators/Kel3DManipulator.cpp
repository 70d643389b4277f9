#include <kel/controller/KelVueNotification.h>
#include <kel/framework/KelMath.h>
#include <kel/framework/KelMathFunctions.h>
#include <kel/framework/KelMathLine.h>
#include <kel/manipulators/Kel3DManipulator.h>
#include <kel/picking/KelPickPath.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>

#include "KelManipulatorEvents.h"

KEL_IMPLEMENT_META(Kel3DManipulator, KelManipulator)

namespace {
using kelmanip::ToMatrix;
const double ZERO = KelMath::ZERO_MACHINE;

KelMathVector V(const Keldirection3f& d) {
  return {d.x, d.y, d.z};
}

// The rotation by `angle` radians, by the right hand about the line through
// `centre` along `axis`, the line oriented to agree with `reference`.
KelMathTransformation Rotation(const KelMathPoint& centre, KelMathVector axis, double angle,
                               const KelMathVector& reference) {
  if (axis * reference < 0.0) {
    axis = -axis;
    angle = -angle;
  }
  return KelMathTransformation(KelMathLine(centre, axis), angle / KelMath::DEGRERADIANS);
}
}  // namespace

Kel3DManipulator::Kel3DManipulator(KelCommand* father, Kel3DRep* rep, KelManipulationStyle primary,
                                   KelManipulationStyle alternate)
    : KelManipulator(father, rep) {
  Init(primary, alternate);
}

Kel3DManipulator::Kel3DManipulator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                                   KelManipulationStyle primary, KelManipulationStyle alternate)
    : KelManipulator(father, name, rep) {
  Init(primary, alternate);
}

Kel3DManipulator::~Kel3DManipulator() = default;

void Kel3DManipulator::Init(KelManipulationStyle primary, KelManipulationStyle alternate) {
  _primaryStyle = primary;
  _alternateStyle = alternate;
  _currentStyle = primary;
}

// ---- Reference axes.

void Kel3DManipulator::SetReferenceAxis(const Kelpoint3f& point) {
  _referencePoint = point;
}

void Kel3DManipulator::SetReferenceAxis(const Keldirection3f& direction) {
  _referenceDirection = direction;
}

void Kel3DManipulator::SetReferenceAxis(const Keldirection3f& direction, const Kelpoint3f& point) {
  _referenceDirection = direction;
  _referencePoint = point;
}

void Kel3DManipulator::SetReferenceAxis(const Keldirection3f& first, const Keldirection3f& second) {
  _firstAxis = first;
  _secondAxis = second;
  _planeNormal = Keldirection3f(first.AsVector() ^ second.AsVector());
}

void Kel3DManipulator::SetReferenceAxis(const Keldirection3f& first, const Keldirection3f& second,
                                        const Kelpoint3f& point) {
  SetReferenceAxis(first, second);
  _referencePoint = point;
}

void Kel3DManipulator::SetPlaneNormal(const Keldirection3f& normal) {
  // The plane's own axes: the last transformation is read along them.
  _planeNormal = normal;
  KelPlaneAxes(normal, _firstAxis, _secondAxis);
}

void Kel3DManipulator::SetObjectPosition(const Kel4x4Matrix& matrix) {
  _positionEvent.SetMatrix(matrix);
}

void Kel3DManipulator::DereferenceViewer(KelViewer* viewer) {
  if (viewer && viewer == _dragViewer) {
    _dragViewer = nullptr;
    _dragViewpoint = nullptr;
  }
  KelManipulator::DereferenceViewer(viewer);
}

// ---- The drag.

KelManipulationStyle Kel3DManipulator::StyleFor(int modifiers) const {
  return (modifiers & 1) ? _alternateStyle : _primaryStyle;
}

Kel3DViewpoint* Kel3DManipulator::DragViewpoint() const {
  return _dragViewpoint && _dragViewpoint->IsAKindOf("Kel3DViewpoint")
             ? static_cast<Kel3DViewpoint*>(_dragViewpoint)
             : nullptr;
}

int Kel3DManipulator::BeginManipulate(KelNotification* notification, KelManipulator* other) {
  KelViewerEvent* event = kelmanip::ViewerEvent(notification);
  if (event) _dragViewer = event->GetViewer();
  if (!kelmanip::MouseViewerEvent(notification)) return 1;
  // A refused drag, or one with nothing picked, leaves everything as it was.
  KelPickPath* path = event->GetPickPath();
  if (_interactiveState != 2 || !path || path->Size() == 0) return 0;
  _dragViewpoint = path->GetViewpoint();
  _draggedPoint = path->GetGlobalIntersection();
  _modifiers = event->GetDeviceEvent()->GetModifiers();
  _currentStyle = StyleFor(_modifiers);
  ConnectReferencesAxis(_currentStyle);
  return KelManipulator::BeginManipulate(notification, other);
}

int Kel3DManipulator::Manipulate(KelNotification* notification, KelManipulator*) {
  KelViewerEvent* event = kelmanip::ViewerEvent(notification);
  if (event) {
    _positionEvent.SetBasicEvent(event);
    _positionEvent.SetTimeStamp(event->GetTimeStamp());
  }
  if (!kelmanip::MouseViewerEvent(notification) || _interactiveState != 3) return 0;
  KelDeviceEvent* device = event->GetDeviceEvent();
  if (device->GetModifiers() != _modifiers) {
    _modifiers = device->GetModifiers();
    _currentStyle = StyleFor(_modifiers);
    ConnectReferencesAxis(_currentStyle);
  }
  return MouseManipulate(device, _currentStyle);
}

void Kel3DManipulator::ConnectReferencesAxis(KelManipulationStyle style) {
  Kel3DViewpoint* viewpoint = DragViewpoint();
  switch (style) {
    case KelPlaneTranslation:
    case KelPivotRotation:
      _planeFirst = &_firstAxis;
      _planeSecond = &_secondAxis;
      _planeNormalUsed = &_planeNormal;
      break;
    case KelFreeRotation:
      // The side of the sphere facing the viewer when the dragged point lies
      // on it (the sign needs no unit vector: a point at the centre is no error).
      if (viewpoint)
        _sphereSide = V(viewpoint->GetSightDirection()) *
                                  (KelMathPoint(_draggedPoint) - KelMathPoint(_referencePoint)) >
                              0.0
                          ? 1
                          : -1;
      break;
    case KelFacingPlaneTranslation: {
      if (!viewpoint) break;
      KelMathVector s = KelMathPoint(_draggedPoint) - KelMathPoint(viewpoint->GetOrigin());
      if (s.Norm() <= ZERO) s = V(viewpoint->GetSightDirection());
      // The plane kept is the one whose normal lies nearest the line of sight.
      if ((s ^ V(_firstAxis)).Norm() >= (s ^ V(_secondAxis)).Norm()) {
        _planeNormalUsed = &_secondAxis;
        _planeFirst = &_firstAxis;
      } else {
        _planeNormalUsed = &_firstAxis;
        _planeFirst = &_secondAxis;
      }
      _planeSecond = &_planeNormal;
      break;
    }
    default:
      break;
  }
}

// ---- The cursor ray and what it meets.

int Kel3DManipulator::Ray(KelDeviceEvent* event, Kelpoint3f& origin,
                          Keldirection3f& direction) const {
  if (!_dragViewer || !_dragViewpoint || !kelmanip::IsMouse(event)) return 0;
  Kelpoint3f far;
  _dragViewer->ComputeModelFromDeviceEvent(origin, far, *_dragViewpoint, *event);
  direction = Keldirection3f(far - origin);
  return 1;
}

int Kel3DManipulator::GetPlaneIntersection(KelDeviceEvent* event, Keldirection3f& normal,
                                           Kelpoint3f& point, Kelpoint3f& result) {
  Kelpoint3f A;
  Keldirection3f d;
  if (!Ray(event, A, d)) return 0;
  return KelInterPlnLn(A, d, point, normal, result);
}

int Kel3DManipulator::GetLineIntersection(KelDeviceEvent* event, Keldirection3f& direction,
                                          Kelpoint3f& point, Kelpoint3f& result) {
  Kelpoint3f A, onRay;
  Keldirection3f d;
  if (!Ray(event, A, d)) return 0;
  // Along the line of sight every point of the line is as near as any other.
  if ((V(d) ^ V(direction)).SquareNorm() <= ZERO) return 0;
  KelDistLnLn(point, direction, A, d, result, onRay);
  return 1;
}

int Kel3DManipulator::GetSphereIntersection(KelDeviceEvent* event, const Kelpoint3f& centre,
                                            const float radius, int& side, Kelpoint3f& result) {
  Kelpoint3f A;
  Keldirection3f dir;
  if (!(radius > ZERO) || !Ray(event, A, dir)) return 0;
  const KelMathPoint c(centre), a(A);
  const KelMathVector d = V(dir), o = a - c;
  const double r = radius;
  const double b = 2.0 * (d * o);
  const double disc = b * b - 4.0 * (o.SquareNorm() - r * r);
  const double t = disc <= 0.0 ? -b / 2.0 : (-b + side * std::sqrt(disc)) / 2.0;
  const KelMathPoint p = a + d * t;
  if (disc >= 0.0) {
    result = p.ToPoint3f();
    return 1;
  }
  // Outside the sphere the point keeps turning past the rim, away from the
  // viewer, the further the ray passes from it.
  const KelMathVector pc = p - c;
  const double distance = pc.Norm();
  const KelMathVector u = pc / distance;
  double e = (distance - r) / r;
  if (side == -1) e = -e;
  result = (c + (u * std::cos(e) - d * std::sin(e)) * r).ToPoint3f();
  return 1;
}

// ---- One step.

int Kel3DManipulator::MouseManipulate(KelDeviceEvent* event, KelManipulationStyle style) {
  const KelMathPoint P(_draggedPoint);
  const KelMathPoint C(_referencePoint);
  const KelMathVector r = V(_referenceDirection);
  KelMathTransformation step;
  KelMathTransformation last;
  Kelpoint3f q;
  switch (style) {
    case KelAxisTranslation: {
      if (!GetLineIntersection(event, _referenceDirection, _draggedPoint, q)) return 0;
      const KelMathVector move = KelMathPoint(q) - P;
      step = KelMathTransformation(move);
      last = KelMathTransformation(r * (move * r));
      break;
    }
    case KelPlaneTranslation:
    case KelFacingPlaneTranslation: {
      Keldirection3f normal = *_planeNormalUsed;
      if (!GetPlaneIntersection(event, normal, _draggedPoint, q)) return 0;
      const KelMathVector move = KelMathPoint(q) - P;
      const KelMathVector a = V(*_planeFirst), b = V(*_planeSecond);
      step = KelMathTransformation(move);
      last = KelMathTransformation(a * (move * a) + b * (move * b));
      break;
    }
    case KelAxisRotation: {
      Keldirection3f axis = _referenceDirection;
      if (!GetPlaneIntersection(event, axis, _draggedPoint, q)) return 0;
      const KelMathLine line(C, r);
      const KelMathPoint Q(q);
      const KelMathPoint F = line.Project(Q);
      const KelMathVector from = P - F, to = Q - F;
      // On the axis the angle is undefined.
      if (from.Norm() <= ZERO || to.Norm() <= ZERO) return 0;
      const KelMathVector w = from ^ to;
      step = last = Rotation(C, w.Norm() > ZERO ? w : r, std::atan2(w.Norm(), from * to), r);
      break;
    }
    case KelPivotRotation: {
      Keldirection3f normal = *_planeNormalUsed;
      if (!GetPlaneIntersection(event, normal, _draggedPoint, q)) return 0;
      const KelMathVector n = V(*_planeNormalUsed);
      const KelMathPoint Q(q);
      const KelMathPoint F = KelMathLine(C, n).Project(Q);
      const KelMathVector a = P - F, b = Q - F;
      // Over the pivot there is no direction to turn to.
      if (a.Norm() <= ZERO || b.Norm() <= ZERO) return 0;
      const double moved = (Q - P).Norm();
      if (moved > ZERO) {
        // A short lever turns the object less: it mostly follows the cursor.
        const double k = a.Norm() / moved;
        const KelMathVector w = (a / a.Norm()) ^ (b / b.Norm());
        const double angle = w.Norm() * (k > 6.0 ? 1.0 : k * k / 36.0);
        if (w.Norm() > ZERO) step = Rotation(F, w, angle, n);
        step *= KelMathTransformation(b - step.Apply(a));
      }
      // The pivot moves with the object.
      _referencePoint = step.Apply(C).ToPoint3f();
      last = _lastTransformation;
      break;
    }
    case KelFreeRotation: {
      const KelMathVector a = P - C;
      if (a.Norm() <= ZERO) return 0;
      int side = _sphereSide;
      if (!GetSphereIntersection(event, _referencePoint, static_cast<float>(a.Norm()), side, q))
        return 0;
      const KelMathVector b = KelMathPoint(q) - C;
      if (b.Norm() <= ZERO) return 0;
      const KelMathVector ua = a / a.Norm(), ub = b / b.Norm();
      const KelMathVector c = ua ^ ub;
      // No motion, or straight across: no axis to turn about.
      if (c.Norm() > ZERO) step = Rotation(C, c, std::atan2(c.Norm(), ua * ub), r);
      last = step;
      break;
    }
    default:
      break;
  }
  _lastTransformation = last;
  const Kel4x4Matrix M = ToMatrix(step);
  _positionEvent.SetMatrix(_positionEvent.GetMatrix() * M);
  _draggedPoint = M * _draggedPoint;
  return KelManipulator::Manipulate(&_positionEvent, nullptr);
}

// ---- Queries.

void* Kel3DManipulator::SendCommandSpecificObject(const char* className,
                                                  KelNotification* notification) {
  return kelmanip::AnswerPositionQuery<Kel3DPositionEvent>(*this, "Kel3DPositionEvent", className,
                                                           notification, _matrixAnswer);
}

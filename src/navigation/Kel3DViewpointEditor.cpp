#include <kel/navigation/Kel3DViewpointEditor.h>

#include <kel/aids/KelFocusPointRep.h>
#include <kel/aids/KelSightsRep.h>
#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelMath.h>
#include <kel/framework/KelMathFunctions.h>
#include <kel/framework/Kelpoint2d.h>
#include <kel/navigation/Kel3DViewpointBuilder.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/viewers/GetTimeInMilliseconds.h>
#include <kel/viewers/Kel3DViewer.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewerEvent.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

KEL_IMPLEMENT_META(Kel3DViewpointEditor, KelViewpointEditor)

float Kel3DViewpointEditor::_MouseRotationCoefficient = 0.0f;
float Kel3DViewpointEditor::_ZoomCoefficient = 0.0f;

namespace {

const double kPi = KelMath::PI;
// A seek or a step back lasts this long, whatever the frame rate.
const float kSeekSeconds = 0.5f;
// A frame late by more than this moves the camera by this much only, so
// that a stalled redraw does not throw it far.
const float kLongestStep = 0.25f;
// Sights of the side translation: the half size is also the dead zone.
const int kSightsHalfSize = 10;
const int kSightsLength = 6;
// Pixels of offset from the sights that give the fly speed sideways.
const float kSidePixelsPerSpeed = 50.0f;
// Arrow-key turn when the class-wide turn angle is not set.
const float kKeyTurn = static_cast<float>(kPi / 36.0);
const float kSqrt2 = 1.41421356237f;

Kelvector3f Lerp(const Kelvector3f& a, const Kelvector3f& b, float t) {
  return a + (b - a) * t;
}

}  // namespace

Kel3DViewpointEditor::Kel3DViewpointEditor(const KelString& name, Kel3DViewpoint& viewpoint)
    : KelViewpointEditor(name, &viewpoint), _viewpoint3D(&viewpoint) {
  _MouseRotationCoefficient = static_cast<float>(kPi / 1200.0);
  _ZoomCoefficient = static_cast<float>(std::log(2.0) / 100.0);
  _modelSize = viewpoint.GetBoundingSphere().GetRadius();
}

Kel3DViewpointEditor::~Kel3DViewpointEditor() {
  StopAnimation();
  delete _builder;
  ClearSights();
  HideFocusPoint();
}

// ---- Rotation about the target

namespace {

// The cameras RotateAround turned last, as it left them, with their targets
// in double precision. Turning one again starts from that target rather than
// from its float eye, so rounding cannot walk the target away over a long
// drag.
struct Pivot {
  const Kel3DViewpoint* viewpoint = nullptr;
  Kelpoint3f origin;
  Keldirection3f sight;
  float focus = 0.0f;
  double target[3] = {0.0, 0.0, 0.0};
};
const int kPivots = 4;
Pivot pivots[kPivots];
int nextPivot = 0;

}  // namespace

void Kel3DViewpointEditor::RotateAround(Kel3DViewpoint& viewpoint, const Kelvector3f& rotation,
                                        const Keldirection3f& vertical) {
  const Kel4x4Matrix frame = viewpoint.GetMatrix();
  viewpoint.BeginModification();
  const int mode = viewpoint.GetGravityMode();
  if (rotation.Norm() > KelMath::ZERO_MACHINE && mode >= 0 && mode <= 2) {
    const Kelpoint3f origin = viewpoint.GetOrigin();
    const Keldirection3f sight = viewpoint.GetSightDirection();
    const Keldirection3f up = viewpoint.GetUpDirection();
    const float focus = viewpoint.GetFocusDistance();
    double target[3];
    Pivot* pivot = nullptr;
    for (Pivot& p : pivots)
      if (p.viewpoint == &viewpoint) pivot = &p;
    const bool same =
        pivot && pivot->origin == origin && pivot->sight == sight && pivot->focus == focus;
    for (int k = 0; k < 3; ++k)
      target[k] = same ? pivot->target[k] : double(origin[k]) + double(focus) * double(sight[k]);
    const Kelpoint3f centre(static_cast<float>(target[0]), static_cast<float>(target[1]),
                            static_cast<float>(target[2]));
    Kel4x4Matrix M;
    if (mode == GRAVITY_OFF) {
      M = Kel4x4Matrix(frame * rotation, centre);
    } else {
      const Keldirection3f right = viewpoint.GetRightDirection();
      const double a = Value_angle(up, vertical, right);
      double p = rotation.x;
      double k = 1.0;
      if (mode == GRAVITY_PROPORTIONAL) {
        double f = a + rotation.x;
        if (f < 0.0) f += 2.0 * kPi;
        if (f > 2.0 * kPi) f -= 2.0 * kPi;
        if (f > kPi / 2.0 && f <= kPi)
          p = kPi / 2.0 - a;
        else if (f > kPi && f <= 3.0 * kPi / 2.0)
          p = 3.0 * kPi / 2.0 - a;
        else
          p = f - a;
      } else {
        k = vertical * up > 0.0f ? 1.0 : -1.0;
      }
      const Kelvector3f pitch =
          Keldirection3f(sight.AsVector() ^ up.AsVector()).AsVector() * static_cast<float>(p);
      const Kelvector3f yaw = vertical.AsVector() * static_cast<float>(rotation.y * k);
      M = Kel4x4Matrix(pitch, centre) * Kel4x4Matrix(yaw, centre);
    }
    const Keldirection3f newSight = M * sight;
    const Keldirection3f newUp = M * up;
    // The eye is put back at the focus distance from the target rather than
    // turned itself, which keeps the target where it was.
    Kelpoint3f eye;
    for (int k = 0; k < 3; ++k)
      eye[k] = static_cast<float>(target[k] - double(focus) * double(newSight[k]));
    viewpoint.Set(eye, newSight, newUp);
    if (mode != GRAVITY_OFF) viewpoint.SetVertical(vertical);
    if (!pivot) {
      pivot = &pivots[nextPivot];
      nextPivot = (nextPivot + 1) % kPivots;
    }
    pivot->viewpoint = &viewpoint;
    pivot->origin = viewpoint.GetOrigin();
    pivot->sight = viewpoint.GetSightDirection();
    pivot->focus = viewpoint.GetFocusDistance();
    for (int k = 0; k < 3; ++k) pivot->target[k] = target[k];
  }
  viewpoint.EndModification();
}

// ---- Installation

int Kel3DViewpointEditor::Activate(KelNotification*) {
  return 1;
}

int Kel3DViewpointEditor::EndActivate(KelNotification*) {
  // A drag cut short leaves nothing behind in the viewer.
  StopAnimation();
  delete _builder;
  _builder = nullptr;
  ClearSights();
  HideFocusPoint();
  _actionState = 0;
  return 1;
}

void Kel3DViewpointEditor::SetViewer(KelViewer* viewer) {
  if (viewer != _viewer) {
    // The animation, the sights and the marked target belong to the old one.
    StopAnimation();
    ClearSights();
    HideFocusPoint();
  }
  KelViewpointEditor::SetViewer(viewer);
}

void Kel3DViewpointEditor::SetViewpoint(KelViewpoint* viewpoint) {
  if (!viewpoint || !viewpoint->IsAKindOf("Kel3DViewpoint")) {
    std::fprintf(stderr, "Kel3DViewpointEditor::SetViewpoint: Invalid function parameters.\n");
    return;
  }
  SetViewpoint(*static_cast<Kel3DViewpoint*>(viewpoint));
}

void Kel3DViewpointEditor::SetViewpoint(Kel3DViewpoint& viewpoint) {
  StopAnimation();
  HideFocusPoint();
  KelViewpointEditor::SetViewpoint(&viewpoint);
  _viewpoint3D = &viewpoint;
  _modelSize = viewpoint.GetBoundingSphere().GetRadius();
}

Keldirection3f Kel3DViewpointEditor::GetVertical() const {
  if (_viewer && _viewer->IsAKindOf("Kel3DViewer"))
    return static_cast<Kel3DViewer*>(_viewer)->GetVertical();
  return _viewpoint3D->GetGravityDirection();
}

void Kel3DViewpointEditor::Remember(const KelMouseEvent& event) {
  _lastX = event.GetPosition().x;
  _lastY = event.GetPosition().y;
}

float Kel3DViewpointEditor::ModelUnit() const {
  return _modelSize > 0.0f ? _modelSize : 1.0f;
}

void Kel3DViewpointEditor::GetAngleBounds(float& minimum, float& maximum) const {
  minimum = 0.5f;
  maximum = 80.0f;
}

// ---- Jumps

void Kel3DViewpointEditor::Translate(const Kelvector3f& translation, const Kel3DViewpoint& frame) {
  if (translation.Norm() == 0.0f) return;
  const Kel4x4Matrix F = frame.GetMatrix();
  _viewpoint3D->SetOrigin(_viewpoint3D->GetOrigin() + F * translation);
  _viewpoint3D->SetFocus(_viewpoint3D->GetFocusDistance() + translation.z);
}

void Kel3DViewpointEditor::HeightCorrection() {
  if (!_horizontalLocked) return;
  const Kelpoint3f origin = _viewpoint3D->GetOrigin();
  const Kelvector3f U = _savedUp.AsVector();
  const float height = U * (_savedOrigin - origin);
  if (height != 0.0f) _viewpoint3D->SetOrigin(origin + U * height);
}

void Kel3DViewpointEditor::JumpAround(const Kelvector3f& translation, const Kelvector3f& rotation) {
  Kel3DViewpoint& v = *_viewpoint3D;
  v.BeginModification();
  Translate(translation, v);
  RotateAround(v, rotation, GetVertical());
  HeightCorrection();
  v.EndModification();
}

void Kel3DViewpointEditor::Jump(const Kelvector3f& translation, const Kelvector3f& rotation) {
  Kel3DViewpoint& v = *_viewpoint3D;
  v.BeginModification();
  Translate(translation, v);
  v.Rotate(rotation, v.GetOrigin());
  HeightCorrection();
  v.EndModification();
}

void Kel3DViewpointEditor::ComputeConstrainedViewpoint(const Kel3DViewpoint& from,
                                                       Kel3DViewpoint& to) {
  to = from;
  if (!_horizontalLocked) return;
  const Kelvector3f U = _savedUp.AsVector();
  const Kelpoint3f origin = to.GetOrigin();
  to.SetOrigin(origin + U * (U * (_savedOrigin - origin)));
}

// ---- Horizontal lock

void Kel3DViewpointEditor::LockHorizontal() {
  _horizontalLocked = 1;
  _savedUp = _viewpoint3D->GetUpDirection();
  _savedOrigin = _viewpoint3D->GetOrigin();
  _savedGravity = _viewpoint3D->GetGravityDirection();
  _viewpoint3D->SetGravityDirection(-_savedUp);
}

void Kel3DViewpointEditor::UnlockHorizontal() {
  if (!_horizontalLocked) return;
  _horizontalLocked = 0;
  _viewpoint3D->SetGravityDirection(_savedGravity);
}

// ---- Turn, tilt, zoom, roll, pan

void Kel3DViewpointEditor::StartTurn(KelMouseEvent& event) {
  if (_viewer) _viewer->SetManipulatingCursor(50);
  Remember(event);
  ShowFocusPoint();
}

void Kel3DViewpointEditor::DriveTurn(KelMouseEvent& event) {
  const float c = _MouseRotationCoefficient;
  const float dx = event.GetPosition().x - _lastX;
  float dy = event.GetPosition().y - _lastY;
  if (_horizontalLocked) dy = 0.0f;
  Remember(event);
  JumpAround(Kelvector3f(), Kelvector3f(c * dy, c * dx, 0.0f));
}

void Kel3DViewpointEditor::StopTurn(KelMouseEvent&) {
  HideFocusPoint();
}

void Kel3DViewpointEditor::StartTilt(KelMouseEvent& event) {
  if (_viewer) _viewer->SetManipulatingCursor(32);
  Remember(event);
}

void Kel3DViewpointEditor::DriveTilt(KelMouseEvent& event) {
  const float c = _MouseRotationCoefficient;
  const float dx = event.GetPosition().x - _lastX;
  const float dy = event.GetPosition().y - _lastY;
  Remember(event);
  Jump(Kelvector3f(), Kelvector3f(c * dy, c * dx, 0.0f));
}

void Kel3DViewpointEditor::StopTilt(KelMouseEvent&) {}

void Kel3DViewpointEditor::StartZoom(KelMouseEvent& event) {
  Remember(event);
}

void Kel3DViewpointEditor::DriveZoom(KelMouseEvent& event) {
  const float dy = event.GetPosition().y - _lastY;
  Remember(event);
  const float f = _viewpoint3D->GetFocusDistance();
  JumpAround(Kelvector3f(0.0f, 0.0f, f * (std::exp(_ZoomCoefficient * dy) - 1.0f)), Kelvector3f());
}

void Kel3DViewpointEditor::StopZoom(KelMouseEvent&) {}

void Kel3DViewpointEditor::StartZoomAndTurn(KelMouseEvent& event) {
  Remember(event);
  ShowFocusPoint();
}

void Kel3DViewpointEditor::DriveZoomAndTurn(KelMouseEvent& event) {
  // Up and down zoom as in a zoom; left and right roll the picture about the
  // target, clockwise to the right (gravity keeps the camera upright).
  const float dx = event.GetPosition().x - _lastX;
  const float dy = event.GetPosition().y - _lastY;
  Remember(event);
  const float f = _viewpoint3D->GetFocusDistance();
  JumpAround(Kelvector3f(0.0f, 0.0f, f * (std::exp(_ZoomCoefficient * dy) - 1.0f)),
             Kelvector3f(0.0f, 0.0f, -_MouseRotationCoefficient * dx));
}

void Kel3DViewpointEditor::StopZoomAndTurn(KelMouseEvent&) {
  HideFocusPoint();
}

void Kel3DViewpointEditor::KeyZoomAndTurn(KelKeyboardEvent& event) {
  // Arrows turn about the target as a drag would; Page Up and Page Down
  // zoom in and out by the 3D viewer's step.
  const float a = _TurnAngle > 0.0f ? _TurnAngle : kKeyTurn;
  const float f = _viewpoint3D->GetFocusDistance();
  switch (event.GetKey()) {
    case 1:
      JumpAround(Kelvector3f(), Kelvector3f(0.0f, -a, 0.0f));
      break;
    case 2:
      JumpAround(Kelvector3f(), Kelvector3f(0.0f, a, 0.0f));
      break;
    case 3:
      JumpAround(Kelvector3f(), Kelvector3f(-a, 0.0f, 0.0f));
      break;
    case 4:
      JumpAround(Kelvector3f(), Kelvector3f(a, 0.0f, 0.0f));
      break;
    case 5:
      JumpAround(Kelvector3f(0.0f, 0.0f, f * (1.0f / kSqrt2 - 1.0f)), Kelvector3f());
      break;
    case 6:
      JumpAround(Kelvector3f(0.0f, 0.0f, f * (kSqrt2 - 1.0f)), Kelvector3f());
      break;
    default:
      break;
  }
}

void Kel3DViewpointEditor::StartRoll(KelMouseEvent& event) {
  Remember(event);
}

void Kel3DViewpointEditor::DriveRoll(KelMouseEvent& event) {
  // The picture turns about the window's centre with the cursor.
  float W = 0.0f, H = 0.0f;
  if (_viewer) _viewer->GetGraphicSize(&W, &H);
  const float x = event.GetPosition().x, y = event.GetPosition().y;
  const double cx = 0.5 * W, cy = 0.5 * H;
  const double before = std::atan2(cy - _lastY, _lastX - cx);
  const double after = std::atan2(cy - y, x - cx);
  Remember(event);
  if (!_viewer || (x == cx && y == cy)) return;
  double turn = after - before;
  if (turn > kPi) turn -= 2.0 * kPi;
  if (turn < -kPi) turn += 2.0 * kPi;
  JumpAround(Kelvector3f(), Kelvector3f(0.0f, 0.0f, static_cast<float>(turn)));
}

void Kel3DViewpointEditor::StopRoll(KelMouseEvent&) {}

void Kel3DViewpointEditor::StartPan(KelMouseEvent& event) {
  if (_viewer) _viewer->SetManipulatingCursor(52);
  Remember(event);
}

void Kel3DViewpointEditor::DrivePan(KelMouseEvent& event) {
  // The point of the target's plane under the cursor stays under it.
  float W = 0.0f, H = 0.0f;
  if (_viewer) _viewer->GetGraphicSize(&W, &H);
  const float dx = event.GetPosition().x - _lastX;
  const float dy = event.GetPosition().y - _lastY;
  Remember(event);
  if (H <= 0.0f) return;
  const Kel3DViewpoint& v = *_viewpoint3D;
  const float pixel =
      static_cast<float>(v.GetFocusDistance() * std::tan(v.GetAngle() * KelMath::DEGRERADIANS) /
                         (0.5 * H) / v.GetZoom());
  Jump(Kelvector3f(-dx * pixel, dy * pixel, 0.0f), Kelvector3f());
}

void Kel3DViewpointEditor::StopPan(KelMouseEvent&) {}

// ---- Side translation

void Kel3DViewpointEditor::StartSideTranslation(KelMouseEvent& event) {
  SetMessage("Drag to Sidle");
  ClearSights();
  _sightsX = event.GetPosition().x;
  _sightsY = event.GetPosition().y;
  InitializeThrust();
  if (_viewer) {
    float W = 0.0f, H = 0.0f;
    _viewer->GetGraphicSize(&W, &H);
    _sights = new KelSightsRep(Kelpoint2d(_sightsX, H - _sightsY), kSightsHalfSize, kSightsLength);
    _viewer->AddRepFurtiveOverlay(_sights);
    _viewer->Draw();
  }
}

void Kel3DViewpointEditor::DriveSideTranslation(KelMouseEvent& event) {
  ComputeSideSpeed(event);
  UpdateSpeed(event.GetTimeStamp());
}

void Kel3DViewpointEditor::StopSideTranslation(KelMouseEvent& event) {
  _sideSpeed = Kelvector3f();
  ClearSights();
  UpdateSpeed(event.GetTimeStamp());
}

void Kel3DViewpointEditor::ComputeSideSpeed(const KelMouseEvent& event) {
  // The sights are a dead zone; beyond, the camera slides towards the
  // cursor, at the fly speed for every 50 pixels of offset.
  const float dx = event.GetPosition().x - _sightsX;
  const float dy = event.GetPosition().y - _sightsY;
  if (std::fabs(dx) <= kSightsHalfSize && std::fabs(dy) <= kSightsHalfSize) {
    _sideSpeed = Kelvector3f();
    return;
  }
  const float k = _flySpeed * GetTranslationSensitivity() / kSidePixelsPerSpeed;
  // Kept in the camera's frame: it follows the camera if that turns.
  _sideSpeed = Kelvector3f(dx * k, -dy * k, 0.0f);
}

void Kel3DViewpointEditor::ClearSights() {
  if (!_sights) return;
  if (_viewer) {
    _viewer->RemoveRepFurtiveOverlay(_sights);
    _viewer->Draw();
  }
  _sights->Destroy();
  _sights = nullptr;
}

// ---- Fly

void Kel3DViewpointEditor::InitializeThrust() {
  _modelSize = _viewpoint3D->GetBoundingSphere().GetRadius();
  // An empty or flat scene still gets a speed: 0 would never grow.
  if (_flySpeed <= 0.0f) _flySpeed = ModelUnit() / 50.0f;
}

void Kel3DViewpointEditor::ChangeThrust(int direction, unsigned long time) {
  InitializeThrust();
  const float unit = ModelUnit();
  if (direction >= 1) {
    if (_flySpeed / unit > 0.5f) return;
    _flySpeed *= kSqrt2;
  } else if (direction < 0) {
    // Bounded away from 0, where the speed could never grow again.
    _flySpeed = std::max(_flySpeed / kSqrt2, unit * 1.0e-6f);
  }
  int decimals = 0;
  char format[64];
  if (_flySpeed <= 10.0f) {
    decimals = static_cast<int>(std::floor(-std::log10(_flySpeed))) + 2;
    decimals = std::min(std::max(decimals, 0), 15);
    std::snprintf(format, sizeof format, "Speed increased to %%.%df units/s", decimals);
  } else {
    std::snprintf(format, sizeof format, "Speed increased to %%.f units/s");
  }
  char text[128];
  std::snprintf(text, sizeof text, format, static_cast<double>(_flySpeed));
  SetMessage(text);
  // The speed flown is the speed shown.
  const double scale = std::pow(10.0, decimals);
  const float rounded = static_cast<float>(std::round(_flySpeed * scale) / scale);
  if (rounded > 0.0f) _flySpeed = rounded;
  UpdateSpeed(time);
}

void Kel3DViewpointEditor::InverseSpeed(unsigned long time) {
  _flyDirection = -_flyDirection;
  if (_viewer) _viewer->SetManipulatingCursor(_flyDirection > 0 ? 6 : 4);
  UpdateSpeed(time);
}

void Kel3DViewpointEditor::StartFly(KelMouseEvent& event) {
  Remember(event);
  if (_viewer) _viewer->SetManipulatingCursor(_flyDirection >= 0 ? 6 : 4);
}

void Kel3DViewpointEditor::DriveFly(KelMouseEvent& event) {
  // Steering: the head turns with the cursor and the flight follows it.
  DriveTilt(event);
  ComputeDirection();
}

void Kel3DViewpointEditor::KeyFly(KelKeyboardEvent& event) {
  const float step = _JumpPart * ModelUnit() * GetTranslationSensitivity();
  const Kel3DViewpoint& v = *_viewpoint3D;
  Kelvector3f move;
  switch (event.GetKey()) {
    case 1:
      move = v.GetRightDirection().AsVector() * -step;
      break;
    case 2:
      move = v.GetRightDirection().AsVector() * step;
      break;
    case 3:
      move = v.GetSightDirection().AsVector() * step;
      break;
    case 4:
      move = v.GetSightDirection().AsVector() * -step;
      break;
    case 5:
      ChangeThrust(1, event.GetTimeStamp());
      return;
    case 6:
      ChangeThrust(-1, event.GetTimeStamp());
      return;
    default:
      return;
  }
  // A step carries the target with the eye, as the flight does.
  _viewpoint3D->BeginModification();
  _viewpoint3D->SetOrigin(v.GetOrigin() + move);
  HeightCorrection();
  _viewpoint3D->EndModification();
}

void Kel3DViewpointEditor::StopFly(KelMouseEvent& event) {
  _flyDirection = 0;
  UpdateSpeed(event.GetTimeStamp());
}

void Kel3DViewpointEditor::ComputeDirection() {
  _forwardSpeed = _viewpoint3D->GetSightDirection().AsVector() *
                  (static_cast<float>(_flyDirection) * _flySpeed * GetTranslationSensitivity());
}

void Kel3DViewpointEditor::GetSpeeds(Kelvector3f& forward, Kelvector3f& side) const {
  forward = _forwardSpeed;
  const Kel3DViewpoint& v = *_viewpoint3D;
  side = v.GetRightDirection().AsVector() * _sideSpeed.x +
         v.GetUpDirection().AsVector() * _sideSpeed.y;
}

void Kel3DViewpointEditor::UpdateSpeed(unsigned long time) {
  ComputeDirection();
  UpdateAnimation(time);
}

// ---- Animation

void Kel3DViewpointEditor::UpdateAnimation(unsigned long time) {
  const int moving = _forwardSpeed.SquareNorm() > 0.0f || _sideSpeed.SquareNorm() > 0.0f;
  if (!moving && !_seeking) {
    StopAnimation();
    return;
  }
  if (_animated) return;
  _animated = 1;
  _stepTime = time;
  _stepTimeKnown = time != 0;
  _viewpoint3D->StartAnimation(this);
  if (_viewer) {
    _frameSource = _viewer->GetCallbackManager();
    _frameCallback = AddCallback(_frameSource, KelViewer::VIEWER_UPDATE(),
                                 &Kel3DViewpointEditor::FrameDrawn, nullptr);
    _viewer->Draw();
  }
}

void Kel3DViewpointEditor::StopAnimation() {
  if (_frameCallback) RemoveCallback(_frameSource, _frameCallback);
  _frameCallback = 0;
  _frameSource = nullptr;
  _seeking = 0;
  if (!_animated) return;
  _animated = 0;
  _viewpoint3D->StopAnimation(this);
}

void Kel3DViewpointEditor::FrameDrawn(const char*, KelCallbackManager*,
                                      KelNotification* notification, void*, long) {
  auto* frame = dynamic_cast<KelTimeStampedEvent*>(notification);
  if (frame) ComputeNextStep(frame->GetTimeStamp());
}

void Kel3DViewpointEditor::ComputeNextStep(unsigned long time) {
  if (!_animated) return;
  float dt = 0.0f;
  if (_stepTimeKnown) dt = std::min(GetDurationInSeconds(_stepTime, time), kLongestStep);
  _stepTime = time;
  _stepTimeKnown = 1;
  Kel3DViewpoint& v = *_viewpoint3D;
  v.BeginModification();
  if (_seeking) {
    _seekElapsed += dt;
    const float s = std::min(_seekElapsed / kSeekSeconds, 1.0f);
    const float e = s * s * (3.0f - 2.0f * s);  // eases in and out
    const Kelpoint3f eye = _seekStart.eye + (_seekGoal.eye - _seekStart.eye) * e;
    const Keldirection3f sight = Lerp(_seekStart.sight, _seekGoal.sight, e);
    const Keldirection3f up = Lerp(_seekStart.up, _seekGoal.up, e);
    v.Set(eye, sight, up);
    v.SetFocus(_seekStart.focus + (_seekGoal.focus - _seekStart.focus) * e);
    const float tangent = _seekStart.tangent + (_seekGoal.tangent - _seekStart.tangent) * e;
    v.SetAngle(static_cast<float>(std::atan(tangent) / KelMath::DEGRERADIANS));
    if (s >= 1.0f) {
      // Exactly the goal at the end, whatever the rounding on the way.
      v.Set(_seekGoal.eye, _seekGoal.sight, _seekGoal.up);
      v.SetFocus(_seekGoal.focus);
      v.SetAngle(_seekGoal.angle);
      _seeking = 0;
    }
  }
  ComputeDirection();
  Kelvector3f forward, side;
  GetSpeeds(forward, side);
  const Kelvector3f move = (forward + side) * dt;
  if (move.SquareNorm() > 0.0f) {
    v.SetOrigin(v.GetOrigin() + move);
    HeightCorrection();
  }
  v.EndModification();
  const int moving = _forwardSpeed.SquareNorm() > 0.0f || _sideSpeed.SquareNorm() > 0.0f;
  if (!moving && !_seeking)
    StopAnimation();
  else if (_viewer)
    _viewer->Draw();  // the next frame brings the next step, even after a still one
}

void Kel3DViewpointEditor::AnimateTo(const Kelpoint3f& eye, const Keldirection3f& sight,
                                     const Keldirection3f& up, float focus, float angle) {
  Kel3DViewpoint& v = *_viewpoint3D;
  if (!_viewer) {
    v.BeginModification();
    v.Set(eye, sight, up);
    v.SetFocus(focus);
    v.SetAngle(angle);
    v.EndModification();
    return;
  }
  _seekStart = Pose{v.GetOrigin(),        v.GetSightDirection(), v.GetUpDirection(),
                    v.GetFocusDistance(), v.GetAngle(),          0.0f};
  _seekGoal = Pose{eye, sight, up, focus, angle, 0.0f};
  _seekStart.tangent = static_cast<float>(std::tan(_seekStart.angle * KelMath::DEGRERADIANS));
  _seekGoal.tangent = static_cast<float>(std::tan(angle * KelMath::DEGRERADIANS));
  _seekElapsed = 0.0f;
  _seeking = 1;
  if (_animated) {
    _viewer->Draw();
    return;
  }
  UpdateAnimation(0);
}

// ---- Seek, step back, angle

int Kel3DViewpointEditor::PickPoint(float x, float y, Kelpoint3f& point) const {
  if (!_viewer) return 0;
  KelPickPathList picked;
  _viewer->Pick(x, y, picked);
  int found = 0;
  list<KelPickPath*>& paths = picked.GetPickPathList();
  Kel3DViewpoint* main = _viewer->GetMain3DViewpoint();
  for (int i = 0; i < paths.Count() && paths[i]; ++i) {
    KelPickPath& path = *paths[i];
    if (path.GetViewpoint() && path.GetViewpoint() == main) {
      point = path.GetMatrix() * path.GetIntersection();
      found = 1;
      break;
    }
  }
  picked.Reset();
  return found;
}

int Kel3DViewpointEditor::SetTargetOnPickedObject(KelMouseEvent& event, float ratio) {
  return SeekPoint(event, ratio, 1.0f);
}

int Kel3DViewpointEditor::SeekPoint(KelMouseEvent& event, float ratio, float tangentFactor) {
  Kelpoint3f P;
  if (!PickPoint(event.GetPosition().x, event.GetPosition().y, P)) return 0;
  const Kel3DViewpoint& v = *_viewpoint3D;
  const Kelpoint3f origin = v.GetOrigin();
  Keldirection3f sight = v.GetSightDirection();
  Kelpoint3f eye;
  float focus;
  if (v.GetProjectionType() == CONIC_PROJECTION) {
    const Kelvector3f toPoint = P - origin;
    const float d = toPoint.Norm();
    if (d <= KelMath::ZERO_MACHINE) return 0;
    sight = Keldirection3f(toPoint);
    eye = origin + toPoint * ratio;
    focus = d * (1.0f - ratio);
  } else {
    // Parallel: the camera slides to centre the point; the view narrows by
    // the same ratio.
    focus = v.GetFocusDistance() * (1.0f - ratio);
    eye = P - sight.AsVector() * focus;
  }
  Keldirection3f up = v.GetUpDirection();
  if (v.GetGravityMode() != GRAVITY_OFF) {
    // Upright cameras stay upright.
    const Keldirection3f vertical = GetVertical();
    if (!Special_angle(vertical, sight, 10.0 * KelMath::DEGRERADIANS))
      up = vertical * up > 0.0f ? vertical : -vertical;
  }
  AnimateTo(eye, sight, up, focus, AngleAfter(tangentFactor));
  return 1;
}

void Kel3DViewpointEditor::SetTargetOnFrontObject() {
  if (!_viewer) return;
  float W = 0.0f, H = 0.0f;
  _viewer->GetGraphicSize(&W, &H);
  Kelpoint3f P;
  if (!PickPoint(0.5f * W, 0.5f * H, P)) return;
  Kel3DViewpoint& v = *_viewpoint3D;
  const float focus = (P - v.GetOrigin()) * v.GetSightDirection().AsVector();
  if (focus <= 0.0f) return;
  v.BeginModification();
  // A parallel view keeps its size: the zoom follows the focus.
  if (v.GetProjectionType() == PARALLEL_PROJECTION && v.GetFocusDistance() > 0.0f)
    v.SetZoom(v.GetZoom() * focus / v.GetFocusDistance());
  v.SetFocus(focus);
  v.EndModification();
}

void Kel3DViewpointEditor::JumpBackwardOf(float part) {
  const Kel3DViewpoint& v = *_viewpoint3D;
  const float f = v.GetFocusDistance();
  const Keldirection3f sight = v.GetSightDirection();
  AnimateTo(v.GetOrigin() - sight.AsVector() * (part * f), sight, v.GetUpDirection(),
            f * (1.0f + part), v.GetAngle());
}

float Kel3DViewpointEditor::AngleAfter(float factor) const {
  const float angle = _viewpoint3D->GetAngle();
  if (!(factor > 0.0f) || factor == 1.0f) return angle;
  float minimum = 0.0f, maximum = 0.0f;
  GetAngleBounds(minimum, maximum);
  const double tangent = std::tan(angle * KelMath::DEGRERADIANS) * factor;
  const double after = std::atan(tangent) / KelMath::DEGRERADIANS;
  return static_cast<float>(
      std::min(std::max(after, static_cast<double>(minimum)), static_cast<double>(maximum)));
}

void Kel3DViewpointEditor::ChangeAngleOf(float factor) {
  _viewpoint3D->SetAngle(AngleAfter(factor));
}

// ---- Feedback Reps

void Kel3DViewpointEditor::ShowFocusPoint() {
  if (_focusPoint || !_viewer) return;
  _focusPoint = new KelFocusPointRep(*_viewpoint3D, _viewer, 50.0f);
  if (Kel3DViewpoint* main = _viewer->GetMain3DViewpoint()) main->AddFurtiveRep(_focusPoint);
  _viewer->Draw();
}

void Kel3DViewpointEditor::HideFocusPoint() {
  if (!_focusPoint) return;
  if (_viewer) {
    if (Kel3DViewpoint* main = _viewer->GetMain3DViewpoint()) main->RemoveFurtiveRep(_focusPoint);
    _viewer->Draw();
  }
  _focusPoint->Destroy();
  _focusPoint = nullptr;
}

// ---- Look at

void Kel3DViewpointEditor::StartViewpointDefinition(KelMouseEvent& event) {
  if (!_viewer) return;
  delete _builder;
  _builder = new Kel3DViewpointBuilder(this, KelString("EditorBuidler"), *_viewpoint3D);
  KelViewerEvent e(&event, nullptr);
  e.SetViewer(_viewer);
  e.SetTimeStamp(event.GetTimeStamp());
  _builder->Preactivate(&e, nullptr);
  _builder->Activate(&e, nullptr);
  _builder->BeginManipulate(&e, nullptr);
}

void Kel3DViewpointEditor::DriveViewpointDefinition(KelMouseEvent& event) {
  if (!_builder) return;
  KelViewerEvent e(&event, nullptr);
  e.SetViewer(_viewer);
  e.SetTimeStamp(event.GetTimeStamp());
  _builder->Manipulate(&e, nullptr);
}

void Kel3DViewpointEditor::StopViewpointDefinition(KelMouseEvent& event) {
  if (!_builder) return;
  KelViewerEvent e(&event, nullptr);
  e.SetViewer(_viewer);
  e.SetTimeStamp(event.GetTimeStamp());
  _builder->EndManipulate(&e, nullptr);
  _builder->EndActivate(&e, nullptr);
  delete _builder;
  _builder = nullptr;
}

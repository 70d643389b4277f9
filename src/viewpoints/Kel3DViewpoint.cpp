#include <kel/framework/KelMath.h>
#include <kel/framework/KelMathFunctions.h>
#include <kel/render/KelDisplayList.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

KEL_IMPLEMENT_META(Kel3DViewpoint, KelViewpoint)

namespace {

constexpr double kPi = KelMath::PI;
// Two directions closer than this (either way) count as parallel.
constexpr double kParallel = 0.5 * KelMath::DEGRERADIANS;

float Tangent(float degrees) {
  return static_cast<float>(std::tan(degrees * KelMath::DEGRERADIANS));
}

}  // namespace

Kel3DViewpoint::Kel3DViewpoint()
    : _sight(-1.0f, -1.0f, -1.0f),
      _up(Keldirection3f::Unchecked(0.0f, 0.0f, 1.0f)),
      _tangent(Tangent(15.0f)),
      _trueSight(_sight) {
  SetOwnedViewport(new Kel3DViewport);
  Orthogonalize();
}

Kel3DViewpoint::Kel3DViewpoint(const Kelpoint3f& origin, const Keldirection3f& sight,
                               const Keldirection3f& up, float nearDistance, float farDistance,
                               ProjectionType type, float focus)
    : _origin(origin),
      _sight(sight),
      _up(up),
      _automaticNear(nearDistance),
      _automaticFar(farDistance),
      _minimumNear(nearDistance),
      _tangent(Tangent(15.0f)),
      _focus(focus),
      _frontClippingValue(nearDistance),
      _backClippingValue(farDistance),
      _projectionType(type),
      _trueSight(sight) {
  SetOwnedViewport(new Kel3DViewport);
  Orthogonalize();
}

Kel3DViewpoint::Kel3DViewpoint(const Kel3DViewpoint& other) : KelViewpoint(other) {
  CopyCamera(other);
}

Kel3DViewpoint::~Kel3DViewpoint() = default;

Kel3DViewpoint& Kel3DViewpoint::operator=(const Kel3DViewpoint& other) {
  BeginModification();
  if (this != &other) CopyCamera(other);
  KelViewpoint::operator=(other);
  EndModification();
  return *this;
}

void Kel3DViewpoint::CopyCamera(const Kel3DViewpoint& o) {
  _origin = o._origin;
  _sight = o._sight;
  _up = o._up;
  _right = o._right;
  _frameMatrix = o._frameMatrix;
  _inverseFrameMatrix = o._inverseFrameMatrix;
  _automaticNear = o._automaticNear;
  _automaticFar = o._automaticFar;
  _minimumNear = o._minimumNear;
  _angle = o._angle;
  _tangent = o._tangent;
  _focus = o._focus;
  _frontClippingMode = o._frontClippingMode;
  _frontClippingValue = o._frontClippingValue;
  _backClippingMode = o._backClippingMode;
  _backClippingValue = o._backClippingValue;
  _projectionType = o._projectionType;
  _gravityDirection = o._gravityDirection;
  _gravityMode = o._gravityMode;
  std::copy(o._frustumShift, o._frustumShift + 3, _frustumShift);
  _trueSight = o._trueSight;
  _projectionDirectionSet = o._projectionDirectionSet;
}

Kel3DViewport& Kel3DViewpoint::OwnedViewport() {
  // Every constructor gives the camera a 3D viewport, and SetViewport only
  // assigns into it.
  return *static_cast<Kel3DViewport*>(GetViewport());
}

Kel3DViewpoint* Kel3DViewpoint::Clone() const {
  return new Kel3DViewpoint(*this);
}

void Kel3DViewpoint::SetViewport(const KelViewport& viewport) {
  const Kel3DViewport* planes = dynamic_cast<const Kel3DViewport*>(&viewport);
  if (!planes) {
    std::fprintf(stderr, "Kel3DViewpoint::SetViewport: Invalid function parameters.\n");
    return;
  }
  OwnedViewport() = *planes;
}

void Kel3DViewpoint::InitDisplayList() {
  if (!_displayList) _displayList = new KelDisplayList(DISPLAY_LIST_3D);
}

int Kel3DViewpoint::SizeOf() const {
  return static_cast<int>(sizeof(Kel3DViewpoint));
}

// ---- Frame

void Kel3DViewpoint::Orthogonalize() {
  // Right first, then up from right: a collapsed right (sight along up) is
  // replaced by (1, 0, 0) and up still comes out normal to the sight.
  _right = Keldirection3f(_sight.AsVector() ^ _up.AsVector());
  _up = Keldirection3f(_right.AsVector() ^ _sight.AsVector());
  _sight = Keldirection3f(_sight.AsVector());
  _frameMatrix.SetComponents(_right, _up, -_sight, _origin);
}

const Kel4x4Matrix& Kel3DViewpoint::GetInverseMatrix() const {
  // A singular matrix leaves the output alone: start from the identity.
  _inverseFrameMatrix = Kel4x4Matrix();
  _frameMatrix.GetInvertedMatrix(_inverseFrameMatrix);
  return _inverseFrameMatrix;
}

Kel3DViewpoint& Kel3DViewpoint::operator*=(const Kel4x4Matrix& M) {
  _sight = M * _sight;
  _up = M * _up;
  _right = M * _right;
  // The true sight is a viewing direction too: a clone moved into a Rep's
  // frame must see the back faces there as the camera does.
  _trueSight = M * _trueSight;
  _origin = M * _origin;
  _frameMatrix *= M;
  return *this;
}

void Kel3DViewpoint::SetOrigin(const Kelpoint3f& origin) {
  _origin = origin;
  Orthogonalize();
  Modify();
}

Kelpoint3f Kel3DViewpoint::GetOrigin() const {
  return _origin;
}

void Kel3DViewpoint::SetSightDirection(const Keldirection3f& sight) {
  if (_projectionDirectionSet) {
    _trueSight = sight;
  } else {
    _sight = sight;
    Orthogonalize();
  }
  Modify();
}

Keldirection3f Kel3DViewpoint::GetSightDirection() const {
  return _projectionDirectionSet ? _trueSight : _sight;
}

void Kel3DViewpoint::SetUpDirection(const Keldirection3f& up) {
  _up = up;
  Orthogonalize();
  Modify();
}

Keldirection3f Kel3DViewpoint::GetUpDirection() const {
  return _up;
}

void Kel3DViewpoint::SetFocus(float focus) {
  _focus = focus;
  Modify();
}

float Kel3DViewpoint::GetFocusDistance() const {
  return _focus;
}

void Kel3DViewpoint::SetAngle(float degrees) {
  _angle = degrees;
  _tangent = Tangent(degrees);
  Modify();
}

float Kel3DViewpoint::GetAngle() const {
  return _angle;
}

void Kel3DViewpoint::Set(const Kelpoint3f& origin, const Keldirection3f& sight,
                         const Keldirection3f& up) {
  _origin = origin;
  _sight = sight;
  _up = up;
  Orthogonalize();
  Modify();
}

void Kel3DViewpoint::SetVertical(const Keldirection3f& v) {
  if (!Special_angle(v, _sight, 10.0 * KelMath::DEGRERADIANS)) {
    _up = _up * v > 0.0f ? v : -v;
    Orthogonalize();
  }
  Modify();
}

Keldirection3f Kel3DViewpoint::GetRightDirection() const {
  return _right;
}

Kelpoint3f Kel3DViewpoint::GetTarget() const {
  return _origin + _sight.AsVector() * _focus;
}

void Kel3DViewpoint::SetTarget(const Kelpoint3f& target) {
  if (_projectionType == CONIC_PROJECTION)
    SetFocus((target - _origin) * _sight.AsVector());
  else
    SetOrigin(target - _sight.AsVector() * _focus);
}

void Kel3DViewpoint::SetGravityMode(KelViewpointGravityMode mode) {
  _gravityMode = mode;
}

KelViewpointGravityMode Kel3DViewpoint::GetGravityMode() const {
  return _gravityMode;
}

void Kel3DViewpoint::SetGravityDirection(const Keldirection3f& direction) {
  _gravityDirection = direction;
}

Keldirection3f Kel3DViewpoint::GetGravityDirection() const {
  return _gravityDirection;
}

void Kel3DViewpoint::SetProjectionType(ProjectionType type) {
  if (type != _projectionType) {
    if (type == CONIC_PROJECTION) _automaticNear = _minimumNear = 1.0f;
    _projectionType = type;
    _frontClippingMode = _backClippingMode = 0;
  }
  Modify();
}

void Kel3DViewpoint::SetProjectionDirection(const Keldirection3f& direction) {
  // A second call keeps the true sight: the sight then holds the previous
  // projection direction, not where the camera looks.
  if (!_projectionDirectionSet) _trueSight = _sight;
  _projectionDirectionSet = 1;
  _sight = direction;
  Modify();
}

void Kel3DViewpoint::ResetProjectionDirection() {
  _projectionDirectionSet = 0;
  std::fill(_frustumShift, _frustumShift + 3, 0.0f);
  Modify();
}

// ---- Angles

double Kel3DViewpoint::GetTrim(const Keldirection3f& v) const {
  if (Special_angle(_sight, v, kParallel)) return _sight * v > 0.0f ? kPi / 2 : -kPi / 2;
  return kPi / 2 - Value_angle(_sight, v, Keldirection3f(_sight.AsVector() ^ v.AsVector()));
}

double Kel3DViewpoint::GetTwist(const Keldirection3f& v) const {
  const Keldirection3f n(_sight.AsVector() ^ v.AsVector());
  double t = Value_angle(_right, n, _sight);
  if (t > kPi) t -= 2 * kPi;
  return t;
}

double Kel3DViewpoint::GetCape(const Keldirection3f& v, const Keldirection3f& w) const {
  if (Special_angle(v, _sight, kParallel)) {
    const double a = Value_angle(w, _up, v);
    return _sight * v > 0.0f ? kPi - a : -a;
  }
  return kPi / 2 - Value_angle(w, Keldirection3f(v.AsVector() ^ _sight.AsVector()), v);
}

// ---- Motion

void Kel3DViewpoint::Rotate(const Kelvector3f& r, const Kelpoint3f& centre) {
  if (_projectionDirectionSet) {
    const Kel4x4Matrix turn(-(_frameMatrix * r), centre);
    _trueSight = turn * _trueSight;
    Modify();
    return;
  }
  const int gravity = _gravityMode != GRAVITY_OFF;
  if (r.Norm() <= KelMath::ZERO_MACHINE) {
    if (gravity) ApplyGravity();
    return;
  }
  // One event for the whole turn, even when gravity has nothing to correct.
  BeginModification();
  if (!gravity) {
    *this *= Kel4x4Matrix(_frameMatrix * r, centre);
  } else {
    const double w = (std::cos(2.0 * GetTrim(_gravityDirection)) + 1.0) * 0.5;
    Kelvector3f yaw;
    if (w > 0.25) {
      // Sight within 60 degrees of the horizontal: turn about the vertical.
      const float ry = _up * _gravityDirection > 0.0f ? r.y : -r.y;
      yaw = _gravityDirection.AsVector() * ry;
    } else {
      yaw = _up.AsVector() * r.y;
    }
    const Kelvector3f pitch = _frameMatrix * Kelvector3f(r.x, 0.0f, r.z);
    *this *= Kel4x4Matrix(pitch, centre);
    *this *= Kel4x4Matrix(yaw, centre);
  }
  // Rounding must not let the frame drift from orthonormal over many turns.
  Orthogonalize();
  Modify();
  if (gravity) ApplyGravity();
  EndModification();
}

void Kel3DViewpoint::ApplyGravity() {
  if (_gravityMode == GRAVITY_OFF || Special_angle(_sight, _gravityDirection, kParallel)) return;
  const double t = GetTwist(_gravityDirection);
  double w = (std::cos(2.0 * GetTrim(_gravityDirection)) + 1.0) * 0.5;
  if (w < 0.1) w = 0.0;
  double turned;
  if (_gravityMode == GRAVITY_PROPORTIONAL) {
    turned = t + w * (0.0 - t);
  } else {
    const double goal = t < -kPi / 2 ? -kPi : (t > kPi / 2 ? kPi : 0.0);
    const double step = std::min(std::max(w * (goal - t), -kPi / 64), kPi / 64);
    turned = t + step;
  }
  // b: the right direction of an upright camera; a: the gravity seen on the
  // screen. cos(t) a - sin(t) b is the up direction of twist t.
  const Kelvector3f b = Keldirection3f(_sight.AsVector() ^ _gravityDirection.AsVector()).AsVector();
  const Kelvector3f a = Keldirection3f(b ^ _sight.AsVector()).AsVector();
  _up = Keldirection3f(a * static_cast<float>(std::cos(turned)) -
                       b * static_cast<float>(std::sin(turned)));
  _right = Keldirection3f(_sight.AsVector() ^ _up.AsVector());
  _frameMatrix.SetComponents(_right, _up, -_sight, _origin);
  Modify();
}

// ---- Near and far

void Kel3DViewpoint::SetFrontClipping(int mode, float value) {
  _frontClippingMode = mode;
  _frontClippingValue = value;
  Modify();
}

void Kel3DViewpoint::GetFrontClipping(int& mode, float& value) const {
  mode = _frontClippingMode;
  value = _frontClippingValue;
}

void Kel3DViewpoint::SetBackClipping(int mode, float value) {
  _backClippingMode = mode;
  _backClippingValue = value;
  Modify();
}

void Kel3DViewpoint::GetBackClipping(int& mode, float& value) const {
  mode = _backClippingMode;
  value = _backClippingValue;
}

float Kel3DViewpoint::GetNear() const {
  float n = _automaticNear, floor = _minimumNear;
  if (_frontClippingMode == 1)
    n = _frontClippingValue;
  else if (_frontClippingMode == 2)
    n = _frontClippingValue * _focus;
  else if (_automaticFar > 0.0f)
    // The floor keeps an eye inside the scene from a near distance of zero;
    // it must not cut a scene smaller than itself. A thousandth of the far
    // distance still leaves the depth buffer its precision.
    floor = std::min(floor, _automaticFar * 1e-3f);
  return std::max(n, floor);
}

float Kel3DViewpoint::GetFar() const {
  float f = _automaticFar;
  if (_backClippingMode == 1)
    f = _backClippingValue;
  else if (_backClippingMode == 2)
    f = _backClippingValue * _focus;
  return std::max(f, GetNear());
}

// ---- Projection

void Kel3DViewpoint::GetFrustum(float width, float height, float, float ratio, float& left,
                                float& right, float& bottom, float& top, float& nearDistance,
                                float& farDistance) const {
  const float aspect = width / height * ratio;
  nearDistance = GetNear();
  farDistance = GetFar();
  if (_projectionType == CONIC_PROJECTION) {
    const float h = nearDistance * _tangent;
    left = _frustumShift[0] - h * aspect;
    right = _frustumShift[0] + h * aspect;
    bottom = _frustumShift[1] - h;
    top = _frustumShift[1] + h;
  } else {
    const float h = _focus * _tangent / _zoom;
    right = h * aspect;
    left = -right;
    top = h;
    bottom = -top;
  }
}

void Kel3DViewpoint::ComputeModelFromPixel(float x, float y, Kelpoint3f& P, Kelpoint3f& Q,
                                           float width, float height, float, float ratio) const {
  const float hW = 0.5f * width, hH = 0.5f * height, aspect = width / height * ratio;
  const float n = GetNear(), f = GetFar();
  float hn, hf, farX = 0.0f, farY = 0.0f;
  if (_projectionType == CONIC_PROJECTION) {
    hn = n * _tangent / _zoom;
    hf = f * _tangent / _zoom;
    if ((_frustumShift[0] != 0.0f || _frustumShift[1] != 0.0f) && n != 0.0f) {
      // The window centre seen from the eye, carried to the far plane.
      farX = f * _frustumShift[0] / std::fabs(n);
      farY = f * _frustumShift[1] / std::fabs(n);
    }
  } else {
    hn = hf = _focus * _tangent / _zoom;
  }
  const float u = x / hW - 1.0f, v = 1.0f - y / hH;
  P = _frameMatrix * Kelpoint3f(_frustumShift[0] + hn * aspect * u, _frustumShift[1] + hn * v, -n);
  Q = _frameMatrix * Kelpoint3f(farX + hf * aspect * u, farY + hf * v, -f);
}

void Kel3DViewpoint::ComputePixelFromModel(const Kelpoint3f& M, Kelpoint2f& p, float width,
                                           float height, float, float ratio) const {
  const float hW = 0.5f * width, hH = 0.5f * height;
  const Kelpoint3f V = GetInverseMatrix() * M;
  float z, sx = 0.0f, sy = 0.0f;
  if (_projectionType == CONIC_PROJECTION) {
    if (V.z > -KelMath::ZERO_MACHINE) {
      p = Kelpoint2f(0.0f, 0.0f);
      return;
    }
    z = V.z;
    const float hn0 = GetNear() * _tangent;
    if (_frustumShift[0] != 0.0f) sx = _frustumShift[0] * hH / hn0;
    if (_frustumShift[1] != 0.0f) sy = _frustumShift[1] * hH / hn0;
  } else {
    z = -_focus;
    // Without a focus distance the parallel window has no size.
    if (z == 0.0f) {
      p = Kelpoint2f(0.0f, 0.0f);
      return;
    }
  }
  p.y = hH + (V.y / z) / _tangent * _zoom * hH + sy;
  p.x = hW - (V.x / z) / _tangent * _zoom / ratio * hH - sx;
}

float Kel3DViewpoint::GetScaleFactor(float, float height, float, float ratio) const {
  return ratio * _tangent / (0.5f * height) / _zoom;
}

void Kel3DViewpoint::Reframe(float width, float height, float, float) {
  const Kel3DBoundingSphere sphere = GetBoundingSphere();
  const float k = std::max(height / width, 1.0f);
  const float radius = sphere.GetRadius() != 0.0f ? sphere.GetRadius() : sphere.GetRadiusMM();
  _focus = k * 1.05f * radius / _tangent;
  _origin = Kelpoint3f(sphere.GetCenter()) - _sight.AsVector() * _focus;
  Orthogonalize();
  _initDone = 1;
  Modify();
}

KelViewport* Kel3DViewpoint::CreateViewportFrom(float x, float y, float dx, float dy, float width,
                                                float height, float pixelsPerMM, float ratio) {
  // Near and far around the Reps, the millimetre part converted at their depth.
  const Kel3DBoundingSphere sphere = GetBoundingSphere();
  const Kelpoint3f centre(sphere.GetCenter());
  const float depth = (centre - _origin) * _sight.AsVector();
  const float scale = depth == 0.0f ? 1.0f : std::fabs(depth) * _tangent / (0.5f * height);
  const float R = (sphere.GetRadius() + sphere.GetRadiusMM() * pixelsPerMM * scale) * 1.05f;
  _automaticNear = depth - R;
  _automaticFar = depth + R;

  Kelpoint3f points[6];
  Keldirection3f normals[6];
  Kelpoint3f farPoint;
  if (_projectionType != CONIC_PROJECTION) {
    // The parallel volume also keeps what lies behind the eye.
    _automaticNear = _minimumNear = -_automaticFar;
    ComputeModelFromPixel(x, y, points[0], farPoint, width, height, pixelsPerMM, ratio);
    points[1] = farPoint;
    ComputeModelFromPixel(x - dx, y, points[2], farPoint, width, height, pixelsPerMM, ratio);
    ComputeModelFromPixel(x + dx, y, points[3], farPoint, width, height, pixelsPerMM, ratio);
    ComputeModelFromPixel(x, y + dy, points[4], farPoint, width, height, pixelsPerMM, ratio);
    ComputeModelFromPixel(x, y - dy, points[5], farPoint, width, height, pixelsPerMM, ratio);
    normals[2] = -_right;
    normals[3] = _right;
    normals[4] = -_up;
    normals[5] = _up;
  } else {
    const float n = GetNear();
    std::fill(_frustumShift, _frustumShift + 3, 0.0f);
    if (_projectionDirectionSet) {
      // The window is centred where the true sight crosses the near plane.
      const Kelpoint3f nearCentre = _origin + _sight.AsVector() * n;
      Kelpoint3f crossing;
      if (KelInterPlnLn(_origin, _trueSight, nearCentre, _sight, crossing)) {
        const Kelpoint3f eye = GetInverseMatrix() * crossing;
        _frustumShift[0] = eye.x;
        _frustumShift[1] = eye.y;
        _frustumShift[2] = eye.z;
      }
    }
    ComputeModelFromPixel(x, y, points[0], points[1], width, height, pixelsPerMM, ratio);
    const float hW = 0.5f * width, hH = 0.5f * height, aspect = width / height * ratio;
    // The zoom narrows the window as it does for the pick ray and the drawing:
    // without it a zoomed-out camera would cull what it shows.
    const float hn = n * _tangent / (_zoom > 0.0f ? _zoom : 1.0f);
    const float cx = _frustumShift[0] + hn * aspect * (x / hW - 1.0f);
    const float cy = _frustumShift[1] + hn * (1.0f - y / hH);
    const float ex = dx * hn * aspect / hW, ey = dy * hn / hH;
    const Kelvector3f left = _frameMatrix * Kelvector3f(cx - ex, cy, -n);
    const Kelvector3f right = _frameMatrix * Kelvector3f(cx + ex, cy, -n);
    const Kelvector3f bottom = _frameMatrix * Kelvector3f(cx, cy - ey, -n);
    const Kelvector3f top = _frameMatrix * Kelvector3f(cx, cy + ey, -n);
    const Kelvector3f up = _up.AsVector(), side = _right.AsVector();
    normals[2] = Keldirection3f(up ^ left);
    normals[3] = Keldirection3f(right ^ up);
    normals[4] = Keldirection3f(bottom ^ side);
    normals[5] = Keldirection3f(side ^ top);
    for (int i = 2; i < 6; ++i) points[i] = _origin;
  }
  normals[0] = -_sight;
  normals[1] = _sight;
  OwnedViewport() = Kel3DViewport(6, points, normals);
  return GetViewport();
}

// ---- Reps

void Kel3DViewpoint::AddRep(Kel3DRep* rep) {
  if (rep) _repList.AppendUnique(rep);
}

void Kel3DViewpoint::RemoveRep(Kel3DRep* rep) {
  _repList.Remove(rep);
}

void Kel3DViewpoint::AddFurtiveRep(Kel3DRep* rep) {
  if (rep) _furtiveRepList.AppendUnique(rep);
}

void Kel3DViewpoint::RemoveFurtiveRep(Kel3DRep* rep) {
  _furtiveRepList.Remove(rep);
}

Kel3DBoundingSphere Kel3DViewpoint::GetBoundingSphere() const {
  // By index: the list's cursor may be in use by a walk that asks for the sphere.
  Kel3DBoundingSphere sphere;
  for (int i = 0; i < _repList.Count(); ++i)
    sphere += static_cast<const Kel3DRep*>(_repList[i])->GetBoundingElement();
  return sphere;
}

void Kel3DViewpoint::EyeViewpoints(double eyeDistance, Kel3DViewpoint& left,
                                   Kel3DViewpoint& right) const {
  const Kelvector3f offset = _right.AsVector() * static_cast<float>(0.5 * eyeDistance);
  const Kelpoint3f origin = _origin;
  left.BeginModification();
  left = *this;
  left.SetOrigin(origin - offset);
  left.EndModification();
  right.BeginModification();
  right = *this;
  right.SetOrigin(origin + offset);
  right.EndModification();
}

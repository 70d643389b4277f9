#include <kel/reps/Kel3DCylinderRep.h>

#include <kel/framework/KelMath.h>
#include <kel/framework/KelMathFunctions.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/render/KelRender.h>

#include <cmath>
#include <cstdio>

KEL_IMPLEMENT_META(Kel3DCylinderRep, Kel3DRep)

namespace {
constexpr unsigned char kLineKind = 0x10;
constexpr unsigned char kShadedKind = 0x30;

void SetElementKind(KelGraphicAttributeSet& a, unsigned char kind) {
  a.flags =
      static_cast<unsigned char>((a.flags & ~KelGraphicAttributeSet::ELEMENT_KIND_MASK) | kind);
}
}  // namespace

Kel3DCylinderRep::Kel3DCylinderRep() = default;

Kel3DCylinderRep::Kel3DCylinderRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DCylinderRep::Kel3DCylinderRep(Kelpoint3f base, Kelpoint3f top, float radius)
    : _radius(radius) {
  for (int k = 0; k < 3; ++k) {
    _base[k] = base[k];
    _axisVector[k] = top[k] - base[k];
  }
  BuildAll(1, 0, 0.0f);
}

Kel3DCylinderRep::Kel3DCylinderRep(const float* base, const float* axisVector, float radius)
    : _radius(radius) {
  for (int k = 0; k < 3; ++k) {
    _base[k] = base[k];
    _axisVector[k] = axisVector[k];
  }
  BuildAll(1, 0, 0.0f);
}

Kel3DCylinderRep::Kel3DCylinderRep(const float* base, const float* top, float radius,
                                   const float* planeVector, KelModelIdentificator& id,
                                   KelVisuController* controller)
    : Kel3DRep(id, controller), _planeVector(Kelvector3f(planeVector)), _radius(radius) {
  for (int k = 0; k < 3; ++k) {
    _base[k] = base[k];
    _axisVector[k] = top[k] - base[k];
  }
  BuildAll(0, 0, 0.0f);
}

Kel3DCylinderRep::Kel3DCylinderRep(const float* base, const float* top, float radius,
                                   const float* planeVector, const float sag,
                                   KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller), _planeVector(Kelvector3f(planeVector)), _radius(radius) {
  for (int k = 0; k < 3; ++k) {
    _base[k] = base[k];
    _axisVector[k] = top[k] - base[k];
  }
  BuildAll(0, 1, sag);
}

Kel3DCylinderRep::Kel3DCylinderRep(const float* base, const float* axisVector, float radius,
                                   const Keldirection3f& planeVector, const float* sags, int n,
                                   KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller), _planeVector(planeVector), _radius(radius) {
  for (int k = 0; k < 3; ++k) {
    _base[k] = base[k];
    _axisVector[k] = axisVector[k];
  }
  ComputeBoundingElement();
  if (!sags || n < 1 || n > MAX_LEVELS) {
    std::fprintf(stderr, "Kel3DCylinderRep::Kel3DCylinderRep: Invalid function parameters.\n");
    return;
  }
  SetSags(sags, n);
  for (int i = 0; i < _nbLevels; ++i) ComputeMesh(i);
}

Kel3DCylinderRep::~Kel3DCylinderRep() {
  ReleaseLevels();
}

void Kel3DCylinderRep::BuildAll(int withPlaneVector, int withSag, float sag) {
  if (withPlaneVector) ComputePlaneVector();
  ComputeBoundingElement();
  if (withSag)
    ComputeSag(sag);
  else
    ComputeSag();
  for (int i = 0; i < _nbLevels; ++i) ComputeMesh(i);
}

void Kel3DCylinderRep::ReleaseLevels() {
  for (int i = 0; i + 1 < _nbLevels; ++i) {
    if (_meshes[i]) KelGraphicPrimitive::Destroy(_meshes[i]);
    _meshes[i] = nullptr;
  }
  if (_axisLine) KelGraphicPrimitive::Destroy(_axisLine);
  _axisLine = nullptr;
  _meshes.reset();
  _sags.reset();
  _nbLevels = 0;
}

void Kel3DCylinderRep::SetSags(const float* sags, int n) {
  ReleaseLevels();
  if (n <= 0) return;
  _nbLevels = n;
  _sags.reset(new float[n]);
  for (int i = 0; i < n; ++i) _sags[i] = sags[i];
  _meshes.reset(new Kel3DCylinderGP*[n]());
}

void Kel3DCylinderRep::Modify(Kelpoint3f base, Kelpoint3f top, float radius) {
  ReleaseLevels();
  for (int k = 0; k < 3; ++k) {
    _base[k] = base[k];
    _axisVector[k] = top[k] - base[k];
  }
  _radius = radius;
  BuildAll(1, 0, 0.0f);
  // The 3D volume setter leaves the bags alone.
  ComputeParentsBoundingElement();
}

void Kel3DCylinderRep::ComputePlaneVector() {
  const Keldirection3f d(Kelvector3f(_axisVector[0], _axisVector[1], _axisVector[2]));
  Keldirection3f reference(1.0f, 2.0f, 3.0f);
  if (Special_angle(d, reference, KelMath::PI / 1000.0)) reference = Keldirection3f(1, 0, 0);
  _planeVector = Keldirection3f(d.AsVector() ^ reference.AsVector());
}

void Kel3DCylinderRep::ComputeSag() {
  // Without a positive radius the cylinder is its axis.
  if (!(_radius > 0.0f)) {
    SetSags(&_radius, 1);
    return;
  }
  const double r = _radius;
  const float sags[4] = {float(r * (1.0 - std::cos(KelMath::PI / 16.0))),
                         float(r * (1.0 - std::cos(KelMath::PI / 8.0))),
                         float(r * (1.0 - std::cos(KelMath::PI / 4.0))), _radius};
  SetSags(sags, 4);
}

void Kel3DCylinderRep::ComputeSag(const float sag) {
  if (!(_radius > 0.0f) || !(sag > 0.0f)) {
    ComputeSag();
    return;
  }
  const float r = _radius;
  const float s = sag >= r ? r / 10.0f : sag;
  float sags[5];
  int n = 0;
  sags[n++] = s;
  const double a = std::acos(1.0 - double(s) / r);
  double angle = a;
  for (int k = 0; k < 3; ++k) {
    angle *= 2.0;
    const float value = float(r * (1.0 - std::cos(angle)));
    if (!(value < r)) break;
    sags[n++] = value;
  }
  sags[n++] = r;
  SetSags(sags, n);
}

int Kel3DCylinderRep::CirclePointCount(float sag, float radius) {
  if (!(radius > 0.0f)) return 3;
  double c = 1.0 - double(sag) / radius;
  if (!(c < 1.0)) c = 1.0;
  if (c < -1.0) c = -1.0;
  const double half = std::acos(c);
  if (!(half > 0.0)) return Kel3DCylinderGP::MAX_POINTS;
  const double m = KelMath::PI / half + 0.5;
  if (m >= Kel3DCylinderGP::MAX_POINTS) return Kel3DCylinderGP::MAX_POINTS;
  return m < 3.0 ? 3 : int(m);
}

void Kel3DCylinderRep::ComputeMesh(int level) {
  if (level < 0 || level >= _nbLevels) return;
  const Kelvector3f axis(_axisVector);
  const float height = axis.Norm();
  // A null axis was reported by ComputePlaneVector already.
  const Kelvector3f d = height > 0.0f ? axis / height : Kelvector3f(1.0f, 0.0f, 0.0f);

  if (level == _nbLevels - 1) {
    SetElementKind(_attributes, kLineKind);
    const float ends[6] = {_base[0],          _base[1],          _base[2],
                           _base[0] + axis.x, _base[1] + axis.y, _base[2] + axis.z};
    if (_axisLine) KelGraphicPrimitive::Destroy(_axisLine);
    _axisLine = new Kel3DLineGP(ends, 2, 1);
    return;
  }

  SetElementKind(_attributes, kShadedKind);
  const int m = CirclePointCount(_sags[level], _radius);
  const Kelvector3f p = _planeVector.AsVector();
  const Kelvector3f q = d ^ p;
  float points[3 * Kel3DCylinderGP::MAX_POINTS];
  // Angle 0 goes last; the angle grows towards the first slot.
  for (int k = 0; k < m; ++k) {
    const double theta = 2.0 * KelMath::PI * k / m;
    const float c = float(_radius * std::cos(theta)), s = float(_radius * std::sin(theta));
    float* out = points + 3 * (m - 1 - k);
    for (int j = 0; j < 3; ++j) out[j] = _base[j] + c * p[j] + s * q[j];
  }
  if (_meshes[level]) KelGraphicPrimitive::Destroy(_meshes[level]);
  const float direction[3] = {d.x, d.y, d.z};
  _meshes[level] = new Kel3DCylinderGP(points, m, direction, height, _base, _radius);
}

void Kel3DCylinderRep::ComputeBoundingElement() {
  const Kelvector3f axis(_axisVector);
  const Kelpoint3f centre = Kelpoint3f(_base) + 0.5f * axis;
  const float half = 0.5f * axis.Norm();
  SetBoundingElement(Kel3DBoundingSphere(centre, std::sqrt(half * half + _radius * _radius), 0.0f));
}

const Kel3DCylinderGP* Kel3DCylinderRep::GetMesh(int level) const {
  if (level < 0 || level + 1 >= _nbLevels) return nullptr;
  return _meshes[level];
}

void Kel3DCylinderRep::DrawShading(KelRender& render, int inside) {
  if (_nbLevels <= 0) return;
  if (!OkToDraw(render, &inside)) return;
  // Without meshes on the support the finest level stands for the cylinder.
  int level = 0;
  if (render.IsMeshSeen()) level = render.Get3DLODNumber(_boundingSphere, _nbLevels, _sags.get());
  if (level < 0) level = 0;
  if (level < _nbLevels - 1) {
    SetElementKind(_attributes, kShadedKind);
    if (_meshes[level] && render.IsDrawable(_attributes)) _meshes[level]->Draw(render);
  } else {
    SetElementKind(_attributes, kLineKind);
    if (_axisLine && render.IsDrawable(_attributes)) _axisLine->Draw(render);
  }
}

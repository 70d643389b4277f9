#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel3DArcCircleGP.h>
#include <kel/render/KelRender.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kTwoPi = 2.0 * KelMath::PI;
// A full turn is 1000 units.
constexpr double kUnit = 0.002 * KelMath::PI;
}  // namespace

Kel3DArcCircleGP::Kel3DArcCircleGP(const float* center, const float* normal, const float* axis,
                                   const float radius, const float start, const float end)
    : _sphere(Kelpoint3f(center), radius, 0.0f), _radius(radius), _start(start), _end(end) {
  if (_end < _start) _end += kTwoPi;
  if (_start < 0.0) {
    _start += kTwoPi;
    _end += kTwoPi;
  }
  _cosStart = std::cos(_start);
  _sinStart = std::sin(_start);
  const Kelvector3f n(normal), a(axis);
  _frame.SetComponents(a, n ^ a, n, Kelpoint3f(center));
}

int Kel3DArcCircleGP::ComputePointCount(double s) const {
  if (!(_radius > 0.0)) return 0;
  // Beyond 1 - s/r in [-1, 1] acos has no value: a sag past the diameter
  // means one segment per half turn.
  double c = 1.0 - s / _radius;
  if (!(c < 1.0)) c = 1.0;
  if (c < -1.0) c = -1.0;
  double a = 2.0 * std::acos(c);
  if (MIN_SEGMENT_ANGLE - a > -0.001) a = MIN_SEGMENT_ANGLE;
  const float perTurn = float(int(kTwoPi / kUnit + 0.5)) / float(int(a / kUnit + 0.5));
  // More than a turn would only draw the circle again.
  const double span = std::min(_end - _start, kTwoPi);
  return int(span * perTurn / kTwoPi + 0.5);
}

void Kel3DArcCircleGP::ImmediateDraw(KelRender& render, const KelViewpoint*, const KelViewport*) {
  const int n = std::min(ComputePointCount(std::fabs(render.Get3DModelSag(_sphere))), MAX_POINTS);
  if (n < 3) return;
  const double step = std::min(_end - _start, kTwoPi) / (n - 1);
  const double cs = std::cos(step), sn = std::sin(step);
  double x = _radius, y = 0.0;
  if (std::fabs(_start) >= 0.001) {
    x = _radius * _cosStart;
    y = _radius * _sinStart;
  }
  float points[3 * MAX_POINTS];
  for (int k = 0; k < n; ++k) {
    const Kelpoint3f p = _frame * Kelpoint3f(float(x), float(y), 0.0f);
    points[3 * k] = p.x;
    points[3 * k + 1] = p.y;
    points[3 * k + 2] = p.z;
    const double nx = x * cs - y * sn;
    y = x * sn + y * cs;
    x = nx;
  }
  render.ImmediateDraw3DPolyline(points, n);
}

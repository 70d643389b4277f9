#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel2DArcCircleGP.h>
#include <kel/render/KelRender.h>
#include <kel/viewpoints/Kel2DViewport.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = KelMath::PI;
constexpr double kTwoPi = 2.0 * KelMath::PI;
constexpr double kHalfPi = 0.5 * KelMath::PI;
constexpr double kUnit = 0.002 * KelMath::PI;  // a full turn is 1000 units
constexpr double kFinest = 0.025132741;        // 4 units
constexpr double kTolerance = 0.001;

// Angular intervals within [0, 2 pi], in increasing order.
struct Intervals {
  static constexpr int kCapacity = 8;
  double lo[kCapacity];
  double hi[kCapacity];
  int n = 0;

  void Add(double a, double b) {
    if (!(b > a) || n == kCapacity) return;
    lo[n] = a;
    hi[n] = b;
    ++n;
  }
  // The arc from a to b (a <= b, at most a turn, possibly beyond 0 or 2 pi).
  void AddArc(double a, double b) {
    if (a < 0.0) {
      Add(0.0, b);
      Add(a + kTwoPi, kTwoPi);
    } else if (b > kTwoPi) {
      Add(0.0, b - kTwoPi);
      Add(a, kTwoPi);
    } else {
      Add(a, b);
    }
    Sort();
  }
  void Sort() {
    for (int i = 1; i < n; ++i)
      for (int j = i; j > 0 && lo[j] < lo[j - 1]; --j) {
        std::swap(lo[j], lo[j - 1]);
        std::swap(hi[j], hi[j - 1]);
      }
  }
  void Intersect(const Intervals& o) {
    Intervals r;
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < o.n; ++j) r.Add(std::max(lo[i], o.lo[j]), std::min(hi[i], o.hi[j]));
    *this = r;
  }
};

double Acos(double c) {
  return std::acos(std::clamp(c, -1.0, 1.0));
}

}  // namespace

Kel2DArcCircleGP::Kel2DArcCircleGP(const float* center, const float radius, const float start,
                                   const float end, const int mode)
    : _center{center[0], center[1]},
      _radius(radius),
      _squaredRadius(radius * radius),
      _start(start),
      _end(end),
      _mode(mode) {
  if (!std::isfinite(_start) || !std::isfinite(_end)) {
    _start = _end = 0.0;
    return;
  }
  double span = _end - _start;
  if (span < 0.0) span += kTwoPi;
  if (span < 0.0) span = std::fmod(span, kTwoPi) + kTwoPi;
  span = std::min(span, kTwoPi);
  // Any start, however many turns away, into [0, 2 pi).
  _start -= kTwoPi * std::floor(_start / kTwoPi);
  if (_start >= kTwoPi) _start = 0.0;
  _end = _start + span;
}

int Kel2DArcCircleGP::ClipRectangle(const Kel2DViewport* viewport, double* starts,
                                    double* ends) const {
  if (!(_radius > 0.0)) return 0;
  Intervals arc;
  if (_end - kTwoPi > kTolerance) {
    arc.Add(0.0, _end - kTwoPi);
    arc.Add(_start, kTwoPi);
  } else {
    arc.Add(_start, _end);
  }
  if (viewport) {
    float xmin, xmax, ymin, ymax;
    viewport->GetParameter(&xmin, &xmax, &ymin, &ymax);
    const float x1 = xmin - float(_center[0]), x2 = xmax - float(_center[0]);
    const float y1 = ymin - float(_center[1]), y2 = ymax - float(_center[1]);
    const float r = float(_radius);
    if (x1 - r > -kTolerance || x2 + r < kTolerance || y1 - r > -kTolerance || y2 + r < kTolerance)
      return 0;
    if (_mode == 0) {
      // The view inside the circle shows none of it.
      const float r2 = float(_squaredRadius);
      auto inside = [r2](float x, float y) { return r2 - x * x - y * y > kTolerance; };
      if (inside(x1, y1) && inside(x1, y2) && inside(x2, y1) && inside(x2, y2)) return 0;
      // Each side that cuts the circle leaves the angles on the view's side.
      const double rr = _radius;
      if (x2 - r < -kTolerance) {
        const double a = Acos(x2 / rr);
        Intervals s;
        s.AddArc(a, kTwoPi - a);
        arc.Intersect(s);
      }
      if (x1 + r > kTolerance) {
        const double b = Acos(-x1 / rr);
        Intervals s;
        s.AddArc(b - kPi, kPi - b);
        arc.Intersect(s);
      }
      if (y2 - r < -kTolerance) {
        const double d = Acos(y2 / rr);
        Intervals s;
        s.AddArc(kHalfPi + d, kHalfPi - d + kTwoPi);
        arc.Intersect(s);
      }
      if (y1 + r > kTolerance) {
        const double e = Acos(-y1 / rr);
        Intervals s;
        s.AddArc(e - kHalfPi, 3.0 * kHalfPi - e);
        arc.Intersect(s);
      }
    }
  }
  // Touching pieces are one; never more than the caller's arrays hold.
  int k = 0;
  for (int i = 0; i < arc.n; ++i) {
    if (k > 0 && arc.lo[i] - ends[k - 1] < kTolerance) {
      ends[k - 1] = std::max(ends[k - 1], arc.hi[i]);
      continue;
    }
    if (k == MAX_INTERVALS) break;
    starts[k] = arc.lo[i];
    ends[k] = arc.hi[i];
    ++k;
  }
  return k;
}

int Kel2DArcCircleGP::ComputePoints(double start, double end, double s, float* points) const {
  if (!(_radius > 0.0)) return 0;
  // Segment angle for the tolerance; a sag past the diameter has no angle
  // (acos of less than -1): a half turn then.
  double c = 1.0 - s / _radius;
  if (!(c < 1.0)) c = 1.0;
  double a = 2.0 * std::acos(std::max(c, -1.0));
  if (kFinest - a > -kTolerance) a = kFinest;
  const int m = static_cast<int>(a / kUnit + 0.5);
  const int i0 = static_cast<int>(start / kUnit + 0.5);
  const int i1 = static_cast<int>(end / kUnit + 0.5);
  int steps = std::clamp((i1 - i0) / m, 0, MAX_POINTS - 2);
  // The steps are counted in whole units: the last turned point may fall past
  // the end. It is left out, rather than moved onto the end's x or y, which
  // would take it off the circle (drawn where nothing can be picked).
  while (steps > 0 && steps * a > end - start + kTolerance) --steps;
  const int n = steps + 2;
  double c0, s0;
  if (std::fabs(start) < kTolerance) {
    c0 = 1.0;
    s0 = start;
  } else {
    c0 = std::cos(start);
    s0 = std::sin(start);
  }
  double ce, se;
  if (std::fabs(kTwoPi - end + start) < kTolerance) {
    ce = c0;
    se = s0;
  } else if (i1 == 1000) {
    ce = 1.0;
    se = 0.0;
  } else {
    ce = std::cos(end);
    se = std::sin(end);
  }
  const double cx = _center[0], cy = _center[1], r = _radius;
  double x = r * c0, y = r * s0;
  if (std::fabs(start) < kTolerance) y = 0.0;
  const double ca = std::cos(a), sa = std::sin(a);
  for (int i = 0; i <= steps; ++i) {
    points[2 * i] = static_cast<float>(cx + x);
    points[2 * i + 1] = static_cast<float>(cy + y);
    const double nx = x * ca - y * sa;
    y = x * sa + y * ca;
    x = nx;
  }
  points[2 * (n - 1)] = static_cast<float>(cx + r * ce);
  points[2 * (n - 1) + 1] = static_cast<float>(cy + r * se);
  return n;
}

void Kel2DArcCircleGP::ImmediateDraw(KelRender& render, const KelViewpoint*,
                                     const KelViewport* viewport) {
  double starts[MAX_INTERVALS], ends[MAX_INTERVALS];
  const int k = ClipRectangle(dynamic_cast<const Kel2DViewport*>(viewport), starts, ends);
  const double s = render.Get2DModelSag();
  float points[2 * MAX_POINTS];
  for (int i = k - 1; i >= 0; --i) {
    const int n = ComputePoints(starts[i], ends[i], s, points);
    if (_mode == 0)
      render.ImmediateDraw2DPolyline(points, n);
    else
      render.ImmediateDraw2DPolygon(points, n, _mode);
  }
}

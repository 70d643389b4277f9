#include <kel/framework/KelMath.h>
#include <kel/framework/KelMathFunctions.h>
#include <kel/framework/KelMathPoint.h>
#include <kel/framework/KelMathVector.h>

#include <cmath>

namespace {
KelMathVector V(const Keldirection3f& d) {
  return {d.x, d.y, d.z};
}

// Angle between the lines of a and b, in [0, pi].
double AngleBetween(const KelMathVector& a, const KelMathVector& b) {
  return std::atan2((a ^ b).Norm(), a * b);
}
}  // namespace

int Special_angle(const Keldirection3f& a, const Keldirection3f& b, double tolerance) {
  const double angle = AngleBetween(V(a), V(b));
  return angle <= tolerance || angle >= KelMath::PI - tolerance;
}

double Value_angle(const Keldirection3f& a, const Keldirection3f& b, const Keldirection3f& axis) {
  KelMathVector n = V(axis);
  n = n / n.Norm();
  const KelMathVector u = V(a) - n * (V(a) * n);
  const KelMathVector v = V(b) - n * (V(b) * n);
  if (u.Norm() <= KelMath::ZERO_MACHINE || v.Norm() <= KelMath::ZERO_MACHINE) return 0.0;
  double angle = std::atan2((u ^ v) * n, u * v);
  if (angle < 0.0) angle += 2.0 * KelMath::PI;
  // A tiny negative angle would round up to exactly 2pi.
  return angle >= 2.0 * KelMath::PI ? 0.0 : angle;
}

double Value_angle(const Keldirection2f& a, const Keldirection2f& b) {
  const double cross = static_cast<double>(a.x) * b.y - static_cast<double>(a.y) * b.x;
  const double dot = static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y;
  double angle = std::atan2(cross, dot);
  if (angle < 0.0) angle += 2.0 * KelMath::PI;
  return angle >= 2.0 * KelMath::PI ? 0.0 : angle;
}

double KelDistPtLn(const Kelpoint3f& point, const Kelpoint3f& linePoint,
                   const Keldirection3f& direction, Kelpoint3f& foot) {
  const KelMathPoint p(point), o(linePoint);
  const KelMathVector d = V(direction);
  const KelMathPoint f = o + d * (((p - o) * d) / d.SquareNorm());
  foot = f.ToPoint3f();
  return p.DistanceTo(f);
}

double KelDistLnLn(const Kelpoint3f& p1, const Keldirection3f& d1, const Kelpoint3f& p2,
                   const Keldirection3f& d2, Kelpoint3f& on1, Kelpoint3f& on2) {
  const KelMathPoint a(p1), b(p2);
  const KelMathVector u = V(d1), v = V(d2), w = a - b;
  const double uu = u * u, uv = u * v, vv = v * v, uw = u * w, vw = v * w;
  const double det = uu * vv - uv * uv;
  double s = 0.0, t;
  // For unit directions det is the squared sine of their angle.
  if (det <= KelMath::ZERO_MACHINE * uu * vv) {
    t = vw / vv;
  } else {
    s = (uv * vw - vv * uw) / det;
    t = (uu * vw - uv * uw) / det;
  }
  const KelMathPoint q1 = a + u * s, q2 = b + v * t;
  on1 = q1.ToPoint3f();
  on2 = q2.ToPoint3f();
  return q1.DistanceTo(q2);
}

int KelInterPlnLn(const Kelpoint3f& linePoint, const Keldirection3f& direction,
                  const Kelpoint3f& planePoint, const Keldirection3f& normal, Kelpoint3f& result) {
  const KelMathVector d = V(direction), n = V(normal);
  const double dn = d * n;
  if (std::fabs(dn) <= KelMath::ZERO_MACHINE) return 0;
  const KelMathPoint p(linePoint);
  const double t = ((KelMathPoint(planePoint) - p) * n) / dn;
  result = (p + d * t).ToPoint3f();
  return 1;
}

void KelPlaneAxes(const Keldirection3f& normal, Keldirection3f& u, Keldirection3f& v) {
  const KelMathVector n = V(normal);
  // Start from the coordinate axis furthest from the normal: it never lies
  // along it.
  const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  KelMathVector e(1.0, 0.0, 0.0);
  if (ay < ax && ay <= az) e = KelMathVector(0.0, 1.0, 0.0);
  if (az < ax && az < ay) e = KelMathVector(0.0, 0.0, 1.0);
  KelMathVector a = e - n * (e * n);
  a = a / a.Norm();
  const KelMathVector b = n ^ a;
  u = Keldirection3f::Unchecked(static_cast<float>(a.x), static_cast<float>(a.y),
                                static_cast<float>(a.z));
  v = Keldirection3f::Unchecked(static_cast<float>(b.x), static_cast<float>(b.y),
                                static_cast<float>(b.z));
}

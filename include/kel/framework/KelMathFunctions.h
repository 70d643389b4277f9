// Angle, distance and intersection functions of the mathematics service.
// Computations run in double precision; angles are in radians.
#pragma once

#include <kel/framework/Keldirection2f.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>

// 1 when the lines of `a` and `b` make an angle of at most `tolerance`, that is
// when the directions are parallel or opposite within it; else 0.
int Special_angle(const Keldirection3f& a, const Keldirection3f& b, double tolerance);

// The angle that turns `a` onto `b` by the right hand about `axis`, in [0, 2pi).
// `a` and `b` are seen in the plane normal to `axis`; when either lies along
// the axis the answer is 0.
double Value_angle(const Keldirection3f& a, const Keldirection3f& b, const Keldirection3f& axis);
// The counter-clockwise angle from `a` to `b`, in [0, 2pi).
double Value_angle(const Keldirection2f& a, const Keldirection2f& b);

// Distance from `point` to the line through `linePoint` along `direction`;
// `foot` receives the nearest point of the line.
double KelDistPtLn(const Kelpoint3f& point, const Kelpoint3f& linePoint,
                   const Keldirection3f& direction, Kelpoint3f& foot);

// Distance between the lines (p1, d1) and (p2, d2); `on1` and `on2` receive
// the points of each line nearest to the other. For parallel lines `on1` is p1.
double KelDistLnLn(const Kelpoint3f& p1, const Keldirection3f& d1, const Kelpoint3f& p2,
                   const Keldirection3f& d2, Kelpoint3f& on1, Kelpoint3f& on2);

// Intersection of the line through `linePoint` along `direction` with the plane
// through `planePoint` normal to `normal`. Answers 1 and sets `result`, or 0
// with `result` unchanged when the line is parallel to the plane (within
// KelMath::ZERO_MACHINE).
int KelInterPlnLn(const Kelpoint3f& linePoint, const Keldirection3f& direction,
                  const Kelpoint3f& planePoint, const Keldirection3f& normal, Kelpoint3f& result);

// Two axes of the plane normal to `normal`: unit, perpendicular to it and to
// each other, with u x v = normal. The normal nearest to z gives x and y.
void KelPlaneAxes(const Keldirection3f& normal, Keldirection3f& u, Keldirection3f& v);

// A 2D point of two doubles.
#pragma once

class Kelpoint2d {
 public:
  double x = 0.0, y = 0.0;
  constexpr Kelpoint2d() = default;
  constexpr Kelpoint2d(double ax, double ay) : x(ax), y(ay) {}
  bool operator==(const Kelpoint2d& b) const { return x == b.x && y == b.y; }
};

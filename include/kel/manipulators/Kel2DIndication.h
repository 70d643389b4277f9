// The 2D point under the cursor in a 2D viewpoint, in double precision, as a
// manipulator answers it to its father's query.
#pragma once

#include <kel/framework/Kelpoint2d.h>
#include <kel/framework/Kelpoint2f.h>

class Kel2DIndication {
 public:
  Kel2DIndication() = default;
  explicit Kel2DIndication(const Kelpoint2d& point) : _point(point) {}
  // Widened to doubles.
  explicit Kel2DIndication(const Kelpoint2f& point) : _point(point.x, point.y) {}
  Kel2DIndication(const Kel2DIndication& other) = default;
  Kel2DIndication& operator=(const Kel2DIndication& other) = default;

  const Kelpoint2d& GetPoint() const { return _point; }

  // The same pointer on every call: queries compare class names as pointers.
  static const char* ClassName();

 private:
  Kelpoint2d _point;
};

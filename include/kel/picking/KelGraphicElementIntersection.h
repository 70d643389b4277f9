// A hit point in double precision, as the commands that ask a manipulator
// where its Rep was hit receive it.
#pragma once

#include <kel/framework/KelMathPoint.h>

class KelGraphicElementIntersection : public KelMathPoint {
 public:
  KelGraphicElementIntersection() = default;
  explicit KelGraphicElementIntersection(const KelMathPoint& p) : KelMathPoint(p) {}
  // Widened to doubles.
  explicit KelGraphicElementIntersection(const Kelpoint3f& p) : KelMathPoint(p) {}
  KelGraphicElementIntersection(const KelGraphicElementIntersection& other) = default;
  KelGraphicElementIntersection& operator=(const KelGraphicElementIntersection& other) = default;

  static const char* ClassName();
};

// A segment in double precision, as indicators hand out lines of sight.
#pragma once

#include <kel/framework/KelMathPoint.h>

class KelIndicationSegment {
 public:
  KelIndicationSegment() = default;
  KelIndicationSegment(const KelMathPoint& first, const KelMathPoint& second)
      : _first(first), _second(second) {}
  KelIndicationSegment(const Kelpoint3f& first, const Kelpoint3f& second)
      : _first(first), _second(second) {}

  const KelMathPoint& GetFirstPoint() const { return _first; }
  const KelMathPoint& GetSecondPoint() const { return _second; }

 private:
  KelMathPoint _first;
  KelMathPoint _second;
};

// A segment of two 3D points.
#pragma once

#include <kel/framework/KelMetaObject.h>
#include <kel/framework/Kelpoint3f.h>

class Kelsegment {
 public:
  Kelpoint3f first, second;

  Kelsegment() = default;
  Kelsegment(const Kelpoint3f& a, const Kelpoint3f& b) : first(a), second(b) {}

  const Kelpoint3f& GetFirstPoint() const { return first; }
  const Kelpoint3f& GetSecondPoint() const { return second; }
  float GetLength() const { return first.DistanceTo(second); }

  // The registry's pointer for the name: queries compare class names as pointers.
  static const char* ClassName() { return fct_MetaObjectToFind("Kelsegment")->GetClassName(); }
};

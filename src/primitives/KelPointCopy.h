// The points of a 2D primitive: its own copy when it allocates, else the
// caller's array.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>

// Answers the array the primitive keeps; `copy` holds it when allocated.
inline const float* KelKeepPoints(const float* points, const int n, const int floatsPerPoint,
                                  const int allocate, std::unique_ptr<float[]>& copy) {
  if (!allocate) return points;
  const std::size_t size = static_cast<std::size_t>(n) * static_cast<std::size_t>(floatsPerPoint);
  copy.reset(new float[size]);
  std::copy(points, points + size, copy.get());
  return copy.get();
}

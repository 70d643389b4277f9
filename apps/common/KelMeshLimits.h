// How much of a mesh file the applications accept: the caps that bound the
// memory and time a file can make them spend (--max-triangles, --max-vertices).
#pragma once

struct KelMeshLimits {
  static constexpr long DEFAULT = 10000000;
  long maxTriangles = DEFAULT;  // triangles, line segments and points together
  long maxVertices = DEFAULT;
};

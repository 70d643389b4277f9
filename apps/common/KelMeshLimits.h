// How much of a mesh file the applications accept: the caps that bound the
// memory and time a file can make them spend (--max-triangles, --max-vertices).
#pragma once

struct KelMeshLimits {
  long maxTriangles = 10000000;  // triangles, line segments and points together
  // Room for a triangle soup (STL) of as many triangles: three vertices each.
  long maxVertices = 30000000;
};

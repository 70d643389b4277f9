// A convex set of at most 12 planes. Plane i holds the points where
// a[i]x + b[i]y + c[i]z + d[i] = 0; (a, b, c) is a unit normal pointing out, so
// the expression is the signed distance, positive outside. A point is inside
// when it lies on the non-positive side of every plane; no plane at all
// contains everything.
//
// Volume state codes: a mixed volume (finite and infinite parts) is outside
// only when both parts are, and inside only when both parts are. An infinite
// part is never outside and never inside, so a mixed sphere is never outside
// and never inside: its Rep is always drawn and its children always tested.
#pragma once

#include <kel/viewpoints/KelViewport.h>

class Kel3DBoundingSphere;
class Kel4x4Matrix;
class Kelpoint3f;
class Keldirection3f;

class Kel3DViewport : public KelViewport {
 public:
  static constexpr int MAX_PLANES = 12;

  // No plane.
  Kel3DViewport() = default;
  // Copies n planes. Past 12 only the first 12 are kept, and the rest reported.
  Kel3DViewport(int n, const float* a, const float* b, const float* c, const float* d);
  // Plane i passes through points[i] with the unit normal normals[i]. Clipped to 12
  // as above.
  Kel3DViewport(int n, const Kelpoint3f* points, const Keldirection3f* normals);
  Kel3DViewport(const Kel3DViewport& v);
  ~Kel3DViewport() override;

  Kel3DViewport& operator=(const Kel3DViewport& v);

  Kel3DViewport* Clone() const override;
  int SizeOf() const override;

  int GetNbPlanes() const { return _nbPlanes; }
  // Pointers to the four coefficient arrays (capacity 12), for reading and writing.
  void GetPlanes(float** a, float** b, float** c, float** d);
  void GetPlanes(const float** a, const float** b, const float** c, const float** d) const;

  // Appends the planes of v. Past 12 planes in all, the first 12 are kept and the
  // rest reported.
  Kel3DViewport& operator+=(const Kel3DViewport& v);
  // Moves every plane with M, as a solid moved by M: any invertible affine matrix,
  // uniform scaling or not.
  Kel3DViewport& operator*=(const Kel4x4Matrix& m);

  // The sphere grown by radiusMM * scale lies wholly outside one plane.
  int IsOutside(const Kel3DBoundingSphere& s, float scale) const;
  // The grown sphere lies inside every plane, tangency allowed.
  int IsInside(const Kel3DBoundingSphere& s, float scale) const;
  // The point lies further than tolerance outside one plane.
  int IsOutside(const float* point, float tolerance) const;
  // The point lies at least tolerance inside every plane.
  int IsInside(const float* point, float tolerance) const;
  // The point lies on the inner side of every plane (on a plane counts as inside).
  int IsInside(const float* point) const;

 private:
  // Copies up to the remaining capacity from the arrays at index `at`; returns the
  // number of planes dropped.
  int Store(int at, int n, const float* a, const float* b, const float* c, const float* d);

  int _nbPlanes = 0;
  float _a[MAX_PLANES] = {};
  float _b[MAX_PLANES] = {};
  float _c[MAX_PLANES] = {};
  float _d[MAX_PLANES] = {};
};

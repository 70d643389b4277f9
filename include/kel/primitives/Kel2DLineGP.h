// Separate 2D segments: (x, y) points taken two by two. With the allocate flag
// set the primitive owns a copy of the points; otherwise it refers to the
// caller's array, which must outlive it.
#pragma once

#include <kel/primitives/KelGraphicPrimitive.h>

#include <memory>

class Kelpoint2f;

class Kel2DLineGP : public KelGraphicPrimitive {
 public:
  // n points of two floats; n <= 0 or no points gives an empty line.
  Kel2DLineGP(const float* points, const int n, const int allocate);
  // Without allocation the points are kept as a float array (x, y packed).
  Kel2DLineGP(const Kelpoint2f* points, const int n, const int allocate);
  ~Kel2DLineGP() override;
  Kel2DLineGP(const Kel2DLineGP&) = delete;
  Kel2DLineGP& operator=(const Kel2DLineGP&) = delete;

  void Draw(KelRender& render) override;

  const float* GetPoints() const { return _points; }
  int GetNbPoints() const { return _nbPoints; }
  int GetAllocate() const { return _allocate; }

 private:
  const float* _points = nullptr;
  int _nbPoints = 0;
  int _allocate = 0;
  std::unique_ptr<float[]> _copy;  // the storage of _points when allocated
};

// A 2D polygon: its outline (mode 0) or its inside (any other mode, handed to
// the render as the fill flag). Ownership of the points as for the line.
#pragma once

#include <kel/primitives/KelGraphicPrimitive.h>

#include <memory>

class Kel2DPolygonGP : public KelGraphicPrimitive {
 public:
  // No points, mode 1.
  Kel2DPolygonGP() = default;
  // n <= 0 or no points gives an empty polygon.
  Kel2DPolygonGP(const float* points, const int n, const int mode, const int allocate);
  ~Kel2DPolygonGP() override;
  Kel2DPolygonGP(const Kel2DPolygonGP&) = delete;
  Kel2DPolygonGP& operator=(const Kel2DPolygonGP&) = delete;

  KEL_DECLARE_META(Kel2DPolygonGP);

  void Draw(KelRender& render) override;

  const float* GetPoints() const { return _points; }
  int GetNbPoints() const { return _nbPoints; }
  int GetMode() const { return _mode; }
  int GetAllocate() const { return _allocate; }

 private:
  const float* _points = nullptr;
  int _nbPoints = 0;
  int _mode = 1;
  int _allocate = 0;
  std::unique_ptr<float[]> _copy;  // the storage of _points when allocated
};

// Separate 3D segments: points taken two by two. With the allocate flag set the
// primitive owns a copy of the points; otherwise it refers to the caller's
// array, which must outlive it (a Rep sharing its data with its primitives).
#pragma once

#include <kel/primitives/KelGraphicPrimitive.h>

#include <memory>

class Kel3DLineGP : public KelGraphicPrimitive {
 public:
  Kel3DLineGP() = default;
  // n points of three floats; n <= 0 or no points gives an empty line.
  Kel3DLineGP(const float* points, const int n, const int allocate);
  ~Kel3DLineGP() override;
  Kel3DLineGP(const Kel3DLineGP&) = delete;
  Kel3DLineGP& operator=(const Kel3DLineGP&) = delete;

  KEL_DECLARE_META(Kel3DLineGP);

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

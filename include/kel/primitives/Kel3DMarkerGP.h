// A symbol drawn at each of its 3D points; ownership as for the line.
#pragma once

#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/primitives/SymbolType.h>

#include <memory>

class Kelpoint3f;

class Kel3DMarkerGP : public KelGraphicPrimitive {
 public:
  Kel3DMarkerGP() = default;
  // n <= 0 or no points gives an empty marker.
  Kel3DMarkerGP(const float* points, const int n, SymbolType type, const int allocate);
  // Without allocation the points are kept as a float array (x, y, z packed).
  Kel3DMarkerGP(const Kelpoint3f* points, const int n, SymbolType type, const int allocate);
  ~Kel3DMarkerGP() override;
  Kel3DMarkerGP(const Kel3DMarkerGP&) = delete;
  Kel3DMarkerGP& operator=(const Kel3DMarkerGP&) = delete;

  KEL_DECLARE_META(Kel3DMarkerGP);

  void Draw(KelRender& render) override;

  SymbolType GetSymbolType() const { return _type; }
  const float* GetPoints() const { return _points; }
  int GetNbPoints() const { return _nbPoints; }
  int GetAllocate() const { return _allocate; }

 private:
  SymbolType _type = DEFAULT_SYMBOL;
  const float* _points = nullptr;
  int _nbPoints = 0;
  int _allocate = 0;
  std::unique_ptr<float[]> _copy;  // the storage of _points when allocated
};

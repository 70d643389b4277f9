// A marker symbol drawn at each of its 2D points, the same size whatever the
// zoom; ownership of the points as for the line.
#pragma once

#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/primitives/SymbolType.h>

#include <memory>

class Kel2DMarkerGP : public KelGraphicPrimitive {
 public:
  // n <= 0 or no points gives an empty marker.
  Kel2DMarkerGP(const float* points, const int n, SymbolType type, const int allocate);
  ~Kel2DMarkerGP() override;
  Kel2DMarkerGP(const Kel2DMarkerGP&) = delete;
  Kel2DMarkerGP& operator=(const Kel2DMarkerGP&) = delete;

  void Draw(KelRender& render) override;

  SymbolType GetSymbolType() const { return _type; }
  const float* GetPoints() const { return _points; }
  int GetNbPoints() const { return _nbPoints; }
  int GetAllocate() const { return _allocate; }

 private:
  SymbolType _type;
  const float* _points = nullptr;
  int _nbPoints = 0;
  int _allocate = 0;
  std::unique_ptr<float[]> _copy;  // the storage of _points when allocated
};

// A single 2D point drawn as a marker symbol.
#pragma once

#include <kel/framework/Kelpoint2f.h>
#include <kel/primitives/SymbolType.h>
#include <kel/reps/Kel2DRep.h>

class Kel2DMarkerGP;

class Kel2DPointRep : public Kel2DRep {
 public:
  Kel2DPointRep(const float* point, SymbolType type);
  ~Kel2DPointRep() override;

  void DrawShading(KelRender& render, int inside) override;
  // Moves the point; the symbol stays.
  void Modify(const float* point);
  void Modify(const Kelpoint2f& point);

  const Kel2DMarkerGP* GetMarker() const { return _marker; }

 private:
  Kel2DMarkerGP* _marker = nullptr;
  SymbolType _type;
};

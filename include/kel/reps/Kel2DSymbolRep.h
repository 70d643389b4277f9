// A symbol of fixed size in screen millimetres at a 2D point
// (Kel2DSymbolGP, types 15 to 22).
#pragma once

#include <kel/primitives/SymbolType.h>
#include <kel/reps/Kel2DRep.h>

class Kel2DSymbolGP;

class Kel2DSymbolRep : public Kel2DRep {
 public:
  // size: the symbol's width in millimetres.
  Kel2DSymbolRep(const float* point, const float size, SymbolType type);
  ~Kel2DSymbolRep() override;

  void DrawShading(KelRender& render, int inside) override;

  const Kel2DSymbolGP* GetSymbol() const { return _symbol; }

 private:
  Kel2DSymbolGP* _symbol = nullptr;
};

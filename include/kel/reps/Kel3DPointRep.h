// A single 3D point drawn as a marker symbol.
#pragma once

#include <kel/framework/Kelpoint3f.h>
#include <kel/primitives/SymbolType.h>
#include <kel/reps/Kel3DRep.h>

class Kel3DMarkerGP;

class Kel3DPointRep : public Kel3DRep {
 public:
  Kel3DPointRep();
  Kel3DPointRep(KelModelIdentificator& id, KelVisuController* controller);
  Kel3DPointRep(const float* point, SymbolType type);
  Kel3DPointRep(const float* point, SymbolType type, KelModelIdentificator& id,
                KelVisuController* controller);
  Kel3DPointRep(const Kelpoint3f& point, SymbolType type);
  Kel3DPointRep(const Kelpoint3f& point, SymbolType type, KelModelIdentificator& id,
                KelVisuController* controller);
  ~Kel3DPointRep() override;

  KEL_DECLARE_META(Kel3DPointRep);

  void DrawShading(KelRender& render, int inside) override;
  // Moves the point; the symbol stays (1 when there was no marker).
  void Modify(const float* point);

  const Kel3DMarkerGP* GetMarker() const { return _marker; }

 private:
  void Build(const float* point, SymbolType type);

  Kel3DMarkerGP* _marker = nullptr;
};

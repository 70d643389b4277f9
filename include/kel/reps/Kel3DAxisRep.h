// An axis system: three labelled arrows of fixed screen length along the x, y
// and z directions of a frame, from its origin. Sizes are in screen
// millimetres.
#pragma once

#include <kel/framework/Kelpoint3f.h>
#include <kel/framework/Kelvector3f.h>
#include <kel/reps/Kel3DRep.h>

class Kel4x4Matrix;
class Kel3DFixedArrowGP;

class Kel3DAxisRep : public Kel3DRep {
 public:
  Kel3DAxisRep();
  Kel3DAxisRep(KelModelIdentificator& id, KelVisuController* controller);
  // Arrows labelled "X", "Y" and "Z"; a negative size is reported and 10 used.
  // The last argument is not used.
  Kel3DAxisRep(Kel4x4Matrix& frame, int size, int unused);
  Kel3DAxisRep(Kel4x4Matrix& frame, int size, int unused, KelModelIdentificator& id,
               KelVisuController* controller);
  // A size below 1 is reported and all three become 10.
  Kel3DAxisRep(Kel4x4Matrix& frame, int sizeX, const char* textX, int sizeY, const char* textY,
               int sizeZ, const char* textZ);
  Kel3DAxisRep(Kel4x4Matrix& frame, int sizeX, const char* textX, int sizeY, const char* textY,
               int sizeZ, const char* textZ, KelModelIdentificator& id,
               KelVisuController* controller);
  ~Kel3DAxisRep() override;

  KEL_DECLARE_META(Kel3DAxisRep);

  void DrawShading(KelRender& render, int inside) override;

  // Arrow k = 0 (x), 1 (y), 2 (z).
  const Kel3DFixedArrowGP* GetArrow(int k) const;
  // The frame it was built from: its axes (as given) and origin.
  const Kelvector3f& GetFrameAxis(int k) const { return _frameAxes[k < 0 || k > 2 ? 0 : k]; }
  const Kelpoint3f& GetOrigin() const { return _origin; }

 private:
  void InitOneSize(Kel4x4Matrix& frame, int size);
  void Build(Kel4x4Matrix& frame, const int sizes[3], const char* const texts[3]);

  Kel3DFixedArrowGP* _arrows[3] = {nullptr, nullptr, nullptr};
  Kelvector3f _frameAxes[3];
  Kelpoint3f _origin;
};

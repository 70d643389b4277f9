// A symbol drawn at a fixed size in screen millimetres around a 2D position:
// types 15 to 22 (circles, discs, squares and triangles, hollow ones filled in
// the background colour 254); other types draw nothing.
#pragma once

#include <kel/primitives/KelDynamicGP.h>
#include <kel/primitives/SymbolType.h>

class Kel2DSymbolGP : public KelDynamicGP {
 public:
  // size: the symbol's full width in millimetres.
  Kel2DSymbolGP(const float* position, const float size, SymbolType type);

  void ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                     const KelViewport* viewport) override;

  const float* GetPosition() const { return _position; }
  float GetSize() const { return _size; }
  SymbolType GetSymbolType() const { return _type; }

 protected:
  // Fills `points` in the background colour, then gives the colour in force
  // back for the outline that follows.
  static void FillInBackground(KelRender& render, const float* points, const int n);

  float _position[2];
  float _size;
  SymbolType _type;
};

// A small square marking a plane, of a fixed size in screen millimetres, drawn
// as its closed outline. Its geometry is made at draw time from the camera.
#pragma once

#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/primitives/KelDynamicGP.h>

class Kel3DFixedPlanGP : public KelDynamicGP {
 public:
  Kel3DFixedPlanGP() = default;
  // The sides run along a and b: the diagonals are a + b and a - b.
  Kel3DFixedPlanGP(const Kelpoint3f center, const Keldirection3f a, const Keldirection3f b,
                   const float size);

  KEL_DECLARE_META(Kel3DFixedPlanGP);

  void ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                     const KelViewport* viewport) override;

  const Kelpoint3f& GetCenter() const { return _center; }
  const Keldirection3f& GetFirstDiagonal() const { return _firstDiagonal; }
  const Keldirection3f& GetSecondDiagonal() const { return _secondDiagonal; }
  float GetSize() const { return _size; }

 private:
  Kelpoint3f _center;
  Keldirection3f _firstDiagonal;
  Keldirection3f _secondDiagonal;
  float _size = 0.0f;
};

// Four corner brackets around a point of the window, in pixels of the
// overlay (y upwards): the side translation of the 3D viewpoint editor shows
// it around the press position. Drawn in the highlight colour; never picked.
// Its segment primitive lives only while it is drawn.
#pragma once

#include <kel/framework/Kelpoint2d.h>
#include <kel/reps/Kel2DRep.h>

class KelSightsRep : public Kel2DRep {
 public:
  // `halfSize`: from the centre to the sides of the square; `length`: of
  // each bracket's arms.
  KelSightsRep(const Kelpoint2d& centre, const int halfSize, const int length);
  ~KelSightsRep() override;
  KelSightsRep(const KelSightsRep&) = delete;
  KelSightsRep& operator=(const KelSightsRep&) = delete;

  KEL_DECLARE_META(KelSightsRep);

  void DrawShading(KelRender& render, int inside) override;

  // The 8 segments (16 points, x y each) that DrawShading draws.
  void GetSegments(float* points) const;

 private:
  Kelpoint2d _centre;
  int _halfSize;
  int _length;
};

// Turns a 3D Rep about the axis through `point` along `direction`.
#pragma once

#include <kel/manipulators/Kel3DManipulator.h>

class Kel3DAxisRotator : public Kel3DManipulator {
 public:
  Kel3DAxisRotator(KelCommand* father, Kel3DRep* rep, const Keldirection3f& direction,
                   const Kelpoint3f& point);
  Kel3DAxisRotator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                   const Keldirection3f& direction, const Kelpoint3f& point);
  ~Kel3DAxisRotator() override;

  KEL_DECLARE_META(Kel3DAxisRotator);
};

// Turns a 3D Rep freely about `point` (virtual sphere through the dragged
// point). A dragged point at the centre turns nothing.
#pragma once

#include <kel/manipulators/Kel3DManipulator.h>

class Kel3DRotator : public Kel3DManipulator {
 public:
  Kel3DRotator(KelCommand* father, Kel3DRep* rep, const Kelpoint3f& point);
  Kel3DRotator(KelCommand* father, const KelString& name, Kel3DRep* rep, const Kelpoint3f& point);
  ~Kel3DRotator() override;

  KEL_DECLARE_META(Kel3DRotator);
};

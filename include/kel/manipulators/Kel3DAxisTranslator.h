// Drags a 3D Rep along one direction: the dragged point follows the point of
// that line nearest to the cursor ray.
#pragma once

#include <kel/manipulators/Kel3DManipulator.h>

class Kel3DAxisTranslator : public Kel3DManipulator {
 public:
  Kel3DAxisTranslator(KelCommand* father, Kel3DRep* rep, const Keldirection3f& direction);
  Kel3DAxisTranslator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                      const Keldirection3f& direction);
  ~Kel3DAxisTranslator() override;

  KEL_DECLARE_META(Kel3DAxisTranslator);
};

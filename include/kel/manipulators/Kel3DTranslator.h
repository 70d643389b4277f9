// Drags a 3D Rep in the plane of `first` and `second` through the dragged
// point; with Shift held, in whichever of the planes normal to `first` and to
// `second` faces the viewer best.
#pragma once

#include <kel/manipulators/Kel3DManipulator.h>

class Kel3DTranslator : public Kel3DManipulator {
 public:
  Kel3DTranslator(KelCommand* father, Kel3DRep* rep, const Keldirection3f& first,
                  const Keldirection3f& second, const Kelpoint3f& point);
  Kel3DTranslator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                  const Keldirection3f& first, const Keldirection3f& second,
                  const Kelpoint3f& point);
  ~Kel3DTranslator() override;

  KEL_DECLARE_META(Kel3DTranslator);
};

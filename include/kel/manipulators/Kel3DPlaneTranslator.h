// Drags a 3D Rep in a plane through the dragged point: the plane normal to
// `normal`, whose axes the translator derives, or the plane of two directions.
#pragma once

#include <kel/manipulators/Kel3DManipulator.h>

class Kel3DPlaneTranslator : public Kel3DManipulator {
 public:
  Kel3DPlaneTranslator(KelCommand* father, Kel3DRep* rep, const Keldirection3f& normal);
  Kel3DPlaneTranslator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                       const Keldirection3f& normal);
  Kel3DPlaneTranslator(KelCommand* father, Kel3DRep* rep, const Keldirection3f& first,
                       const Keldirection3f& second);
  Kel3DPlaneTranslator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                       const Keldirection3f& first, const Keldirection3f& second);
  ~Kel3DPlaneTranslator() override;

  KEL_DECLARE_META(Kel3DPlaneTranslator);
};

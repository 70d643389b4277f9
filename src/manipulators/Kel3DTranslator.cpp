#include <kel/manipulators/Kel3DTranslator.h>

KEL_IMPLEMENT_META(Kel3DTranslator, Kel3DManipulator)

Kel3DTranslator::Kel3DTranslator(KelCommand* father, Kel3DRep* rep, const Keldirection3f& first,
                                 const Keldirection3f& second, const Kelpoint3f& point)
    : Kel3DManipulator(father, rep, KelPlaneTranslation, KelFacingPlaneTranslation) {
  SetReferenceAxis(first, second, point);
}

Kel3DTranslator::Kel3DTranslator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                                 const Keldirection3f& first, const Keldirection3f& second,
                                 const Kelpoint3f& point)
    : Kel3DManipulator(father, name, rep, KelPlaneTranslation, KelFacingPlaneTranslation) {
  SetReferenceAxis(first, second, point);
}

Kel3DTranslator::~Kel3DTranslator() = default;

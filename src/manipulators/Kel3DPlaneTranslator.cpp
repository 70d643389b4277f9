#include <kel/manipulators/Kel3DPlaneTranslator.h>

KEL_IMPLEMENT_META(Kel3DPlaneTranslator, Kel3DManipulator)

Kel3DPlaneTranslator::Kel3DPlaneTranslator(KelCommand* father, Kel3DRep* rep,
                                           const Keldirection3f& normal)
    : Kel3DManipulator(father, rep, KelPlaneTranslation, KelNoManipulation) {
  SetPlaneNormal(normal);
}

Kel3DPlaneTranslator::Kel3DPlaneTranslator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                                           const Keldirection3f& normal)
    : Kel3DManipulator(father, name, rep, KelPlaneTranslation, KelNoManipulation) {
  SetPlaneNormal(normal);
}

Kel3DPlaneTranslator::Kel3DPlaneTranslator(KelCommand* father, Kel3DRep* rep,
                                           const Keldirection3f& first,
                                           const Keldirection3f& second)
    : Kel3DManipulator(father, rep, KelPlaneTranslation, KelNoManipulation) {
  SetReferenceAxis(first, second);
}

Kel3DPlaneTranslator::Kel3DPlaneTranslator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                                           const Keldirection3f& first,
                                           const Keldirection3f& second)
    : Kel3DManipulator(father, name, rep, KelPlaneTranslation, KelNoManipulation) {
  SetReferenceAxis(first, second);
}

Kel3DPlaneTranslator::~Kel3DPlaneTranslator() = default;

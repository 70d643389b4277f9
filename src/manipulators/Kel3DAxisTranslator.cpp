#include <kel/manipulators/Kel3DAxisTranslator.h>

KEL_IMPLEMENT_META(Kel3DAxisTranslator, Kel3DManipulator)

Kel3DAxisTranslator::Kel3DAxisTranslator(KelCommand* father, Kel3DRep* rep,
                                         const Keldirection3f& direction)
    : Kel3DManipulator(father, rep, KelAxisTranslation, KelNoManipulation) {
  SetReferenceAxis(direction);
}

Kel3DAxisTranslator::Kel3DAxisTranslator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                                         const Keldirection3f& direction)
    : Kel3DManipulator(father, name, rep, KelAxisTranslation, KelNoManipulation) {
  SetReferenceAxis(direction);
}

Kel3DAxisTranslator::~Kel3DAxisTranslator() = default;

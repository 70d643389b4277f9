#include <kel/manipulators/Kel3DAxisRotator.h>

KEL_IMPLEMENT_META(Kel3DAxisRotator, Kel3DManipulator)

Kel3DAxisRotator::Kel3DAxisRotator(KelCommand* father, Kel3DRep* rep,
                                   const Keldirection3f& direction, const Kelpoint3f& point)
    : Kel3DManipulator(father, rep, KelAxisRotation, KelNoManipulation) {
  SetReferenceAxis(direction, point);
}

Kel3DAxisRotator::Kel3DAxisRotator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                                   const Keldirection3f& direction, const Kelpoint3f& point)
    : Kel3DManipulator(father, name, rep, KelAxisRotation, KelNoManipulation) {
  SetReferenceAxis(direction, point);
}

Kel3DAxisRotator::~Kel3DAxisRotator() = default;

#include <kel/manipulators/Kel3DRotator.h>

KEL_IMPLEMENT_META(Kel3DRotator, Kel3DManipulator)

Kel3DRotator::Kel3DRotator(KelCommand* father, Kel3DRep* rep, const Kelpoint3f& point)
    : Kel3DManipulator(father, rep, KelFreeRotation, KelNoManipulation) {
  SetReferenceAxis(point);
}

Kel3DRotator::Kel3DRotator(KelCommand* father, const KelString& name, Kel3DRep* rep,
                           const Kelpoint3f& point)
    : Kel3DManipulator(father, name, rep, KelFreeRotation, KelNoManipulation) {
  SetReferenceAxis(point);
}

Kel3DRotator::~Kel3DRotator() = default;

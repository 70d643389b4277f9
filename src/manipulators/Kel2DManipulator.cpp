#include <kel/controller/KelVueNotification.h>
#include <kel/manipulators/Kel2DManipulator.h>
#include <kel/reps/Kel2DRep.h>
#include <kel/viewers/KelViewerEvent.h>

#include "KelManipulatorEvents.h"

KEL_IMPLEMENT_META(Kel2DManipulator, KelManipulator)

Kel2DManipulator::Kel2DManipulator(KelCommand* father, Kel2DRep* rep)
    : KelManipulator(father, rep) {}

Kel2DManipulator::Kel2DManipulator(KelCommand* father, const KelString& name, Kel2DRep* rep)
    : KelManipulator(father, name, rep) {}

Kel2DManipulator::~Kel2DManipulator() = default;

void Kel2DManipulator::SetObjectPosition(const Kel3x3Matrix& matrix) {
  _objectPosition = matrix;
  _positionEvent.SetMatrix(matrix);
}

int Kel2DManipulator::Translate(const Kelvector2f& delta, KelViewerEvent& event) {
  _objectPosition.SetTranslation(_objectPosition.GetTranslation() + delta);
  _positionEvent.SetMatrix(_objectPosition);
  _positionEvent.SetBasicEvent(&event);
  _positionEvent.SetTimeStamp(event.GetTimeStamp());
  return KelManipulator::Manipulate(&_positionEvent, nullptr);
}

void* Kel2DManipulator::SendCommandSpecificObject(const char* className,
                                                  KelNotification* notification) {
  return kelmanip::AnswerPositionQuery<Kel2DPositionEvent>(*this, "Kel2DPositionEvent", className,
                                                           notification, _matrixAnswer);
}

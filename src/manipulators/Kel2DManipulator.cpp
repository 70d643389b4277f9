#include <kel/controller/KelVueNotification.h>
#include <kel/manipulators/Kel2DManipulator.h>
#include <kel/reps/Kel2DRep.h>
#include <kel/viewers/KelViewerEvent.h>

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
  if (!notification || !notification->IsAKindOf("KelVueNotification")) return nullptr;
  auto* vue = static_cast<KelVueNotification*>(notification);
  KelNotification* data = vue->GetDataNotification();
  if (data && data->IsAKindOf("KelViewerEvent"))
    return KelManipulator::SendCommandSpecificObject(className, notification);
  if (!data || !data->IsAKindOf("Kel2DPositionEvent")) return nullptr;
  auto* position = static_cast<Kel2DPositionEvent*>(data);
  if (className == Kel3x3Matrix::ClassName()) {
    _matrixAnswer = position->GetMatrix();
    return &_matrixAnswer;
  }
  vue->SetDataNotification(position->GetBasicEvent());
  void* answer = KelManipulator::SendCommandSpecificObject(className, notification);
  vue->SetDataNotification(position);
  return answer;
}

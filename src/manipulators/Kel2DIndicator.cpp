#include <kel/manipulators/Kel2DIndicator.h>

#include <kel/controller/KelVueNotification.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

KEL_IMPLEMENT_META(Kel2DIndicator, KelIndicator)

Kel2DIndicator::Kel2DIndicator(KelCommand* father, Kel2DViewpoint& viewpoint)
    : KelIndicator(father, &viewpoint) {}

Kel2DIndicator::Kel2DIndicator(KelCommand* father, const KelString& name, Kel2DViewpoint& viewpoint)
    : KelIndicator(father, name, &viewpoint) {}

Kel2DIndicator::~Kel2DIndicator() = default;

Kel2DViewpoint* Kel2DIndicator::Get2DViewpoint() const {
  return static_cast<Kel2DViewpoint*>(_viewpoint);
}

void Kel2DIndicator::SetObjectPosition(const Kel3x3Matrix& matrix) {
  _objectPosition = matrix;
  _positionEvent.SetMatrix(matrix);
}

void* Kel2DIndicator::SendCommandSpecificObject(const char* className,
                                                KelNotification* notification) {
  if (className == Kel2DIndication::ClassName() && notification &&
      notification->IsAKindOf("KelVueNotification")) {
    KelNotification* data = static_cast<KelVueNotification*>(notification)->GetDataNotification();
    if (data && data->IsAKindOf("KelIndicateEvent")) {
      const Kelpoint3f& p = static_cast<KelIndicateEvent*>(data)->GetNearPoint();
      _2DIndication = Kel2DIndication(Kelpoint2d(p.x, p.y));
      return &_2DIndication;
    }
  }
  return KelIndicator::SendCommandSpecificObject(className, notification);
}

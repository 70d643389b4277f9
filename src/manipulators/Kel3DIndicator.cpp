#include <kel/manipulators/Kel3DIndicator.h>

#include <kel/controller/KelVueNotification.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

KEL_IMPLEMENT_META(Kel3DIndicator, KelIndicator)

Kel3DIndicator::Kel3DIndicator(KelCommand* father, Kel3DViewpoint& viewpoint)
    : KelIndicator(father, &viewpoint) {}

Kel3DIndicator::Kel3DIndicator(KelCommand* father, const KelString& name, Kel3DViewpoint& viewpoint)
    : KelIndicator(father, name, &viewpoint) {}

Kel3DIndicator::~Kel3DIndicator() = default;

Kel3DViewpoint* Kel3DIndicator::Get3DViewpoint() const {
  return static_cast<Kel3DViewpoint*>(_viewpoint);
}

void* Kel3DIndicator::SendCommandSpecificObject(const char* className,
                                                KelNotification* notification) {
  KelNotification* data =
      notification && notification->IsAKindOf("KelVueNotification")
          ? static_cast<KelVueNotification*>(notification)->GetDataNotification()
          : nullptr;
  if (className && data && data->IsAKindOf("KelIndicateEvent")) {
    const KelIndicateEvent& event = *static_cast<KelIndicateEvent*>(data);
    if (className == Kelsegment::ClassName()) {
      _segment = Kelsegment(event.GetNearPoint(), event.GetFarPoint());
      return &_segment;
    }
    if (className == fct_MetaObjectToFind("KelIndicationSegment")->GetClassName()) {
      _indicationSegment = KelIndicationSegment(event.GetNearPoint(), event.GetFarPoint());
      return &_indicationSegment;
    }
  }
  return KelIndicator::SendCommandSpecificObject(className, notification);
}

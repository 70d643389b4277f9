#include <kel/viewers/KelIndicateEvent.h>

KEL_IMPLEMENT_META(KelIndicateEvent, KelViewerEvent)

KelIndicateEvent::KelIndicateEvent(const Kelpoint3f& nearPoint, const Kelpoint3f& farPoint,
                                   KelViewpoint* viewpoint, const KelViewerEvent* event)
    : KelViewerEvent(event ? event->GetDeviceEvent() : nullptr,
                     event ? event->GetPickPath() : nullptr),
      _near(nearPoint),
      _far(farPoint),
      _viewpoint(viewpoint) {
  if (event) SetViewer(event->GetViewer());
}

KelIndicateEvent::~KelIndicateEvent() = default;

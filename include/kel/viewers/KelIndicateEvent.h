// A viewer event that also carries a line of sight: the model points under the
// cursor on the near and far planes of a viewpoint.
#pragma once

#include <kel/framework/Kelpoint3f.h>
#include <kel/viewers/KelViewerEvent.h>

class KelViewpoint;

class KelIndicateEvent : public KelViewerEvent {
 public:
  // Both points at the origin, no viewpoint.
  KelIndicateEvent() = default;
  // Takes the device event, the pick path and the viewer of `event` (when given).
  KelIndicateEvent(const Kelpoint3f& nearPoint, const Kelpoint3f& farPoint, KelViewpoint* viewpoint,
                   const KelViewerEvent* event);
  KelIndicateEvent(const KelIndicateEvent& other) = default;
  KelIndicateEvent& operator=(const KelIndicateEvent& other) = default;
  ~KelIndicateEvent() override;

  KEL_DECLARE_META(KelIndicateEvent);

  const Kelpoint3f& GetNearPoint() const { return _near; }
  const Kelpoint3f& GetFarPoint() const { return _far; }
  KelViewpoint* GetViewpoint() const { return _viewpoint; }

 private:
  Kelpoint3f _near;
  Kelpoint3f _far;
  KelViewpoint* _viewpoint = nullptr;
};

// An indicator in a 3D viewpoint: it answers the line of sight under the
// cursor as a Kelsegment or a KelIndicationSegment.
#pragma once

#include <kel/manipulators/KelIndicator.h>

class Kel3DViewpoint;

class Kel3DIndicator : public KelIndicator {
 public:
  Kel3DIndicator(KelCommand* father, Kel3DViewpoint& viewpoint);
  Kel3DIndicator(KelCommand* father, const KelString& name, Kel3DViewpoint& viewpoint);
  ~Kel3DIndicator() override;

  KEL_DECLARE_META(Kel3DIndicator);

  // "Kelsegment" and "KelIndicationSegment" about an indicate event: from its
  // near point to its far point.
  void* SendCommandSpecificObject(const char* className, KelNotification* notification) override;

  Kel3DViewpoint* Get3DViewpoint() const;
};

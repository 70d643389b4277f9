// An indicator in a 2D viewpoint: it answers the point under the cursor as a
// Kel2DIndication, and keeps an object position and a reference axis for the
// indicators that move things.
#pragma once

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/framework/Kelpoint2f.h>
#include <kel/manipulators/KelIndicator.h>
#include <kel/viewers/Kel2DPositionEvent.h>

class Kel2DViewpoint;

class Kel2DIndicator : public KelIndicator {
 public:
  Kel2DIndicator(KelCommand* father, Kel2DViewpoint& viewpoint);
  Kel2DIndicator(KelCommand* father, const KelString& name, Kel2DViewpoint& viewpoint);
  ~Kel2DIndicator() override;

  KEL_DECLARE_META(Kel2DIndicator);

  // "Kel2DIndication" about an indicate event: its near point's x and y.
  void* SendCommandSpecificObject(const char* className, KelNotification* notification) override;

  Kel2DViewpoint* Get2DViewpoint() const;
  // Also the matrix of the position event.
  void SetObjectPosition(const Kel3x3Matrix& matrix);
  const Kel3x3Matrix& GetObjectPosition() const { return _objectPosition; }
  void SetReferenceAxis(const Kel3x3Matrix& matrix) { _referenceAxis = matrix; }
  const Kel3x3Matrix& GetReferenceAxis() const { return _referenceAxis; }

 protected:
  Kelpoint2f _lastPoint;
  Kel3x3Matrix _objectPosition;
  Kel3x3Matrix _referenceAxis;
  Kel2DPositionEvent _positionEvent;
};

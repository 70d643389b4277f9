// Drags 2D Reps: keeps an object position (a 3 x 3 matrix) that derived
// manipulators translate as the cursor moves, and sends it with
// KelManipulate as the matrix of a Kel2DPositionEvent whose basic event is the
// viewer event. The father reads it from the event or asks for
// "Kel3x3Matrix"; other questions about the position event are those of its
// viewer event. The manipulator moves no Rep itself: the father applies the
// matrix.
#pragma once

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/framework/Kelpoint2f.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/viewers/Kel2DPositionEvent.h>

class Kel2DRep;
class KelViewerEvent;

class Kel2DManipulator : public KelManipulator {
 public:
  Kel2DManipulator(KelCommand* father, Kel2DRep* rep);
  Kel2DManipulator(KelCommand* father, const KelString& name, Kel2DRep* rep);
  ~Kel2DManipulator() override;

  KEL_DECLARE_META(Kel2DManipulator);

  // "Kel3x3Matrix" answers a copy of the position event's matrix, valid until
  // the next such query.
  void* SendCommandSpecificObject(const char* className, KelNotification* notification) override;

  // Also the matrix of the position event.
  void SetObjectPosition(const Kel3x3Matrix& matrix);
  const Kel3x3Matrix& GetObjectPosition() const { return _objectPosition; }
  // Kept for derived manipulators.
  void SetReferenceAxis(const Kel3x3Matrix& matrix) { _referenceAxis = matrix; }
  const Kel3x3Matrix& GetReferenceAxis() const { return _referenceAxis; }

 protected:
  // Moves the object position by `delta` and sends KelManipulate with the
  // position event, caused by `event`.
  int Translate(const Kelvector2f& delta, KelViewerEvent& event);

  Kelpoint2f _lastPoint;
  Kel3x3Matrix _objectPosition;
  Kel3x3Matrix _referenceAxis;
  Kel2DPositionEvent _positionEvent;

 private:
  Kel3x3Matrix _matrixAnswer;
};

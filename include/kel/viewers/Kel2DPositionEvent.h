// A 2D placement sent by a manipulator: the matrix it computed and the viewer
// event that led to it (not owned).
#pragma once

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/viewers/KelTimeStampedEvent.h>

class KelViewerEvent;

class Kel2DPositionEvent : public KelTimeStampedEvent {
 public:
  Kel2DPositionEvent() = default;
  explicit Kel2DPositionEvent(const Kel3x3Matrix& matrix) : _matrix(matrix) {}
  ~Kel2DPositionEvent() override;

  KEL_DECLARE_META(Kel2DPositionEvent);

  const Kel3x3Matrix& GetMatrix() const { return _matrix; }
  void SetMatrix(const Kel3x3Matrix& matrix) { _matrix = matrix; }
  KelViewerEvent* GetBasicEvent() const { return _basicEvent; }
  void SetBasicEvent(KelViewerEvent* event) { _basicEvent = event; }

 private:
  Kel3x3Matrix _matrix;
  KelViewerEvent* _basicEvent = nullptr;
};

// A 3D placement sent by a manipulator: the matrix it computed and the viewer
// event that led to it (not owned).
#pragma once

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/viewers/KelTimeStampedEvent.h>

class KelViewerEvent;

class Kel3DPositionEvent : public KelTimeStampedEvent {
 public:
  Kel3DPositionEvent() = default;
  explicit Kel3DPositionEvent(const Kel4x4Matrix& matrix) : _matrix(matrix) {}
  ~Kel3DPositionEvent() override;

  KEL_DECLARE_META(Kel3DPositionEvent);

  const Kel4x4Matrix& GetMatrix() const { return _matrix; }
  void SetMatrix(const Kel4x4Matrix& matrix) { _matrix = matrix; }
  KelViewerEvent* GetBasicEvent() const { return _basicEvent; }
  void SetBasicEvent(KelViewerEvent* event) { _basicEvent = event; }

 private:
  Kel4x4Matrix _matrix;
  KelViewerEvent* _basicEvent = nullptr;
};

// Helpers the dragging manipulators share: which notifications carry a mouse
// position, and the step matrices they build in double precision.
#pragma once

#include <kel/controller/KelVueNotification.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMathTransformation.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/viewers/KelDeviceEvent.h>
#include <kel/viewers/KelViewerEvent.h>

namespace kelmanip {

inline KelViewerEvent* ViewerEvent(KelNotification* n) {
  return n && n->IsAKindOf("KelViewerEvent") ? static_cast<KelViewerEvent*>(n) : nullptr;
}

inline int IsMouse(const KelDeviceEvent* event) {
  return event && event->IsAKindOf("KelMouseEvent");
}

// The viewer event of `n` when its device event is a mouse event.
inline KelViewerEvent* MouseViewerEvent(KelNotification* n) {
  KelViewerEvent* event = ViewerEvent(n);
  return event && IsMouse(event->GetDeviceEvent()) ? event : nullptr;
}

inline Kel4x4Matrix ToMatrix(const KelMathTransformation& t) {
  float m[16];
  t.GetMatrix(m);
  return Kel4x4Matrix(Kelvector3f(m), Kelvector3f(m + 4), Kelvector3f(m + 8), Kelvector3f(m + 12));
}

// The query of a dragging manipulator `m` about `notification`: a viewer
// event is answered by the manipulator base; a position event of class
// `positionClass` answers its matrix when `className` names `Matrix`, and
// anything else about the device event behind it; other notifications, 0.
template <class PositionEvent, class Matrix>
void* AnswerPositionQuery(KelManipulator& m, const char* positionClass, const char* className,
                          KelNotification* notification, Matrix& answer) {
  if (!notification || !notification->IsAKindOf("KelVueNotification")) return nullptr;
  auto* vue = static_cast<KelVueNotification*>(notification);
  KelNotification* data = vue->GetDataNotification();
  if (data && data->IsAKindOf("KelViewerEvent"))
    return m.KelManipulator::SendCommandSpecificObject(className, notification);
  if (!data || !data->IsAKindOf(positionClass)) return nullptr;
  auto* position = static_cast<PositionEvent*>(data);
  if (className == Matrix::ClassName()) {
    answer = position->GetMatrix();
    return &answer;
  }
  vue->SetDataNotification(position->GetBasicEvent());
  void* result = m.KelManipulator::SendCommandSpecificObject(className, notification);
  vue->SetDataNotification(position);
  return result;
}

}  // namespace kelmanip
